// Fuzz target of the existence query (identifier 1): any client output
// answers, following the decision table of the client's messages.

#include "ClientMessages.h"
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
  namespace messages = client_messages;
  auto contains = [&text](const char* marker) {
    return fuzz::HoldsMarker(text, marker);
  };
  if (contains(messages::kNoDatabase) ||
      contains(messages::kIncompatibleDatabase) ||
      contains(messages::kUserNamePrompt) ||
      contains(messages::kPasswordPrompt)) {
    return {false, false};
  }
  return {true, !contains(messages::kMissingItem) &&
                    !contains(messages::kDeletedItem)};
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
