// Fuzz target of the file-difference query (identifier 9): any client output
// gives either a result document whose answer matches the two sentences the
// client prints, or the exception document of message 0x56177B77.

#include "ClientMessages.h"
#include "FuzzSupport.h"
#include "OrvErrorDocument.h"
#include "OrvException.h"
#include "OrvMessage.h"
#include "OrvSSIsFileDifferent.h"

namespace {

void CheckExceptionDocument() {
  const I18NString document = OrvErrorDocument();
  const xercesc::DOMElement& root = fuzz::ParseDocument(document);
  fuzz::ExpectName(root, "error");
  fuzz::ExpectAttribute(root, "code", "0x56177B77");
  fuzz::Require(!fuzz::TextOf(root).empty(), "exception document without text");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  OrvInputParams params = fuzz::MakeInput(data, size, 9);
  const std::u16string& text = params.GetClientOutput().units();
  const bool different =
      fuzz::HoldsMarker(text, client_messages::kFilesDifferent);
  const bool same = fuzz::HoldsMarker(text, client_messages::kFilesSame);

  OrvSSIsFileDifferent command(params);
  try {
    command.ProceesOutPut();
  } catch (const OrvException& e) {
    fuzz::Require(!different && !same, "a recognised comparison threw");
    fuzz::Require(e.getCode() == static_cast<long>(ORV_MSG_DIFF_UNRECOGNISED),
                  "unexpected message code");
    CheckExceptionDocument();
    return 0;
  }
  fuzz::Require(different || same, "an unrecognised comparison answered");
  fuzz::Require(command.IsDifferent() == different, "wrong answer");

  const I18NString document = command.ConverToOrvFormat();
  const xercesc::DOMElement& root = fuzz::ParseDocument(document);
  fuzz::ExpectName(root, "result");
  fuzz::ExpectAttribute(root, "command", "9");
  fuzz::ExpectAttribute(root, "query", "diff");
  fuzz::ExpectAttribute(root, "different", fuzz::BoolText(different));
  return 0;
}
