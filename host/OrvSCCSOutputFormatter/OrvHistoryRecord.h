#ifndef ORVSCCSOUTPUTFORMATTER_ORVHISTORYRECORD_H_
#define ORVSCCSOUTPUTFORMATTER_ORVHISTORYRECORD_H_

#include "I18NString.h"

// One history entry: who made which version when, and its comment. The
// comment is held already escaped for the document (OrvXmlEscape). A plain
// value; OrvHistory owns the records handed to AddEntry().
class OrvHistoryRecord {
 public:
  OrvHistoryRecord(I18NString user, I18NString version, I18NString dateTime,
                   I18NString comment);
  virtual ~OrvHistoryRecord();

  const I18NString& User() const { return user_; }
  const I18NString& Version() const { return version_; }
  // The date, one blank, the time.
  const I18NString& DateTime() const { return dateTime_; }
  // The escaped comment.
  const I18NString& Comment() const { return comment_; }

 private:
  I18NString user_;
  I18NString version_;
  I18NString dateTime_;
  I18NString comment_;
};

#endif  // ORVSCCSOUTPUTFORMATTER_ORVHISTORYRECORD_H_
