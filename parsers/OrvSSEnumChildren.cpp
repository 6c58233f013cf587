#include "OrvSSEnumChildren.h"

#include "ClientMessages.h"

namespace {

using client_messages::ClientFailure;
using client_messages::FindClientFailure;
using client_messages::Marker;

const unsigned int kLineFeed = '\n';
const unsigned int kProjectPrefix = '$';

// Where the empty line that ends `listing` starts (the position after the
// first line feed of "\n\n"), or -1 when there is none.
int BlankLineStart(const I18NString& listing) {
  const int blankLine = listing.find(Marker(client_messages::kBlankLine), 0);
  return blankLine == -1 ? -1 : listing.incrementOffset(blankLine);
}

}  // namespace

void OrvSSEnumChildren::ProceesOutPut() {
  const client_messages::HeadingCut cut =
      client_messages::CutAtHeadingColon(ClientOutput());
  // The line feed before the empty line still ends the last listed line;
  // the item count after the empty line is dropped.
  const int blankLine = BlankLineStart(cut.listing);
  const I18NString listing =
      blankLine == -1 ? cut.listing : cut.listing.substring(0, blankLine);
  const ListingCut where{cut.hasColon, cut.heading.length(), blankLine};

  // The log-in prompts end without a line feed, so a client output that is
  // only a prompt lies wholly inside the heading part: look there as well.
  const ClientFailure inHeading = FindClientFailure(cut.heading);
  const ClientFailure inListing = inHeading.marker != nullptr
                                      ? ClientFailure()
                                      : FindClientFailure(listing);
  if (inHeading.marker != nullptr || inListing.marker != nullptr) {
    succeeded = false;
    Explanation().Explain([&] {
      ExplainCuts(where);
      ExplainClientFailure(where, inHeading, inListing);
    });
    return;
  }
  succeeded = true;
  if (listing == Marker(client_messages::kExit)) {
    Explanation().Explain([&] {
      ExplainCuts(where);
      ExplainMarker(where, 0, "the listing is exactly ", client_messages::kExit,
                    ": no children");
    });
    return;
  }
  const int empty =
      client_messages::Find(listing, client_messages::kEmptyProject);
  if (empty != -1) {
    Explanation().Explain([&] {
      ExplainCuts(where);
      ExplainMarker(where, empty, "", client_messages::kEmptyProject,
                    ": an empty project, no children (lines listed with it "
                    "are not taken)");
    });
    return;
  }
  const ListedLines lines = AddListedChildren(listing);
  Explanation().Explain([&] {
    ExplainCuts(where);
    ExplainListedLines(where, listing, lines);
  });
}

OrvSSEnumChildren::ListedLines OrvSSEnumChildren::AddListedChildren(
    const I18NString& listing) {
  ListedLines lines;
  // Every listed child ends with a line feed.
  ReserveItems(static_cast<std::size_t>(listing.count(kLineFeed)));
  int lineStart = 0;
  while (lineStart != -1) {
    const int lineFeed = listing.find(kLineFeed, lineStart);
    // An unfinished last line may be cut off mid-name: never list it.
    if (lineFeed == -1) {
      if (lineStart < listing.length()) lines.unfinishedStart = lineStart;
      return lines;
    }
    I18NString name = listing.substring(lineStart, lineFeed);
    if (name.empty()) {
      ++lines.emptyLines;
    } else {
      // Only the first unit tells; searching the name for it would read
      // every file name to its end.
      const bool isProject = name.at(0) == kProjectPrefix;
      if (isProject) name.trimLeading(kProjectPrefix);
      AddItem(name, isProject);
      ++(isProject ? lines.projects : lines.files);
    }
    lineStart = listing.incrementOffset(lineFeed);
  }
  return lines;
}

void OrvSSEnumChildren::ExplainCuts(const ListingCut& where) const {
  OrvExplanation& explanation = Explanation();
  OrvLineCounter lines(ClientOutput());
  if (!where.hasColon) {
    explanation.Say(OrvPlace::ClientOutput(),
                    "no colon, so no heading to cut off: the listing starts "
                    "at line 1");
  } else if (where.listingStart >= ClientOutput().length()) {
    const int colon = where.listingStart - 2;
    explanation.Say(OrvPlace::Line(lines.LineOf(colon)),
                    "the colon cut after the first colon and the character "
                    "after it leaves no listing");
  } else {
    explanation.Say(OrvPlace::Line(lines.LineOf(where.listingStart - 2)),
                    "the colon cut drops the text up to the first colon and "
                    "the character after it: the listing starts at line ",
                    lines.LineOf(where.listingStart));
  }
  if (where.blankLine == -1) {
    explanation.Say(OrvPlace::ClientOutput(),
                    "no empty line: the listing runs to the end");
    return;
  }
  explanation.Say(
      OrvPlace::Line(lines.LineOf(where.listingStart + where.blankLine)),
      "the first empty line ends the listing: what follows (the item count) "
      "is not read");
}

void OrvSSEnumChildren::ExplainClientFailure(
    const ListingCut& where, const ClientFailure& inHeading,
    const ClientFailure& inListing) const {
  OrvLineCounter lines(ClientOutput());
  const bool heading = inHeading.marker != nullptr;
  const ClientFailure& failure = heading ? inHeading : inListing;
  const int position =
      heading ? failure.position : where.listingStart + failure.position;
  Explanation().Say(
      OrvPlace::Line(lines.LineOf(position)), OrvQuotedText(failure.marker),
      heading ? " in the text the colon cut removed: " : " in the listing: ",
      failure.meaning, "; succeeded false, no children");
}

void OrvSSEnumChildren::ExplainMarker(const ListingCut& where, int position,
                                      const char* before, const char* marker,
                                      const char* after) const {
  OrvLineCounter lines(ClientOutput());
  Explanation().Say(OrvPlace::Line(lines.LineOf(where.listingStart + position)),
                    before, OrvQuotedText(marker), after, "; succeeded true");
}

void OrvSSEnumChildren::ExplainListedLines(const ListingCut& where,
                                           const I18NString& listing,
                                           const ListedLines& listed) const {
  OrvExplanation& explanation = Explanation();
  OrvLineCounter lines(ClientOutput());
  if (listing.empty()) {
    explanation.Say(OrvPlace::ClientOutput(),
                    "the listing is empty: succeeded true, no children");
    return;
  }
  const int first = lines.LineOf(where.listingStart);
  const int last = lines.LineOf(where.listingStart + listing.length() - 1);
  const int items = listed.projects + listed.files;
  explanation.Say(OrvPlace::Lines(first, last),
                  OrvCount{items, "child", "children"},
                  " listed, one per line (",
                  OrvCount{listed.projects, "project", "projects"}, ", ",
                  OrvCount{listed.files, "file", "files"}, "); ",
                  OrvCount{listed.emptyLines, "empty line", "empty lines"},
                  " skipped; succeeded true");
  if (listed.unfinishedStart != -1) {
    explanation.Say(
        OrvPlace::Line(
            lines.LineOf(where.listingStart + listed.unfinishedStart)),
        "the last line has no line feed (the output may be cut off): not "
        "listed");
  }
}
