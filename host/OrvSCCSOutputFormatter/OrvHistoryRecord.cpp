#include "OrvHistoryRecord.h"

#include <utility>

OrvHistoryRecord::OrvHistoryRecord(I18NString user, I18NString version,
                                   I18NString dateTime, I18NString comment)
    : user_(std::move(user)),
      version_(std::move(version)),
      dateTime_(std::move(dateTime)),
      comment_(std::move(comment)) {}

OrvHistoryRecord::~OrvHistoryRecord() {}
