#include "OrvSSExist.h"

namespace {

const char kNoDatabase[] = "No VSS database (srcsafe.ini) found.";
const char kIncompatibleDatabase[] = "Incompatible database version";
const char kUserNamePrompt[] = "Username:";
const char kPasswordPrompt[] = "Password:";
const char kMissingItem[] = "is not an existing filename or project";
const char kDeletedItem[] = "has been deleted";

bool Contains(const I18NString& text, const char* marker) {
  return text.find(I18NString(marker, nullptr, -1, nullptr, nullptr), 0) != -1;
}

// True when `text` holds a database error or a log-in prompt, tested in the
// client's order of precedence: missing database, incompatible database,
// then either prompt (both searched before either is looked at).
bool ReportsClientFailure(const I18NString& text) {
  if (Contains(text, kNoDatabase)) return true;
  if (Contains(text, kIncompatibleDatabase)) return true;
  const bool userNamePrompt = Contains(text, kUserNamePrompt);
  const bool passwordPrompt = Contains(text, kPasswordPrompt);
  return userNamePrompt || passwordPrompt;
}

}  // namespace

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
  exists = !Contains(answer, kMissingItem);
  if (Contains(answer, kDeletedItem)) exists = false;
}
