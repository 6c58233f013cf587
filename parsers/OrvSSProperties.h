// Reads: the client's `ss Properties` output for one item.
// Answers: is the item a project.
// Example: "Project:  $/proj\nContains:\n  Files:  4\n": project true.
#ifndef PARSERS_ORVSSPROPERTIES_H_
#define PARSERS_ORVSSPROPERTIES_H_

#include "OrvProperties.h"

// Command object of the properties query. Only a project's properties hold
// a "Contains:" line (its file and sub-project counts).
class OrvSSProperties : public OrvProperties {
 public:
  // Keeps the client output of the query, as the base does.
  using OrvProperties::OrvProperties;

  // Sets isProject to whether the client output holds "Contains:" anywhere;
  // any other output, a client error included, answers false. Throws nothing
  // of its own.
  void ProceesOutPut() override;

 private:
  // Says where "Contains:" stands (at `contents`), or that it is missing
  // (-1).
  void ExplainAnswer(const I18NString& properties, int contents) const;
};

#endif  // PARSERS_ORVSSPROPERTIES_H_
