#include "OrvSSEnumChildren.h"

#include "ClientMessages.h"

namespace {

using client_messages::Contains;
using client_messages::Marker;
using client_messages::ReportsClientFailure;

const unsigned int kLineFeed = '\n';
const unsigned int kProjectPrefix = '$';

// `listing` up to and including the first line feed of its first empty line;
// that line feed still ends the last listed line. The item count after the
// empty line is dropped.
I18NString CutAtBlankLine(const I18NString& listing) {
  const int blankLine = listing.find(Marker(client_messages::kBlankLine), 0);
  if (blankLine == -1) return listing;
  return listing.substring(0, listing.incrementOffset(blankLine));
}

}  // namespace

OrvSSEnumChildren::OrvSSEnumChildren(OrvInputParams& params)
    : OrvEnumChildren(params) {}

OrvSSEnumChildren::~OrvSSEnumChildren() {}

void OrvSSEnumChildren::ProceesOutPut() {
  const client_messages::HeadingCut cut =
      client_messages::CutAtHeadingColon(clientOutput);
  const I18NString listing = CutAtBlankLine(cut.listing);

  // The log-in prompts end without a line feed, so a client output that is
  // only a prompt lies wholly inside the heading part: look there as well.
  if (ReportsClientFailure(cut.heading) || ReportsClientFailure(listing)) {
    succeeded = false;
    return;
  }
  succeeded = true;
  if (listing == Marker(client_messages::kExit)) return;
  if (Contains(listing, client_messages::kEmptyProject)) return;
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
