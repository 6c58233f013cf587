#ifndef ORVSCCSOUTPUTFORMATTER_ORVISFILEDIFFERENT_H_
#define ORVSCCSOUTPUTFORMATTER_ORVISFILEDIFFERENT_H_

#include "OrvCmdObject.h"

// Query base of the file-difference query (`diff`): do the working copy and
// the stored copy of a file differ.
class OrvIsFileDifferent : public OrvCmdObject {
 public:
  // The query's name on the command line and in its result document.
  static constexpr char kQueryName[] = "diff";

  // Keeps the client output of `params`; isDifferent starts false.
  explicit OrvIsFileDifferent(OrvInputParams& params)
      : OrvCmdObject(params, kQueryName) {}

  bool IsDifferent() const { return isDifferent; }

 protected:
  // <result command=".." query="diff" different=".."/>
  std::vector<OrvResultAttribute> ResultAttributes() const override {
    return {{u"different", isDifferent}};
  }

  bool isDifferent = false;  // written by the parser
};

#endif  // ORVSCCSOUTPUTFORMATTER_ORVISFILEDIFFERENT_H_
