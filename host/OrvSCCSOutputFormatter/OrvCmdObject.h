#ifndef ORVSCCSOUTPUTFORMATTER_ORVCMDOBJECT_H_
#define ORVSCCSOUTPUTFORMATTER_ORVCMDOBJECT_H_

#include "I18NString.h"
#include "OrvExplanation.h"
#include "OrvInputParams.h"

// The root of all command objects: one query, run once through
// ProceesOutPut(), ConverToOrvFormat() and WriteToStdOut(), in that order.
class OrvCmdObject {
 public:
  virtual ~OrvCmdObject();

  // Interprets the client output and leaves the findings in the query base.
  virtual void ProceesOutPut() = 0;

  // Builds the result document from the findings.
  virtual I18NString ConverToOrvFormat() = 0;

  // Prints `document` on standard output, encoded in UTF-8, and flushes it.
  // Throws OrvException (ORV_MSG_OUTPUT_FAILED) when it cannot be written
  // whole, so that a lost answer is never taken for a written one.
  virtual void WriteToStdOut(I18NString& document);

  // The command identifier this object answers.
  int GetCommandID() const { return commandId_; }

 protected:
  // Takes the command identifier and the explanation from `params`.
  explicit OrvCmdObject(OrvInputParams& params);

  // Where the parser says why its answer says what it says (--explain).
  OrvExplanation& Explanation() const { return explanation_; }

 private:
  int commandId_;
  OrvExplanation& explanation_;
};

#endif  // ORVSCCSOUTPUTFORMATTER_ORVCMDOBJECT_H_
