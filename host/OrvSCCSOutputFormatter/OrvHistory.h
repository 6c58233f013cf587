#ifndef ORVSCCSOUTPUTFORMATTER_ORVHISTORY_H_
#define ORVSCCSOUTPUTFORMATTER_ORVHISTORY_H_

#include <memory>
#include <vector>

#include "I18NString.h"
#include "OrvCmdObject.h"
#include "OrvHistoryRecord.h"

// Query base of the history query (`history`): the versions of an item.
//
// Ownership: the entries handed to AddEntry() belong to this object from
// then on and are deleted with it.
class OrvHistory : public OrvCmdObject {
 public:
  // The query's name on the command line and in its result document.
  static constexpr char kQueryName[] = "history";

  // Keeps the client output of `params`; no entries.
  explicit OrvHistory(OrvInputParams& params)
      : OrvCmdObject(params, kQueryName) {}

  const std::vector<std::unique_ptr<OrvHistoryRecord>>& Entries() const {
    return entries_;
  }

 protected:
  // Appends `record` and takes ownership of it. A null record is ignored.
  void AddEntry(OrvHistoryRecord* record);

  // <result command="4" query="history">, then one <entry version=".."
  // user=".." date=".."><comment>..</comment></entry> per entry in the order
  // added; the comment stands in the markup exactly as held.
  void AddResultContent(OrvXmlWriter& writer) const override;

 private:
  std::vector<std::unique_ptr<OrvHistoryRecord>> entries_;
};

#endif  // ORVSCCSOUTPUTFORMATTER_ORVHISTORY_H_
