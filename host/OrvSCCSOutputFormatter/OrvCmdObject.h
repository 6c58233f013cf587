#ifndef ORVSCCSOUTPUTFORMATTER_ORVCMDOBJECT_H_
#define ORVSCCSOUTPUTFORMATTER_ORVCMDOBJECT_H_

#include <vector>

#include "I18NString.h"
#include "OrvExplanation.h"
#include "OrvInputParams.h"

class OrvXmlWriter;

// One attribute of a result element after command and query: the text
// `text` points at, or the truth value `flag` when it points at none.
struct OrvResultAttribute {
  OrvResultAttribute(const char16_t* attribute, bool value)
      : name(attribute), flag(value) {}
  OrvResultAttribute(const char16_t* attribute, const I18NString& value)
      : name(attribute), text(&value) {}
  const char16_t* name;
  bool flag = false;
  const I18NString* text = nullptr;
};

// The root of all command objects: one query, run once through
// ProceesOutPut(), ConverToOrvFormat() and WriteToStdOut(), in that order.
class OrvCmdObject {
 public:
  virtual ~OrvCmdObject();

  // Interprets the client output and leaves the findings in the query base.
  virtual void ProceesOutPut() = 0;

  // Builds the result document from the findings: <result command=".."
  // query=".."> with ResultAttributes() in their order, then what
  // AddResultContent() adds inside it.
  virtual I18NString ConverToOrvFormat();

  // Prints `document` on standard output, encoded in UTF-8, and flushes it.
  // Throws OrvException (ORV_MSG_OUTPUT_FAILED) when it cannot be written
  // whole, so that a lost answer is never taken for a written one.
  virtual void WriteToStdOut(I18NString& document);

 protected:
  // Takes the command identifier, the client output and the explanation from
  // `params`; `queryName`, static ASCII, names the query in the result.
  OrvCmdObject(OrvInputParams& params, const char* queryName);

  // The client output of the query.
  const I18NString& ClientOutput() const { return clientOutput_; }

  // Where the parser says why its answer says what it says (--explain).
  OrvExplanation& Explanation() const { return explanation_; }

  // The result element's own attributes, in document order: none here.
  virtual std::vector<OrvResultAttribute> ResultAttributes() const;

  // Adds the result element's child elements: none here.
  virtual void AddResultContent(OrvXmlWriter& writer) const;

 private:
  int commandId_;
  const char* queryName_;
  I18NString clientOutput_;
  OrvExplanation& explanation_;
};

#endif  // ORVSCCSOUTPUTFORMATTER_ORVCMDOBJECT_H_
