// Fuzz target of the properties query (identifier 8): any client output
// answers, and the answer is whether "Contains:" stands in it.

#include "ClientMessages.h"
#include "FuzzSupport.h"
#include "OrvSSProperties.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  OrvInputParams params = fuzz::MakeInput(data, size, 8);
  const bool contains = fuzz::HoldsMarker(params.GetClientOutput().units(),
                                          client_messages::kProjectContents);

  OrvSSProperties command(params);
  command.ProceesOutPut();
  fuzz::Require(command.IsProject() == contains, "wrong answer");

  const I18NString document = command.ConverToOrvFormat();
  const xercesc::DOMElement& root = fuzz::ParseDocument(document);
  fuzz::ExpectName(root, "result");
  fuzz::ExpectAttribute(root, "command", "8");
  fuzz::ExpectAttribute(root, "query", "properties");
  fuzz::ExpectAttribute(root, "project", fuzz::BoolText(contains));
  return 0;
}
