#ifndef ORVSCCSOUTPUTFORMATTER_ORVENUMCHILDREN_H_
#define ORVSCCSOUTPUTFORMATTER_ORVENUMCHILDREN_H_

#include <vector>

#include "I18NString.h"
#include "OrvCmdObject.h"

// Query base of the child listing query (`children`, identifiers 5 and 6):
// the files and sub-projects of a project.
class OrvEnumChildren : public OrvCmdObject {
 public:
  // The query's name on the command line and in its result document.
  static constexpr char kQueryName[] = "children";

  // One child of the project, as the parser added it.
  struct Child {
    I18NString name;
    bool isProject;
  };

  // Keeps the client output of `params`; succeeded starts false and the list
  // of children empty.
  explicit OrvEnumChildren(OrvInputParams& params)
      : OrvCmdObject(params, kQueryName) {}

  bool Succeeded() const { return succeeded; }

  // The children added so far, in the order added (a copy, for tests).
  std::vector<Child> Children() const;

 protected:
  // Appends one child.
  void AddItem(const I18NString& name, const bool& isProject);

  // Makes room for `count` children in all, so that a listing of a million
  // lines is not copied as its list grows.
  void ReserveItems(std::size_t count);

  // <result command=".." query="children" succeeded="..">, then one
  // <item name=".." project=".."/> per child in the order added.
  std::vector<OrvResultAttribute> ResultAttributes() const override {
    return {{u"succeeded", succeeded}};
  }
  void AddResultContent(OrvXmlWriter& writer) const override;

  bool succeeded = false;  // written by the parser

 private:
  // The names and the project flags of the children, side by side: a flag
  // beside each 16-byte name would pad it to 24 bytes, a third more memory
  // for a listing of a million children.
  std::vector<I18NString> names_;
  std::vector<bool> projects_;
};

#endif  // ORVSCCSOUTPUTFORMATTER_ORVENUMCHILDREN_H_
