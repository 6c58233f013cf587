// Reads: the client's `ss Dir` output, "$/proj:" and a line per child.
// Answers: the files and sub-projects of the project.
// Example: "$/proj:\n$Docs\nmain.cpp\n\n": project Docs, file main.cpp.
#ifndef PARSERS_ORVSSENUMCHILDREN_H_
#define PARSERS_ORVSSENUMCHILDREN_H_

#include "ClientMessages.h"
#include "OrvEnumChildren.h"

// Command object of the child listing query. Sub-projects are listed as
// "$Sub"; an empty line and an item count end the listing. A database error
// or a log-in prompt is answered with succeeded false and no children.
class OrvSSEnumChildren : public OrvEnumChildren {
 public:
  // Keeps the client output of the query, as the base does.
  using OrvEnumChildren::OrvEnumChildren;

  // Sets succeeded from the client output and adds, in listing order, one
  // child per non-empty line between the heading's colon and the first empty
  // line: a line starting with '$' is a project (every leading '$' dropped),
  // any other line a file, its name kept as it stands. Text after the last
  // line feed is never listed. Throws nothing of its own.
  void ProceesOutPut() override;

 private:
  // What the line loop made of a listing.
  struct ListedLines {
    int projects = 0;
    int files = 0;
    int emptyLines = 0;
    // Where an unfinished last line (no line feed) starts, or -1.
    int unfinishedStart = -1;
  };

  // Where the two cuts fell, in positions of the client output.
  struct ListingCut {
    bool hasColon;
    // The listing's first position: 0 without a colon, the length of the
    // output when the colon cut leaves nothing.
    int listingStart;
    // Where, in the listing, the empty line that ended it starts, or -1.
    int blankLine;
  };

  // Adds one child per line-feed-ended, non-empty line of `listing`.
  ListedLines AddListedChildren(const I18NString& listing);

  // Say where the colon cut and the blank-line cut fell; the database error
  // or log-in prompt that decided, and in which part; a marker that decided
  // (at `position` in the listing); and what the line loop made of the
  // listing.
  void ExplainCuts(const ListingCut& where) const;
  void ExplainClientFailure(
      const ListingCut& where, const client_messages::ClientFailure& inHeading,
      const client_messages::ClientFailure& inListing) const;
  void ExplainMarker(const ListingCut& where, int position, const char* before,
                     const char* marker, const char* after) const;
  void ExplainListedLines(const ListingCut& where, const I18NString& listing,
                          const ListedLines& listed) const;
};

#endif  // PARSERS_ORVSSENUMCHILDREN_H_
