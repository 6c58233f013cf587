// Fuzz target of the history query (identifier 4): any client output
// answers, every entry's fields fit the host's limits, and every entry reads
// back from the document exactly as the parser added it (the comment with
// the formatter's escaping undone).

#include "FuzzSupport.h"
#include "OrvSSHistory.h"

namespace {

// The host takes at most 11 code units of version, date and time and 31 of
// user; a longer field yields no entry.
void CheckFieldSizes(const OrvHistoryRecord& entry) {
  fuzz::Require(entry.Version().size() <= 11, "version longer than 11");
  fuzz::Require(entry.User().size() <= 31, "user longer than 31");
  // The date, one blank, the time: 11 + 1 + 11 at most.
  fuzz::Require(entry.DateTime().size() <= 23, "date and time longer than 23");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  OrvInputParams params = fuzz::MakeInput(data, size, 4);

  OrvSSHistory command(params);
  command.ProceesOutPut();

  const I18NString document = command.ConverToOrvFormat();
  const xercesc::DOMElement& root = fuzz::ParseDocument(document);
  fuzz::ExpectName(root, "result");
  fuzz::ExpectAttribute(root, "command", "4");
  fuzz::ExpectAttribute(root, "query", "history");

  const xercesc::DOMElement* element = root.getFirstElementChild();
  for (const auto& entry : command.Entries()) {
    CheckFieldSizes(*entry);
    fuzz::Require(element != nullptr, "fewer entry elements than entries");
    fuzz::ExpectName(*element, "entry");
    fuzz::ExpectAttribute(*element, "version", entry->Version().units());
    fuzz::ExpectAttribute(*element, "user", entry->User().units());
    fuzz::ExpectAttribute(*element, "date", entry->DateTime().units());
    const xercesc::DOMElement* comment = element->getFirstElementChild();
    fuzz::Require(comment != nullptr, "entry without a comment element");
    fuzz::ExpectName(*comment, "comment");
    fuzz::Require(fuzz::TextOf(*comment) == fuzz::XmlVisible(fuzz::Unescape(
                                                entry->Comment().units())),
                  "comment differs from the one held");
    element = element->getNextElementSibling();
  }
  fuzz::Require(element == nullptr, "more entry elements than entries");
  return 0;
}
