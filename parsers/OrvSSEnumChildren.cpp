#include "OrvSSEnumChildren.h"

namespace {

// The listing ends at the first empty line; the item count follows it.
const char kBlankLine[] = "\n\n";
const char kNoDatabase[] = "No VSS database (srcsafe.ini) found.";
const char kIncompatibleDatabase[] = "Incompatible database version";
const char kUserNamePrompt[] = "Username:";
const char kPasswordPrompt[] = "Password:";
// The client's whole answer when the user left the log-in prompt.
const char kExit[] = "-Exit-";
const char kEmptyProject[] = "No items found under";

const unsigned int kColon = ':';
const unsigned int kLineFeed = '\n';
const unsigned int kProjectPrefix = '$';

I18NString Marker(const char* text) {
  return I18NString(text, nullptr, -1, nullptr, nullptr);
}

bool Contains(const I18NString& text, const char* marker) {
  return text.find(Marker(marker), 0) != -1;
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

OrvSSEnumChildren::OrvSSEnumChildren(OrvInputParams& params)
    : OrvEnumChildren(params) {}

OrvSSEnumChildren::~OrvSSEnumChildren() {}

void OrvSSEnumChildren::ProceesOutPut() {
  // The heading "$/proj:" ends at the first colon; the character after it
  // (the heading's line feed) goes with it. A colon at the very end, or just
  // before it, leaves nothing: the start is then -1 or the length, and both
  // the removed part and the listing follow from that.
  I18NString removed;
  I18NString listing = clientOutput;
  const int colon = clientOutput.find(kColon, 0);
  if (colon != -1) {
    const int start =
        clientOutput.incrementOffset(clientOutput.incrementOffset(colon));
    removed = clientOutput.substring(0, start);
    listing = clientOutput.substring(start, -1);
  }

  // Keep the first line feed of the empty line so that the last listed line
  // still ends in one.
  const int blankLine = listing.find(Marker(kBlankLine), 0);
  if (blankLine != -1) {
    listing = listing.substring(0, listing.incrementOffset(blankLine));
  }

  // The log-in prompts end without a line feed, so a client output that is
  // only a prompt is wholly inside the heading part: look there as well.
  if (ReportsClientFailure(removed) || ReportsClientFailure(listing)) {
    succeeded = false;
    return;
  }
  succeeded = true;
  if (listing == Marker(kExit)) return;
  if (Contains(listing, kEmptyProject)) return;
  AddListedChildren(listing);
}

void OrvSSEnumChildren::AddListedChildren(const I18NString& listing) {
  int lineStart = 0;
  while (lineStart != -1) {
    const int lineFeed = listing.find(kLineFeed, lineStart);
    // An unfinished last line may be cut off mid-name: never list it.
    if (lineFeed == -1) return;
    I18NString name = listing.substring(lineStart, lineFeed);
    if (!name.empty()) {
      const bool isProject = name.find(kProjectPrefix, 0) == 0;
      if (isProject) name.trimLeading(kProjectPrefix);
      AddItem(name, isProject);
    }
    lineStart = listing.incrementOffset(lineFeed);
  }
}
