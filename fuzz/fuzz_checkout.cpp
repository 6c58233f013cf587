// Fuzz target of the checked-out status query (identifier 3): any client
// output answers, and the document carries exactly the flag and the user
// name that the parser found (a name of at most 14 bytes, trimmed).

#include "FuzzSupport.h"
#include "OrvSSCheckOut.h"
#include "OrvSystemUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  OrvInputParams params = fuzz::MakeInput(data, size, 3);

  OrvSSCheckOut command(params);
  command.ProceesOutPut();
  const std::u16string& user = command.CheckedOutBy().units();
  // The window holds 14 bytes; a byte decodes to at most one code unit in
  // the encodings fuzzed here, or to U+FFFD when it is invalid.
  fuzz::Require(user.size() <= 14, "user name longer than its window");
  fuzz::Require(user.empty() || (!OrvSystemUtils::IsWhiteSpace(user.front()) &&
                                 !OrvSystemUtils::IsWhiteSpace(user.back())),
                "user name not trimmed");
  fuzz::Require(!command.IsCheckedOut() || !user.empty(),
                "checked out without a user name");

  const I18NString document = command.ConverToOrvFormat();
  const xercesc::DOMElement& root = fuzz::ParseDocument(document);
  fuzz::ExpectName(root, "result");
  fuzz::ExpectAttribute(root, "command", "3");
  fuzz::ExpectAttribute(root, "query", "checkout");
  fuzz::ExpectAttribute(root, "checkedOut",
                        fuzz::BoolText(command.IsCheckedOut()));
  fuzz::ExpectAttribute(root, "user", user);
  return 0;
}
