#ifndef ORVSCCSOUTPUTFORMATTER_ORVEXIST_H_
#define ORVSCCSOUTPUTFORMATTER_ORVEXIST_H_

#include "OrvCmdObject.h"

// Query base of the existence query (`exists`): does the item exist.
class OrvExist : public OrvCmdObject {
 public:
  // The query's name on the command line and in its result document.
  static constexpr char kQueryName[] = "exists";

  // Keeps the client output of `params`; succeeded and exists start false.
  explicit OrvExist(OrvInputParams& params)
      : OrvCmdObject(params, kQueryName) {}

  bool Succeeded() const { return succeeded; }
  bool Exists() const { return exists; }

 protected:
  // <result command="1" query="exists" succeeded=".." exists=".."/>
  std::vector<OrvResultAttribute> ResultAttributes() const override {
    return {{u"succeeded", succeeded}, {u"exists", exists}};
  }

  bool succeeded = false;  // written by the parser
  bool exists = false;     // written by the parser
};

#endif  // ORVSCCSOUTPUTFORMATTER_ORVEXIST_H_
