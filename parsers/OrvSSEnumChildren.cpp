#include "OrvSSEnumChildren.h"

namespace {

// The listing ends at the first empty line; the item count follows it.
const char kBlankLine[] = "\n\n";
const char kNoDatabase[] = "No VSS database (srcsafe.ini) found.";
const char kIncompatibleDatabase[] = "Incompatible database version";
const char kUserNamePrompt[] = "Username:";
const char kPasswordPrompt[] = "Password:";
// A listing of exactly this is an answer without children, not a file.
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

// Splits `output` after the heading "$/proj:": `heading` gets everything up
// to the first colon, the colon and the one character after it (the
// heading's line feed), `listing` the rest. A colon at the very end, or just
// before it, leaves the listing empty; without a colon the heading is empty
// and the listing is the whole output.
void SplitAtHeading(const I18NString& output, I18NString& heading,
                    I18NString& listing) {
  const int colon = output.find(kColon, 0);
  if (colon == -1) {
    heading = I18NString();
    listing = output;
    return;
  }
  // -1 when the colon is the last character: substring then reads it as the
  // end of the text for the heading and as "nothing" for the listing.
  const int start = output.incrementOffset(output.incrementOffset(colon));
  heading = output.substring(0, start);
  listing = output.substring(start, -1);
}

// `listing` up to and including the first line feed of its first empty line;
// that line feed still ends the last listed line. The item count after the
// empty line is dropped.
I18NString CutAtBlankLine(const I18NString& listing) {
  const int blankLine = listing.find(Marker(kBlankLine), 0);
  if (blankLine == -1) return listing;
  return listing.substring(0, listing.incrementOffset(blankLine));
}

}  // namespace

OrvSSEnumChildren::OrvSSEnumChildren(OrvInputParams& params)
    : OrvEnumChildren(params) {}

OrvSSEnumChildren::~OrvSSEnumChildren() {}

void OrvSSEnumChildren::ProceesOutPut() {
  I18NString heading;
  I18NString listing;
  SplitAtHeading(clientOutput, heading, listing);
  listing = CutAtBlankLine(listing);

  // The log-in prompts end without a line feed, so a client output that is
  // only a prompt lies wholly inside the heading part: look there as well.
  if (ReportsClientFailure(heading) || ReportsClientFailure(listing)) {
    succeeded = false;
    return;
  }
  succeeded = true;
  if (listing == Marker(kExit)) return;
  if (Contains(listing, kEmptyProject)) return;
  AddListedChildren(listing);
}

void OrvSSEnumChildren::AddListedChildren(const I18NString& listing) {
  // Every listed child ends with a line feed.
  ReserveItems(static_cast<std::size_t>(listing.count(kLineFeed)));
  int lineStart = 0;
  while (lineStart != -1) {
    const int lineFeed = listing.find(kLineFeed, lineStart);
    // An unfinished last line may be cut off mid-name: never list it.
    if (lineFeed == -1) return;
    I18NString name = listing.substring(lineStart, lineFeed);
    if (!name.empty()) {
      // Only the first unit tells; searching the name for it would read
      // every file name to its end.
      const bool isProject = name.at(0) == kProjectPrefix;
      if (isProject) name.trimLeading(kProjectPrefix);
      AddItem(name, isProject);
    }
    lineStart = listing.incrementOffset(lineFeed);
  }
}
