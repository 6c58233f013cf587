#include "ClientMessages.h"

namespace client_messages {

namespace {

const unsigned int kColon = ':';

}  // namespace

I18NString Marker(const char* text) {
  return I18NString(text, nullptr, -1, nullptr, nullptr);
}

int Find(const I18NString& text, const char* marker) {
  return text.find(Marker(marker), 0);
}

bool Contains(const I18NString& text, const char* marker) {
  return Find(text, marker) != -1;
}

ClientFailure FindClientFailure(const I18NString& text) {
  const int noDatabase = Find(text, kNoDatabase);
  if (noDatabase != -1)
    return {kNoDatabase, noDatabase, "the client found no database"};
  const int incompatible = Find(text, kIncompatibleDatabase);
  if (incompatible != -1) {
    return {kIncompatibleDatabase, incompatible,
            "the database is of a version the client cannot read"};
  }
  const int userName = Find(text, kUserNamePrompt);
  const int password = Find(text, kPasswordPrompt);
  const char* const kPrompt = "the client asks for a log-in";
  if (userName != -1 && (password == -1 || userName < password))
    return {kUserNamePrompt, userName, kPrompt};
  if (password != -1) return {kPasswordPrompt, password, kPrompt};
  return {};
}

bool ReportsClientFailure(const I18NString& text) {
  return FindClientFailure(text).marker != nullptr;
}

HeadingCut CutAtHeadingColon(const I18NString& output) {
  HeadingCut cut;
  const int colon = output.find(kColon, 0);
  if (colon == -1) {
    cut.listing = output;
    return cut;
  }
  // -1 when the colon is the last character: substring then reads it as the
  // end of the text for the heading and as "nothing" for the listing.
  const int start = HeadingCutPosition(output, colon);
  cut.hasColon = true;
  cut.heading = output.substring(0, start);
  cut.listing = output.substring(start, -1);
  return cut;
}

int HeadingCutPosition(const I18NString& output, int colon) {
  return output.incrementOffset(output.incrementOffset(colon));
}

}  // namespace client_messages
