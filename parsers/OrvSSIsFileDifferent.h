// Reads: the client's `ss Diff` output for one file.
// Answers: do the working copy and the stored copy differ.
// Example: "Diffing: ...\n\nThe files are different.\n": different true.
#ifndef PARSERS_ORVSSISFILEDIFFERENT_H_
#define PARSERS_ORVSSISFILEDIFFERENT_H_

#include "OrvIsFileDifferent.h"

// Command object of the file-difference query. The report says "The files
// are different." or "No differences.", each after an empty line and ending
// its line; anything else is a failure.
class OrvSSIsFileDifferent : public OrvIsFileDifferent {
 public:
  // Keeps the client output of the query, as the base does.
  using OrvIsFileDifferent::OrvIsFileDifferent;

  // Sets isDifferent from the client output. Throws OrvException
  // 0x56177B77 when the output holds neither sentence.
  void ProceesOutPut() override;

 private:
  // Says that the verdict `marker`, found at `position`, decided `answer`.
  void ExplainVerdict(const char* marker, int position,
                      const char* answer) const;

  // Says why the output holds no verdict: a project comparison, a sentence
  // out of its place.
  void ExplainNoVerdict() const;
};

#endif  // PARSERS_ORVSSISFILEDIFFERENT_H_
