#include "OrvSSCheckOut.h"

#include <algorithm>
#include <cstring>

#include "ClientMessages.h"
#include "I18NEncoding.h"
#include "OrvCodeConverter.h"
#include "OrvSystemUtils.h"

namespace {

// The client pads the file name to 20 columns and the user to 14; columns
// are bytes of the text in the machine's code page.
const int kUserColumnStart = 20;
const int kUserColumnWidth = 14;

const unsigned int kColon = ':';
const unsigned int kLineFeed = '\n';

// True when the colon at `colon` ends a heading: nothing but white space
// follows it up to the end of its line. A heading "$/proj:" (also one the
// client wrapped over two lines) and a log-in prompt end so; the colon of a
// listing line's time ("14:58") or local folder ("C:\") does not.
bool EndsHeading(const I18NString& output, int colon) {
  for (int at = colon + 1; at < output.length(); ++at) {
    const char16_t unit = output.at(at);
    if (unit == kLineFeed) return true;
    if (!OrvSystemUtils::IsWhiteSpace(unit)) return false;
  }
  return true;
}

// The position where the line that holds `position` starts.
int LineStart(const I18NString& output, int position) {
  int start = 0;
  for (int lineFeed = output.find(kLineFeed, 0);
       lineFeed != -1 && lineFeed < position;
       lineFeed = output.find(kLineFeed, lineFeed + 1)) {
    start = lineFeed + 1;
  }
  return start;
}

// Where the text whose byte 0 is the first byte of the first checkout line
// starts, and why there.
struct ListingStart {
  // After a heading the text starts two characters after its colon (the
  // colon and its line feed dropped), or is empty (-1). For one file's
  // status the client prints no heading, and the first colon stands inside
  // the checkout line itself: then the text starts with that line.
  bool afterHeading;
  int position;
};

ListingStart FindListingStart(const I18NString& output, int colon) {
  if (EndsHeading(output, colon))
    return {true, client_messages::HeadingCutPosition(output, colon)};
  return {false, LineStart(output, colon)};
}

// The user column of a checkout line, as bytes of the default encoding.
struct UserWindow {
  // Bytes 20 to 33 of the text, zero-filled where the text ends before.
  char bytes[kUserColumnWidth + 1] = {};
  // How many of the text's bytes are in the window, and in all.
  int count = 0;
  int textBytes = 0;
  // The line feeds before byte 20, counted only for the explanation.
  int lineFeedsBefore = 0;
};

// The user column of `listing` (whose byte 0 is the first byte of the first
// checkout line); never reads past the converted text, so a short text
// yields only what it holds from byte 20 on, or nothing.
UserWindow ReadUserWindow(const I18NString& listing, bool countLineFeeds) {
  OrvCodeConverter converter(I18NGetPlatformDefaultEncoding(), listing);
  const char* bytes = converter.toCharPtr(nullptr);
  UserWindow window;
  if (bytes == nullptr) return window;
  window.textBytes = converter.byteLength();
  if (window.textBytes > kUserColumnStart) {
    window.count =
        std::min(kUserColumnWidth, window.textBytes - kUserColumnStart);
    std::memcpy(window.bytes, bytes + kUserColumnStart, window.count);
  }
  if (countLineFeeds) {
    const char* end = bytes + std::min(window.textBytes, kUserColumnStart);
    window.lineFeedsBefore = static_cast<int>(std::count(bytes, end, '\n'));
  }
  return window;
}

// What the status parser read, for the explanation.
struct StatusReading {
  const I18NString& output;
  int colon;
  ListingStart start;
  const UserWindow& window;
  const I18NString& user;
  bool checkedOut;
};

// Says why there is no checkout line: "No checked out files found." at
// `noCheckouts`, or (-1) no colon at all.
void ExplainNoListing(OrvExplanation& explanation, const I18NString& output,
                      int noCheckouts) {
  if (noCheckouts == -1) {
    explanation.Say(OrvPlace::ClientOutput(),
                    "no colon, so no checkout line to read a user from; "
                    "checked out false, user empty");
    return;
  }
  OrvLineCounter lines(output);
  explanation.Say(OrvPlace::Line(lines.LineOf(noCheckouts)),
                  OrvQuotedText(client_messages::kNoCheckouts),
                  ": checked out false, user empty");
}

// Says whether the first colon ended a heading and where the counting
// started; returns the line that byte 0 of the counted text stands on.
int ExplainListingStart(OrvExplanation& explanation,
                        const StatusReading& reading, OrvLineCounter& lines) {
  const int colonLine = lines.LineOf(reading.colon);
  const int column =
      reading.colon - LineStart(reading.output, reading.colon) + 1;
  if (!reading.start.afterHeading) {
    explanation.Say(OrvPlace::Line(colonLine),
                    "text follows the first colon (column ", column,
                    ") on its line: no heading (one file's status); the user "
                    "column is counted from the start of this line");
    return colonLine;
  }
  if (reading.start.position == -1) {
    explanation.Say(OrvPlace::Line(colonLine),
                    "only white space follows the first colon (column ", column,
                    ") on its line: a heading or a log-in prompt, and the "
                    "text ends after it: no checkout line");
    return colonLine;
  }
  const int startLine = lines.LineOf(reading.start.position);
  explanation.Say(OrvPlace::Line(colonLine),
                  "only white space follows the first colon (column ", column,
                  ") on its line: a heading or a log-in prompt; the user "
                  "column is counted from two characters after the colon, on "
                  "line ",
                  startLine);
  return startLine;
}

// Says what the user column held and what it made of the answer.
void ExplainUserWindow(OrvExplanation& explanation,
                       const StatusReading& reading) {
  OrvLineCounter lines(reading.output);
  const int startLine = ExplainListingStart(explanation, reading, lines);
  const UserWindow& window = reading.window;
  // A text too short for the window is named where its counting started.
  const OrvPlace place = OrvPlace::Line(
      window.count == 0 ? startLine : startLine + window.lineFeedsBefore);
  const char* const encoding = I18NGetPlatformDefaultEncoding();
  const char* const keptFlag = reading.checkedOut ? "true" : "false";
  const OrvQuotedBytes bytes{window.bytes,
                             static_cast<std::size_t>(window.count)};
  if (window.count == 0) {
    explanation.Say(place, "the text counted holds ", window.textBytes,
                    " bytes in ", encoding,
                    ", none at bytes 20 to 33: user empty; checked out "
                    "stays ",
                    keptFlag);
  } else if (reading.user.empty()) {
    explanation.Say(place, "bytes 20 to 33 in ", encoding, " hold ", bytes,
                    ", only white space: user empty; checked out stays ",
                    keptFlag);
  } else {
    explanation.Say(place, "bytes 20 to 33 in ", encoding, " hold ", bytes,
                    ": user ", OrvQuoted{reading.user}, "; checked out true");
  }
}

}  // namespace

void OrvSSCheckOut::ProceesOutPut() {
  // Without a colon there is no checkout line to read a user from.
  const int noCheckouts =
      client_messages::Find(ClientOutput(), client_messages::kNoCheckouts);
  const int colon = noCheckouts != -1 ? -1 : ClientOutput().find(kColon, 0);
  if (colon == -1) {
    checkedOutBy.erase(0, -1);
    isCheckedOut = false;
    Explanation().Explain(
        [&] { ExplainNoListing(Explanation(), ClientOutput(), noCheckouts); });
    return;
  }
  const ListingStart start = FindListingStart(ClientOutput(), colon);
  const UserWindow window = ReadUserWindow(
      ClientOutput().substring(start.position, -1), Explanation().enabled());
  checkedOutBy = I18NString(window.bytes, nullptr, -1, nullptr, nullptr);
  OrvSystemUtils::TrimLeft(checkedOutBy);
  OrvSystemUtils::TrimRight(checkedOutBy);
  if (!checkedOutBy.empty()) isCheckedOut = true;
  Explanation().Explain([&] {
    ExplainUserWindow(Explanation(), {ClientOutput(), colon, start, window,
                                      checkedOutBy, isCheckedOut});
  });
}
