#ifndef PARSERS_ORVSSCHECKOUT_H_
#define PARSERS_ORVSSCHECKOUT_H_

#include "OrvCheckedOut.h"
#include "OrvInputParams.h"

// Command object of the checked-out status query (identifier 3). The client's
// status listing is a "$/proj:" heading, then per checkout a line whose bytes
// 0 to 19 hold the file name and bytes 20 to 33 the user, both padded with
// blanks; "No checked out files found." when there is none.
class OrvSSCheckOut : public OrvCheckedOut {
 public:
  explicit OrvSSCheckOut(OrvInputParams& params);
  ~OrvSSCheckOut() override;

  // Sets checkedOutBy to the user column of the first listing line, trimmed
  // of white space, and isCheckedOut to true when that name is not empty.
  // "No checked out files found." or an output without a colon clears
  // checkedOutBy and sets isCheckedOut to false; an empty user column leaves
  // isCheckedOut as it was. Throws nothing of its own.
  void ProceesOutPut() override;
};

#endif  // PARSERS_ORVSSCHECKOUT_H_
