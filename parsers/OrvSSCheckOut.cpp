#include "OrvSSCheckOut.h"

#include <algorithm>
#include <cstring>

#include "I18NEncoding.h"
#include "OrvCodeConverter.h"
#include "OrvSystemUtils.h"

namespace {

const char kNoCheckouts[] = "No checked out files found.";
const unsigned int kColon = ':';

// The client pads the file name to 20 columns and the user to 14; columns
// are bytes of the text in the machine's code page.
const int kUserColumnStart = 20;
const int kUserColumnWidth = 14;

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
  // Without a heading colon there is no listing to read a user from.
  const bool noCheckouts =
      clientOutput.find(I18NString(kNoCheckouts, nullptr, -1, nullptr, nullptr),
                        0) != -1;
  const int colon = noCheckouts ? -1 : clientOutput.find(kColon, 0);
  if (colon == -1) {
    checkedOutBy.erase(0, -1);
    isCheckedOut = false;
    return;
  }
  // The heading "$/proj:" and its line feed go: byte 0 is then the first byte
  // of the first checkout line.
  const I18NString listing = clientOutput.substring(
      clientOutput.incrementOffset(clientOutput.incrementOffset(colon)), -1);
  checkedOutBy = UserColumn(listing);
  OrvSystemUtils::TrimLeft(checkedOutBy);
  OrvSystemUtils::TrimRight(checkedOutBy);
  if (!checkedOutBy.empty()) isCheckedOut = true;
}
