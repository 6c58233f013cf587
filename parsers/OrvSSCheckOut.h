// Reads: the client's `ss Status` output, checkout lines under "$/proj:".
// Answers: is the file checked out, and by whom.
// Example: "main.cpp            Alice         Exc  8/02/21  4:18p": Alice.
#ifndef PARSERS_ORVSSCHECKOUT_H_
#define PARSERS_ORVSSCHECKOUT_H_

#include "OrvCheckedOut.h"

// Command object of the checked-out status query. Bytes 0 to 19 of a
// checkout line hold the file name and bytes 20 to 33 the user, both padded
// with blanks; asked for one file, the client prints that file's line without
// the heading. "No checked out files found." when there is none.
class OrvSSCheckOut : public OrvCheckedOut {
 public:
  // Keeps the client output of the query, as the base does.
  using OrvCheckedOut::OrvCheckedOut;

  // Sets checkedOutBy to the user column of the first checkout line, trimmed
  // of white space, and isCheckedOut to true when that name is not empty.
  // The first colon decides where that line starts: when only white space
  // follows it on its line (a heading), two characters after it; otherwise
  // (no heading) at the start of the line that holds it. "No checked out
  // files found." or an output without a colon clears checkedOutBy and sets
  // isCheckedOut to false; an empty user column leaves isCheckedOut as it
  // was. Throws nothing of its own.
  void ProceesOutPut() override;
};

#endif  // PARSERS_ORVSSCHECKOUT_H_
