#include "ClientMessages.h"

namespace client_messages {

namespace {

const unsigned int kColon = ':';

}  // namespace

I18NString Marker(const char* text) {
  return I18NString(text, nullptr, -1, nullptr, nullptr);
}

bool Contains(const I18NString& text, const char* marker) {
  return text.find(Marker(marker), 0) != -1;
}

bool ReportsClientFailure(const I18NString& text) {
  if (Contains(text, kNoDatabase)) return true;
  if (Contains(text, kIncompatibleDatabase)) return true;
  const bool userNamePrompt = Contains(text, kUserNamePrompt);
  const bool passwordPrompt = Contains(text, kPasswordPrompt);
  return userNamePrompt || passwordPrompt;
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
  const int start = output.incrementOffset(output.incrementOffset(colon));
  cut.hasColon = true;
  cut.heading = output.substring(0, start);
  cut.listing = output.substring(start, -1);
  return cut;
}

}  // namespace client_messages
