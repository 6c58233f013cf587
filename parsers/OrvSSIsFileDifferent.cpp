#include "OrvSSIsFileDifferent.h"

#include "ClientMessages.h"
#include "OrvFormatterErrors.h"
#include "OrvMessage.h"

namespace {

using client_messages::Contains;

// The host reports this failure at the throw site it has always named, so
// its logs match whichever handler wrote them.
const char kThrowSiteFile[] = "OrvSSIsFileDifferent";
const int kThrowSiteLine = 94;

}  // namespace

OrvSSIsFileDifferent::OrvSSIsFileDifferent(OrvInputParams& params)
    : OrvIsFileDifferent(params) {}

OrvSSIsFileDifferent::~OrvSSIsFileDifferent() {}

void OrvSSIsFileDifferent::ProceesOutPut() {
  // "different" is tested first and decides alone: a report that holds both
  // sentences is an answer of "different".
  if (Contains(clientOutput, client_messages::kFilesDifferent)) {
    isDifferent = true;
    return;
  }
  if (Contains(clientOutput, client_messages::kFilesSame)) {
    isDifferent = false;
    return;
  }
  OrvRaiseFailure(ORV_MSG_DIFF_UNRECOGNISED, I18NString(), kThrowSiteFile,
                  kThrowSiteLine, "OrvSSIsFileDifferent::ProceesOutPut()");
}
