#ifndef ORVSCCSOUTPUTFORMATTER_ORVCHECKEDOUT_H_
#define ORVSCCSOUTPUTFORMATTER_ORVCHECKEDOUT_H_

#include "I18NString.h"
#include "OrvCmdObject.h"

// Query base of the checked-out status query (`checkout`): is the file
// checked out, and by whom.
class OrvCheckedOut : public OrvCmdObject {
 public:
  // The query's name on the command line and in its result document.
  static constexpr char kQueryName[] = "checkout";

  // Keeps the client output of `params`; checkedOutBy starts empty and
  // isCheckedOut false.
  explicit OrvCheckedOut(OrvInputParams& params)
      : OrvCmdObject(params, kQueryName) {}

  const I18NString& CheckedOutBy() const { return checkedOutBy; }
  bool IsCheckedOut() const { return isCheckedOut; }

 protected:
  // <result command="3" query="checkout" checkedOut=".." user=".."/>
  std::vector<OrvResultAttribute> ResultAttributes() const override {
    return {{u"checkedOut", isCheckedOut}, {u"user", checkedOutBy}};
  }

  I18NString checkedOutBy;    // written by the parser
  bool isCheckedOut = false;  // written by the parser
};

#endif  // ORVSCCSOUTPUTFORMATTER_ORVCHECKEDOUT_H_
