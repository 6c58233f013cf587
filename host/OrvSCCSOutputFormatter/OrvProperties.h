#ifndef ORVSCCSOUTPUTFORMATTER_ORVPROPERTIES_H_
#define ORVSCCSOUTPUTFORMATTER_ORVPROPERTIES_H_

#include "I18NString.h"
#include "OrvCmdObject.h"

// Query base of the properties query (`properties`): is the item a project.
class OrvProperties : public OrvCmdObject {
 public:
  // The query's name on the command line and in its result document.
  static constexpr char kQueryName[] = "properties";

  // Keeps the client output of `params`; isProject starts false.
  explicit OrvProperties(OrvInputParams& params);
  ~OrvProperties() override;

  // <result command="8" query="properties" project=".."/>
  I18NString ConverToOrvFormat() override;

  bool IsProject() const { return isProject; }

 protected:
  // The client output of the query, by value.
  I18NString GetPathInRepository() const;

  bool isProject;  // written by the parser

 private:
  I18NString clientOutput_;
};

#endif  // ORVSCCSOUTPUTFORMATTER_ORVPROPERTIES_H_
