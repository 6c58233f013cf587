#include "OrvSSHistory.h"

#include <new>
#include <utility>

#include "ClientMessages.h"
#include "I18NScan.h"
#include "OrvFormatterUtility.h"
#include "OrvHistoryRecord.h"

namespace {

using client_messages::kRecordMarker;

// A record block starts three characters into its record marker, so that
// the block begins with 14 asterisks: the scan templates below begin so. The
// next marker is searched for from the character after marker start + the
// length of an empty line's line feeds.
const char* const kMarkerSkip = client_messages::kBlankLine;

const char kDateTimeSeparator[] = " ";

// The header (marker line and "User:" line) is the same in all three; a blank
// or line feed in a template skips any run of white space, none included.
const char16_t kCreatedTemplate[] =
    u"************** Version %s *****************\n"
    u"User: %s Date: %s Time: %s \n"
    u"%*[^\n]\nComment: %[^\b]";
const char16_t kCheckedInTemplate[] =
    u"************** Version %s *****************\n"
    u"User: %s Date: %s Time: %s \n"
    u"Checked in %*[^\n]\nComment: %[^\b]";
const char16_t kFirstLineTemplate[] =
    u"************** Version %s *****************\n"
    u"User: %s Date: %s Time: %s \n"
    u"%[^\n]";

// The fields in the order the templates store them.
enum RecordField {
  kVersionField = 0,
  kUserField,
  kDateField,
  kTimeField,
  kCommentField,
  kRecordFieldCount
};

const unsigned int kLineFeed = 0x0A;
// The client wraps a long comment at 80 columns, counted from the start of
// the comment.
const std::size_t kWrapColumns = 80;

// The wrap position after `position` in a comment: the client's wrapping
// leaves a line feed at 0, 79, 159, 239, ...
std::size_t NextWrapPosition(std::size_t position) {
  return position == 0 ? kWrapColumns - 1 : position + kWrapColumns;
}

// The host holds a version, date or time in 12 code units and a user in 32,
// a terminator included: a longer field does not fit, and its block is no
// entry.
const int kVersionCapacity = 12;
const int kUserCapacity = 32;
const int kDateCapacity = 12;
const int kTimeCapacity = 12;

I18NString FieldOf(const I18NString& block, const I18NScanField& field) {
  return block.substring(field.start, field.start + field.length);
}

bool Contains(const I18NString& text, const I18NString& word) {
  return text.find(word, 0) > -1;
}

// True when the scan matched everything before the comment conversion and
// found nothing for it: after "Comment:" only white space up to the end of
// the block, or a backspace. The client prints "Comment: " alone for a
// version checked in without a comment; that version is still a version.
bool StoppedAtEmptyComment(const I18NScanOutcome& outcome) {
  return outcome.stopField == kCommentField &&
         (outcome.stop == I18N_SCAN_INPUT_FAILURE ||
          outcome.stop == I18N_SCAN_MATCHING_FAILURE);
}

}  // namespace

OrvSSHistory::OrvSSHistory(OrvInputParams& params)
    : OrvHistory(params),
      historyText(),
      preamble(),
      recordBlocks(),
      createdWord(client_messages::Marker(client_messages::kCreatedWord)),
      commentWord(client_messages::Marker(client_messages::kCommentWord)),
      checkedInWord(client_messages::Marker(client_messages::kCheckedInWord)),
      dateTimeSeparator(client_messages::Marker(kDateTimeSeparator)) {
  SplitRecords();
}

OrvSSHistory::~OrvSSHistory() {}

void OrvSSHistory::SplitRecords() {
  // Only read here, so the client output itself serves as the working text.
  const I18NString& working = clientOutput;
  I18NString marker;
  marker = kRecordMarker;
  I18NString markerSkip;
  markerSkip = kMarkerSkip;

  const int first = working.find(marker, 0);
  if (first != -1) {
    preamble = working.substring(0, first);
    historyText = working.substring(first, -1);
  }
  if (historyText.empty()) return;

  int offset = 0;
  for (;;) {
    const int found = historyText.find(marker, offset);
    if (found == -1) {
      I18NString last = historyText.substring(offset, -1);
      if (!last.empty()) recordBlocks.push_back(std::move(last));
      return;
    }
    // The first pass finds the marker that opens historyText: nothing
    // stands before it.
    if (offset > 0) {
      I18NString block = historyText.substring(offset, found);
      if (!block.empty()) recordBlocks.push_back(std::move(block));
    }
    offset = historyText.incrementOffset(found + markerSkip.length());
  }
}

void OrvSSHistory::ProceesOutPut() {
  I18NString version;
  I18NString user;
  I18NString dateTime;
  I18NString comment;
  for (std::size_t index = recordBlocks.size(); index-- > 0;) {
    if (!ParseRecord(static_cast<uint32_t>(index), version, user, dateTime,
                     comment)) {
      continue;
    }
    OrvHistoryRecord* record =
        new (std::nothrow) OrvHistoryRecord(user, version, dateTime, comment);
    // A record that cannot be allocated is a failure, not the end of the
    // history: a shorter history would be a wrong answer.
    if (record == nullptr) throw std::bad_alloc();
    AddEntry(record);
  }
}

bool OrvSSHistory::ParseRecord(uint32_t index, I18NString& version,
                               I18NString& user, I18NString& dateTime,
                               I18NString& comment) {
  if (index >= recordBlocks.size()) return false;
  version.erase(0, -1);
  user.erase(0, -1);
  dateTime.erase(0, -1);
  comment.erase(0, -1);

  I18NString& block = recordBlocks[index];
  bool parsed;
  if (Contains(block, createdWord) && Contains(block, commentWord)) {
    parsed = ScanCreatedRecord(block, version, user, dateTime, comment);
  } else if (Contains(block, commentWord) && Contains(block, checkedInWord)) {
    parsed = ScanCheckedInRecord(block, version, user, dateTime, comment);
  } else {
    parsed = ScanFirstLineRecord(block, version, user, dateTime, comment);
  }

  // Escaping comes before unwrapping: the wrap positions are counted in the
  // comment as the document holds it.
  comment.trimTrailing(kLineFeed);
  OrvFormatterUtility::EscapeDOMChars(comment);
  UnwrapComment(comment);
  return parsed;
}

bool OrvSSHistory::ScanCreatedRecord(I18NString& block, I18NString& version,
                                     I18NString& user, I18NString& dateTime,
                                     I18NString& comment) {
  return ScanRecord(block, kCreatedTemplate, true, version, user, dateTime,
                    comment);
}

bool OrvSSHistory::ScanCheckedInRecord(I18NString& block, I18NString& version,
                                       I18NString& user, I18NString& dateTime,
                                       I18NString& comment) {
  return ScanRecord(block, kCheckedInTemplate, true, version, user, dateTime,
                    comment);
}

bool OrvSSHistory::ScanFirstLineRecord(I18NString& block, I18NString& version,
                                       I18NString& user, I18NString& dateTime,
                                       I18NString& comment) {
  // Here the comment is the action line itself; a header with nothing after
  // it is no entry.
  return ScanRecord(block, kFirstLineTemplate, false, version, user, dateTime,
                    comment);
}

bool OrvSSHistory::ScanRecord(const I18NString& block,
                              const char16_t* scanTemplate,
                              bool emptyCommentAllowed, I18NString& version,
                              I18NString& user, I18NString& dateTime,
                              I18NString& comment) {
  // A comment is part of its block, so it always fits; the other fields
  // must fit the host's fixed buffers, terminator included.
  I18NScanField fields[kRecordFieldCount] = {
      {kVersionCapacity, 0, 0}, {kUserCapacity, 0, 0}, {kDateCapacity, 0, 0},
      {kTimeCapacity, 0, 0},    {block.size(), 0, 0},
  };
  const I18NScanOutcome outcome =
      I18NScanText(block, scanTemplate, fields, kRecordFieldCount);
  // A field too long for its buffer ends the scan below the full count, so
  // such a block is refused like one that fits no template.
  const bool complete = outcome.result >= kRecordFieldCount;
  if (!complete && !(emptyCommentAllowed && StoppedAtEmptyComment(outcome)))
    return false;

  // The fields are taken where they stand: substrings share the client
  // output's storage.
  version = FieldOf(block, fields[kVersionField]);
  user = FieldOf(block, fields[kUserField]);
  dateTime.reserve(static_cast<std::size_t>(fields[kDateField].length) +
                   dateTimeSeparator.size() + fields[kTimeField].length);
  dateTime += FieldOf(block, fields[kDateField]);
  dateTime += dateTimeSeparator;
  dateTime += FieldOf(block, fields[kTimeField]);
  if (complete) comment = FieldOf(block, fields[kCommentField]);
  return true;
}

void OrvSSHistory::UnwrapComment(I18NString& comment) {
  I18NString unwrapped;
  // Everything before `kept` is in `unwrapped` already. Only the wrap
  // positions are looked at; a comment with no line feed there stays as it
  // is, uncopied.
  int kept = 0;
  for (std::size_t at = 0; at < static_cast<std::size_t>(comment.length());
       at = NextWrapPosition(at)) {
    const int position = static_cast<int>(at);
    if (comment.at(position) != kLineFeed) continue;
    if (kept == 0) unwrapped.reserve(comment.length());
    unwrapped += comment.substring(kept, position);
    kept = position + 1;
  }
  if (kept == 0) return;
  unwrapped += comment.substring(kept, -1);
  comment = unwrapped;
}
