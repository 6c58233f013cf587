// Fuzz target of the existence query (identifier 1): any client output
// answers, following the decision table of the client's messages.

#include "FuzzSupport.h"
#include "OrvSSExist.h"

namespace {

struct Answer {
  bool succeeded;
  bool exists;
};

// The client's database errors and log-in prompts come first; only a client
// that answered can report the item missing or deleted.
Answer Expected(const std::u16string& text) {
  auto contains = [&text](const char16_t* marker) {
    return text.find(marker) != std::u16string::npos;
  };
  if (contains(u"No VSS database (srcsafe.ini) found.") ||
      contains(u"Incompatible database version") || contains(u"Username:") ||
      contains(u"Password:")) {
    return {false, false};
  }
  return {true, !contains(u"is not an existing filename or project") &&
                    !contains(u"has been deleted")};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  OrvInputParams params = fuzz::MakeInput(data, size, 1);
  const Answer expected = Expected(params.GetClientOutput().units());

  OrvSSExist command(params);
  command.ProceesOutPut();
  fuzz::Require(command.Succeeded() == expected.succeeded, "wrong succeeded");
  fuzz::Require(command.Exists() == expected.exists, "wrong exists");

  const I18NString document = command.ConverToOrvFormat();
  const xercesc::DOMElement& root = fuzz::ParseDocument(document);
  fuzz::ExpectName(root, "result");
  fuzz::ExpectAttribute(root, "command", "1");
  fuzz::ExpectAttribute(root, "query", "exists");
  fuzz::ExpectAttribute(root, "succeeded", fuzz::BoolText(expected.succeeded));
  fuzz::ExpectAttribute(root, "exists", fuzz::BoolText(expected.exists));
  return 0;
}
