#ifndef ORVSCCSOUTPUTFORMATTER_ORVPROPERTIES_H_
#define ORVSCCSOUTPUTFORMATTER_ORVPROPERTIES_H_

#include "OrvCmdObject.h"

// Query base of the properties query (`properties`): is the item a project.
class OrvProperties : public OrvCmdObject {
 public:
  // The query's name on the command line and in its result document.
  static constexpr char kQueryName[] = "properties";

  // Keeps the client output of `params`; isProject starts false.
  explicit OrvProperties(OrvInputParams& params)
      : OrvCmdObject(params, kQueryName) {}

  bool IsProject() const { return isProject; }

 protected:
  // <result command="8" query="properties" project=".."/>
  std::vector<OrvResultAttribute> ResultAttributes() const override {
    return {{u"project", isProject}};
  }

  bool isProject = false;  // written by the parser
};

#endif  // ORVSCCSOUTPUTFORMATTER_ORVPROPERTIES_H_
