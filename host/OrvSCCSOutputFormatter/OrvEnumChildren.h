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
  static constexpr char16_t kQueryName[] = u"children";

  // One child of the project, as the parser added it.
  struct Child {
    I18NString name;
    bool isProject;
  };

  // Keeps the client output of `params`; succeeded starts false and the list
  // of children empty.
  explicit OrvEnumChildren(OrvInputParams& params);
  ~OrvEnumChildren() override;

  // <result command=".." query="children" succeeded="..">, then one
  // <item name=".." project=".."/> per child in the order added.
  I18NString ConverToOrvFormat() override;

  bool Succeeded() const { return succeeded; }
  const std::vector<Child>& Children() const { return children_; }

 protected:
  // Appends one child.
  void AddItem(const I18NString& name, const bool& isProject);

  // Makes room for `count` children in all, so that a listing of a million
  // lines is not copied as its list grows.
  void ReserveItems(std::size_t count);

  bool succeeded;           // written by the parser
  I18NString clientOutput;  // read by the parser

 private:
  std::vector<Child> children_;
};

#endif  // ORVSCCSOUTPUTFORMATTER_ORVENUMCHILDREN_H_
