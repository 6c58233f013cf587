#include "OrvSSHistory.h"

#include <new>
#include <utility>

#include "ClientMessages.h"
#include "I18NScan.h"
#include "OrvHistoryRecord.h"
#include "OrvSystemUtils.h"
#include "OrvXmlEscape.h"

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

// The templates in the order of OrvSSHistory::RecordTemplate.
const char16_t* const kTemplates[] = {kCreatedTemplate, kCheckedInTemplate,
                                      kFirstLineTemplate};

// How each template is named where the explanation says which one read a
// block, in the same order.
const char* const kTemplateNames[] = {
    "the Created template",
    "the Checked in template",
    "the first-line template",
};

// Why ParseRecord chose each template, in the same order.
const char* const kTemplateReasons[] = {
    "the block holds \"Created\" and \"Comment:\"",
    "the block holds \"Comment:\" and \"Checked in\", not \"Created\"",
    ("the block holds no \"Comment:\", or neither \"Created\" nor "
     "\"Checked in\""),
};

// The fields in the order the templates store them.
enum RecordField {
  kVersionField = 0,
  kUserField,
  kDateField,
  kTimeField,
  kCommentField,
  kRecordFieldCount
};

// The fields as the explanation names them.
const char* const kFieldNames[kRecordFieldCount] = {"version", "user", "date",
                                                    "time", "comment"};

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
// The capacities of the four fields that have one, by field.
const int kFieldCapacities[kCommentField] = {kVersionCapacity, kUserCapacity,
                                             kDateCapacity, kTimeCapacity};

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

// ---- for the explanation

const char16_t kVersionTemplate[] = u"************** Version %s";

// The version text of `block`: what follows "Version" on its marker line.
I18NString VersionText(const I18NString& block) {
  I18NScanField version = {block.size() + 1, 0, 0};
  if (I18NScanText(block, kVersionTemplate, &version, 1).result < 1)
    return I18NString();
  return FieldOf(block, version);
}

// The literal text of `scanTemplate` from `offset` on, up to white space or a
// conversion: what the scan expected where it stopped.
std::string LiteralAt(const char16_t* scanTemplate, int offset) {
  std::string literal;
  for (const char16_t* at = scanTemplate + offset;
       *at != 0 && *at != u'%' && !OrvSystemUtils::IsWhiteSpace(*at); ++at)
    literal += static_cast<char>(*at);
  return literal;
}

// The text of `block` from `position` to the end of its line.
I18NString RestOfLine(const I18NString& block, int position) {
  return block.substring(position, block.find(kLineFeed, position));
}

// The run of characters from `position` that are not white space: a field
// as %s reads it.
I18NString RunAt(const I18NString& block, int position) {
  int end = position;
  while (end < block.length() && !OrvSystemUtils::IsWhiteSpace(block.at(end)))
    ++end;
  return block.substring(position, end);
}

bool StartsWith(const I18NString& text, int position, const char* ascii) {
  for (int at = position; *ascii != 0; ++at, ++ascii) {
    if (at >= text.length() ||
        text.at(at) != static_cast<unsigned char>(*ascii))
      return false;
  }
  return true;
}

// Why a scan that stopped at a literal `expected` found the line that
// `foundLine` is the rest of there.
std::string WhyLiteralFailed(const std::string& expected,
                             const I18NString& foundLine, int templateIndex) {
  const std::string quoted = "\"" + expected + "\"";
  const std::string found = OrvQuote(foundLine, 40);
  if (expected == "User:") {
    if (StartsWith(foundLine, 0, client_messages::kLabelLine))
      return found +
             " stands where the User: line should: a label record, "
             "which is no version";
    return "no " + quoted + " line where the header ends; the line holds " +
           found;
  }
  if (expected == "Date:" || expected == "Time:") {
    return found + " follows where " + quoted +
           " should (a user name with a blank in it does not fit)";
  }
  if (expected == "Comment:") {
    return "the line holds " + found + " where " + quoted +
           (templateIndex == 0 ? " should follow the one line after the header"
                               : " should follow the Checked in line");
  }
  if (expected == "Checked") {
    return "the line after the header is " + found + ", not a Checked in line";
  }
  return "the text holds " + found + " where the template expects " + quoted;
}

}  // namespace

OrvSSHistory::OrvSSHistory(OrvInputParams& params)
    : OrvHistory(params),
      createdWord(client_messages::Marker(client_messages::kCreatedWord)),
      commentWord(client_messages::Marker(client_messages::kCommentWord)),
      checkedInWord(client_messages::Marker(client_messages::kCheckedInWord)),
      dateTimeSeparator(client_messages::Marker(kDateTimeSeparator)) {
  SplitRecords();
}

void OrvSSHistory::SplitRecords() {
  // Only read here, so the client output itself serves as the working text.
  const I18NString& working = ClientOutput();
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

  OrvLineCounter lines(ClientOutput());
  // The block from `offset` on was opened by the marker at `opened`.
  int opened = 0;
  const auto addBlock = [&](I18NString block) {
    if (block.empty()) return;
    recordBlocks.push_back(std::move(block));
    Explanation().Explain([&] { NoteBlockPlace(first + opened, lines); });
  };
  int offset = 0;
  for (;;) {
    const int found = historyText.find(marker, offset);
    if (found == -1) {
      addBlock(historyText.substring(offset, -1));
      return;
    }
    // The first pass finds the marker that opens historyText: nothing
    // stands before it.
    if (offset > 0) addBlock(historyText.substring(offset, found));
    opened = found;
    offset = historyText.incrementOffset(found + markerSkip.length());
  }
}

void OrvSSHistory::NoteBlockPlace(int marker, OrvLineCounter& lines) {
  const bool afterEmptyLine =
      marker == 0 ||
      (marker >= 2 && ClientOutput().at(marker - 1) == kLineFeed &&
       ClientOutput().at(marker - 2) == kLineFeed);
  blockPlaces_.push_back({lines.LineOf(marker), afterEmptyLine});
}

void OrvSSHistory::ProceesOutPut() {
  Explanation().Explain([&] { ExplainPreamble(); });
  I18NString version;
  I18NString user;
  I18NString dateTime;
  I18NString comment;
  std::size_t entries = 0;
  for (std::size_t index = recordBlocks.size(); index-- > 0;) {
    const bool parsed = ParseRecord(static_cast<uint32_t>(index), version, user,
                                    dateTime, comment);
    Explanation().Explain([&] {
      ExplainRecord(index, parsed, version, user, dateTime, comment);
    });
    if (!parsed) continue;
    OrvHistoryRecord* record =
        new (std::nothrow) OrvHistoryRecord(user, version, dateTime, comment);
    // A record that cannot be allocated is a failure, not the end of the
    // history: a shorter history would be a wrong answer.
    if (record == nullptr) throw std::bad_alloc();
    AddEntry(record);
    ++entries;
  }
  Explanation().Explain([&] { ExplainSummary(entries); });
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
    lastScan_.scanTemplate = kCreatedRecord;
    parsed = ScanCreatedRecord(block, version, user, dateTime, comment);
  } else if (Contains(block, commentWord) && Contains(block, checkedInWord)) {
    lastScan_.scanTemplate = kCheckedInRecord;
    parsed = ScanCheckedInRecord(block, version, user, dateTime, comment);
  } else {
    lastScan_.scanTemplate = kFirstLineRecord;
    parsed = ScanFirstLineRecord(block, version, user, dateTime, comment);
  }

  // Escaping comes before unwrapping: the wrap positions are counted in the
  // comment as the document holds it.
  comment.trimTrailing(kLineFeed);
  OrvXmlEscape(comment);
  lastScan_.unwrappedLineFeeds = UnwrapComment(comment);
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
      {kFieldCapacities[kVersionField], 0, 0},
      {kFieldCapacities[kUserField], 0, 0},
      {kFieldCapacities[kDateField], 0, 0},
      {kFieldCapacities[kTimeField], 0, 0},
      {block.size(), 0, 0},
  };
  const I18NScanOutcome outcome =
      I18NScanText(block, scanTemplate, fields, kRecordFieldCount);
  lastScan_.outcome = outcome;
  // A field too long for its buffer ends the scan below the full count, so
  // such a block is refused like one that fits no template.
  const bool complete = outcome.result >= kRecordFieldCount;
  lastScan_.emptyComment =
      !complete && emptyCommentAllowed && StoppedAtEmptyComment(outcome);
  if (!complete && !lastScan_.emptyComment) return false;

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

int OrvSSHistory::UnwrapComment(I18NString& comment) {
  I18NString unwrapped;
  // Everything before `kept` is in `unwrapped` already. Only the wrap
  // positions are looked at; a comment with no line feed there stays as it
  // is, uncopied.
  int kept = 0;
  int removed = 0;
  for (std::size_t at = 0; at < static_cast<std::size_t>(comment.length());
       at = NextWrapPosition(at)) {
    const int position = static_cast<int>(at);
    if (comment.at(position) != kLineFeed) continue;
    if (kept == 0) unwrapped.reserve(comment.length());
    unwrapped += comment.substring(kept, position);
    kept = position + 1;
    ++removed;
  }
  if (kept == 0) return 0;
  unwrapped += comment.substring(kept, -1);
  comment = unwrapped;
  return removed;
}

void OrvSSHistory::ExplainPreamble() const {
  OrvExplanation& explanation = Explanation();
  if (recordBlocks.empty()) {
    explanation.Say(OrvPlace::ClientOutput(), "no record marker ",
                    OrvQuotedText(kRecordMarker), ": no entries");
    return;
  }
  if (preamble.empty() || !BlockPlacesKnown()) return;
  // The marker's own line holds the end of the preamble when the marker
  // does not start its line.
  const int markerLine = blockPlaces_.front().line;
  const int last = preamble.at(preamble.length() - 1) == kLineFeed
                       ? markerLine - 1
                       : markerLine;
  explanation.Say(OrvPlace::Lines(1, last),
                  "the text before the first record marker is not read: ",
                  OrvQuoted{preamble, 40});
  ExplainRecordsInside(preamble, 1, "not read either");
}

void OrvSSHistory::ExplainRecord(std::size_t index, bool parsed,
                                 const I18NString& version,
                                 const I18NString& user,
                                 const I18NString& dateTime,
                                 const I18NString& comment) const {
  if (!BlockPlacesKnown()) return;
  OrvExplanation& explanation = Explanation();
  const BlockPlace& place = blockPlaces_[index];
  const OrvPlace line = OrvPlace::Line(place.line);
  if (!place.afterEmptyLine) {
    explanation.Say(line,
                    "this record marker does not follow an empty line, as "
                    "the client's records do: marker text inside the comment "
                    "above, most likely; it opens a block all the same");
  }
  if (!parsed) {
    ExplainNoEntry(index, line);
    return;
  }
  const RecordScan& scan = lastScan_;
  std::string commentText =
      scan.emptyComment
          ? "an empty comment (\"Comment:\" with nothing after it)"
          : "a comment of " +
                OrvCountText(comment.count(kLineFeed) + 1, "line", "lines");
  if (scan.unwrappedLineFeeds > 0) {
    commentText +=
        ", " +
        OrvCountText(scan.unwrappedLineFeeds, "line feed", "line feeds") +
        " of the client's 80-column wrapping removed";
  }
  explanation.Say(line, "version ", OrvQuoted{version}, ": read by ",
                  kTemplateNames[scan.scanTemplate], " (",
                  kTemplateReasons[scan.scanTemplate], "): user ",
                  OrvQuoted{user}, ", date ", OrvQuoted{dateTime}, ", ",
                  commentText);
  const bool commentRunsToTheEnd =
      scan.scanTemplate != kFirstLineRecord && !scan.emptyComment;
  ExplainRecordsInside(recordBlocks[index], place.line,
                       commentRunsToTheEnd
                           ? "its lines are part of this version's comment"
                           : "not read: this version's comment is the first "
                             "line after its header");
}

void OrvSSHistory::ExplainNoEntry(std::size_t index,
                                  const OrvPlace& line) const {
  const I18NString& block = recordBlocks[index];
  const RecordScan& scan = lastScan_;
  const I18NScanOutcome& outcome = scan.outcome;
  OrvLineCounter blockLines(block);
  const int stopLine = line.first + blockLines.LineOf(outcome.textPosition) - 1;
  std::string why;
  if (outcome.stop == I18N_SCAN_FIELD_TOO_LONG) {
    const I18NString field = RunAt(block, outcome.textPosition);
    why = "its " + std::string(kFieldNames[outcome.stopField]) + " " +
          OrvQuote(field, 40) + " is " +
          OrvCountText(field.length(), "character", "characters") +
          " long, and a " + kFieldNames[outcome.stopField] + " holds at most " +
          std::to_string(kFieldCapacities[outcome.stopField] - 1);
  } else if (outcome.stop == I18N_SCAN_INPUT_FAILURE) {
    why = outcome.stopField >= 0
              ? "the block ends before its " +
                    std::string(kFieldNames[outcome.stopField])
              : "the block ends where \"" +
                    LiteralAt(kTemplates[scan.scanTemplate],
                              outcome.formatPosition) +
                    "\" should follow";
  } else if (outcome.stopField >= 0) {
    why =
        std::string("nothing to read as its ") + kFieldNames[outcome.stopField];
  } else {
    why = WhyLiteralFailed(
        LiteralAt(kTemplates[scan.scanTemplate], outcome.formatPosition),
        RestOfLine(block, outcome.textPosition), scan.scanTemplate);
  }
  Explanation().Say(line, "version ", OrvQuoted{VersionText(block), 20},
                    ": no entry: ", kTemplateNames[scan.scanTemplate], " (",
                    kTemplateReasons[scan.scanTemplate], ") stops at line ",
                    stopLine, ": ", why);
}

void OrvSSHistory::ExplainRecordsInside(const I18NString& text, int firstLine,
                                        const char* fate) const {
  OrvExplanation& explanation = Explanation();
  int line = firstLine;
  for (int start = 0; start != -1 && start < text.length(); ++line) {
    if (StartsWith(text, start, client_messages::kLabelLine)) {
      explanation.Say(OrvPlace::Line(line),
                      "a label record without a version header (",
                      OrvQuoted{RestOfLine(text, start), 40},
                      "): it is no version; ", fate);
    } else if (StartsWith(text, start, client_messages::kChildHeader)) {
      explanation.Say(OrvPlace::Line(line), OrvQuoted{RestOfLine(text, start)},
                      " opens the records of an item of the project (History "
                      "-R): they are no versions of the project; ",
                      fate);
    }
    start = text.incrementOffset(text.find(kLineFeed, start));
  }
}

void OrvSSHistory::ExplainSummary(std::size_t entries) const {
  if (recordBlocks.empty()) return;
  Explanation().Say(
      OrvPlace::ClientOutput(),
      OrvCount{static_cast<long long>(recordBlocks.size()), "record block",
               "record blocks"},
      " gave ", OrvCount{static_cast<long long>(entries), "entry", "entries"},
      ", listed from the last block to the first");
}
