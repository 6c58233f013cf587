#include "OrvHistory.h"

#include "OrvXmlWriter.h"

void OrvHistory::AddResultContent(OrvXmlWriter& writer) const {
  for (const std::unique_ptr<OrvHistoryRecord>& entry : entries_) {
    writer.OpenElement(u"entry");
    writer.AddAttribute(u"version", entry->Version());
    writer.AddAttribute(u"user", entry->User());
    writer.AddAttribute(u"date", entry->DateTime());
    writer.OpenElement(u"comment");
    // The parser escaped the comment already; escaping it again would show
    // the references themselves to the reader.
    writer.AddEscapedText(entry->Comment());
    writer.CloseElement();
    writer.CloseElement();
  }
}

void OrvHistory::AddEntry(OrvHistoryRecord* record) {
  if (record == nullptr) return;
  entries_.emplace_back(record);
}
