#include "OrvSSExist.h"

#include "ClientMessages.h"

using client_messages::Contains;
using client_messages::ReportsClientFailure;

OrvSSExist::OrvSSExist(OrvInputParams& params) : OrvExist(params) {}

OrvSSExist::~OrvSSExist() {}

void OrvSSExist::ProceesOutPut() {
  const I18NString answer = GetPathInRepository();
  if (ReportsClientFailure(answer)) {
    succeeded = false;
    exists = false;
    return;
  }
  succeeded = true;
  exists = !Contains(answer, client_messages::kMissingItem);
  if (Contains(answer, client_messages::kDeletedItem)) exists = false;
}
