// Fuzz target of the child listing query (identifiers 5 and 6; the first
// byte picks both the encoding and the identifier): any client output
// answers, and every child reads back from the document exactly as the
// parser added it.

#include "FuzzSupport.h"
#include "OrvSSEnumChildren.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int commandId = (size > 0 && (data[0] / 3) % 2 == 1) ? 6 : 5;
  OrvInputParams params = fuzz::MakeInput(data, size, commandId);

  OrvSSEnumChildren command(params);
  command.ProceesOutPut();
  fuzz::Require(command.Succeeded() || command.Children().empty(),
                "children listed for a client that did not answer");

  const I18NString document = command.ConverToOrvFormat();
  const xercesc::DOMElement& root = fuzz::ParseDocument(document);
  fuzz::ExpectName(root, "result");
  fuzz::ExpectAttribute(root, "command", commandId == 5 ? "5" : "6");
  fuzz::ExpectAttribute(root, "query", "children");
  fuzz::ExpectAttribute(root, "succeeded", fuzz::BoolText(command.Succeeded()));

  const xercesc::DOMElement* item = root.getFirstElementChild();
  for (const OrvEnumChildren::Child& child : command.Children()) {
    fuzz::Require(item != nullptr, "fewer items than children");
    fuzz::ExpectName(*item, "item");
    fuzz::ExpectAttribute(*item, "name", child.name.units());
    fuzz::ExpectAttribute(*item, "project", fuzz::BoolText(child.isProject));
    item = item->getNextElementSibling();
  }
  fuzz::Require(item == nullptr, "more items than children");
  return 0;
}
