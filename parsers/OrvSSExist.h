// Reads: what the client prints for a command on one item (ss Properties).
// Answers: does the item exist; succeeded false after a client error.
// Example: "$/p/old.c is not an existing filename or project": exists false.
#ifndef PARSERS_ORVSSEXIST_H_
#define PARSERS_ORVSSEXIST_H_

#include "ClientMessages.h"
#include "OrvExist.h"

// Command object of the existence query. A deleted item is "... has been
// deleted."; any other answer but a client error means that it exists.
class OrvSSExist : public OrvExist {
 public:
  // Keeps the client output of the query, as the base does.
  using OrvExist::OrvExist;

  // Sets succeeded and exists on every path: both false for a database error
  // or a log-in prompt; otherwise succeeded true and exists true unless the
  // client says that the item is missing or deleted. Throws nothing of its
  // own.
  void ProceesOutPut() override;

 private:
  // Says which database error or log-in prompt decided, and where.
  void ExplainClientFailure(
      const I18NString& answer,
      const client_messages::ClientFailure& failure) const;

  // Says where the client said that the item is missing (at `missing`) or
  // deleted (at `deleted`), or that it said neither (both -1).
  void ExplainAnswer(const I18NString& answer, int missing, int deleted) const;
};

#endif  // PARSERS_ORVSSEXIST_H_
