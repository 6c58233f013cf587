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

// The text whose byte 0 is the first byte of the first checkout line. After
// a heading that is the text two characters after the heading's colon (the
// colon and its line feed dropped). For one file's status the client prints
// no heading, and the first colon stands inside the checkout line itself:
// then the line that holds it is the first checkout line.
I18NString ListingAfterHeading(const I18NString& output, int colon) {
  if (EndsHeading(output, colon))
    return client_messages::CutAtHeadingColon(output).listing;
  return output.substring(LineStart(output, colon), -1);
}

// The bytes of the user column of `listing` (whose byte 0 is the first byte of
// the first checkout line), decoded again; never reads past the converted
// text, so a short text yields only what it holds from byte 20 on, or nothing.
I18NString UserColumn(const I18NString& listing) {
  OrvCodeConverter converter(I18NGetPlatformDefaultEncoding(), listing);
  const char* bytes = converter.toCharPtr(nullptr);
  char name[kUserColumnWidth + 1] = {};
  if (bytes != nullptr && converter.byteLength() > kUserColumnStart) {
    const int count =
        std::min(kUserColumnWidth, converter.byteLength() - kUserColumnStart);
    std::memcpy(name, bytes + kUserColumnStart, count);
  }
  return I18NString(name, nullptr, -1, nullptr, nullptr);
}

}  // namespace

OrvSSCheckOut::OrvSSCheckOut(OrvInputParams& params) : OrvCheckedOut(params) {}

OrvSSCheckOut::~OrvSSCheckOut() {}

void OrvSSCheckOut::ProceesOutPut() {
  // Without a colon there is no checkout line to read a user from.
  const bool noCheckouts =
      client_messages::Contains(clientOutput, client_messages::kNoCheckouts);
  const int colon = noCheckouts ? -1 : clientOutput.find(kColon, 0);
  if (colon == -1) {
    checkedOutBy.erase(0, -1);
    isCheckedOut = false;
    return;
  }
  checkedOutBy = UserColumn(ListingAfterHeading(clientOutput, colon));
  OrvSystemUtils::TrimLeft(checkedOutBy);
  OrvSystemUtils::TrimRight(checkedOutBy);
  if (!checkedOutBy.empty()) isCheckedOut = true;
}
