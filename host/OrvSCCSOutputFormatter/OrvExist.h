#ifndef ORVSCCSOUTPUTFORMATTER_ORVEXIST_H_
#define ORVSCCSOUTPUTFORMATTER_ORVEXIST_H_

#include "I18NString.h"
#include "OrvCmdObject.h"

// Query base of the existence query (`exists`): does the item exist.
class OrvExist : public OrvCmdObject {
 public:
  // The query's name on the command line and in its result document.
  static constexpr char kQueryName[] = "exists";

  // Keeps the client output of `params`; succeeded and exists start false.
  explicit OrvExist(OrvInputParams& params);
  ~OrvExist() override;

  // <result command="1" query="exists" succeeded=".." exists=".."/>
  I18NString ConverToOrvFormat() override;

  bool Succeeded() const { return succeeded; }
  bool Exists() const { return exists; }

 protected:
  // The client output of the query, by value.
  I18NString GetPathInRepository() const;

  bool succeeded;  // written by the parser
  bool exists;     // written by the parser

 private:
  I18NString clientOutput_;
};

#endif  // ORVSCCSOUTPUTFORMATTER_ORVEXIST_H_
