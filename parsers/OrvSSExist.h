#ifndef PARSERS_ORVSSEXIST_H_
#define PARSERS_ORVSSEXIST_H_

#include "OrvExist.h"
#include "OrvInputParams.h"

// Command object of the existence query (identifier 1). The client answers
// an item that is missing with "... is not an existing filename or project"
// and a deleted one with "... has been deleted."; any other answer about the
// item means that it exists.
class OrvSSExist : public OrvExist {
 public:
  explicit OrvSSExist(OrvInputParams& params);
  ~OrvSSExist() override;

  // Sets succeeded and exists on every path: both false for a database error
  // or a log-in prompt; otherwise succeeded true and exists true unless the
  // client says that the item is missing or deleted. Throws nothing of its
  // own.
  void ProceesOutPut() override;
};

#endif  // PARSERS_ORVSSEXIST_H_
