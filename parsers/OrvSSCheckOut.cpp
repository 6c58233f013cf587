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
      client_messages::Contains(clientOutput, client_messages::kNoCheckouts);
  const client_messages::HeadingCut cut =
      noCheckouts ? client_messages::HeadingCut()
                  : client_messages::CutAtHeadingColon(clientOutput);
  if (!cut.hasColon) {
    checkedOutBy.erase(0, -1);
    isCheckedOut = false;
    return;
  }
  // The heading "$/proj:" and its line feed are gone: byte 0 is the first
  // byte of the first checkout line.
  checkedOutBy = UserColumn(cut.listing);
  OrvSystemUtils::TrimLeft(checkedOutBy);
  OrvSystemUtils::TrimRight(checkedOutBy);
  if (!checkedOutBy.empty()) isCheckedOut = true;
}
