#ifndef PARSERS_ORVSSENUMCHILDREN_H_
#define PARSERS_ORVSSENUMCHILDREN_H_

#include "OrvEnumChildren.h"
#include "OrvInputParams.h"

// Command object of the child listing query (identifiers 5 and 6). The
// client's project listing is a "$/proj:" heading, one line per child
// (sub-projects as "$Sub"), an empty line and an item count. A database error
// or a log-in prompt is answered with succeeded false and no children.
class OrvSSEnumChildren : public OrvEnumChildren {
 public:
  explicit OrvSSEnumChildren(OrvInputParams& params);
  ~OrvSSEnumChildren() override;

  // Sets succeeded from the client output and adds, in listing order, one
  // child per non-empty line between the heading's colon and the first empty
  // line: a line starting with '$' is a project (every leading '$' dropped),
  // any other line a file, its name kept as it stands. Text after the last
  // line feed is never listed. Throws nothing of its own.
  void ProceesOutPut() override;

 private:
  // Adds one child per line-feed-ended, non-empty line of `listing`.
  void AddListedChildren(const I18NString& listing);
};

#endif  // PARSERS_ORVSSENUMCHILDREN_H_
