// Reads: the client's `ss History` output, one record per version.
// Answers: the item's versions, each with its user, date and comment.
// Example: a record "Version 9", "User: j.smith": <entry version="9" ...>.
#ifndef PARSERS_ORVSSHISTORY_H_
#define PARSERS_ORVSSHISTORY_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "I18NScan.h"
#include "I18NString.h"
#include "OrvExplanation.h"
#include "OrvHistory.h"
#include "OrvInputParams.h"

// Command object of the history query. Each record opens with a line with
// the record marker "*****************  Version". The constructor
// cuts the client output into one record block per marker; ProceesOutPut()
// scans each block with one of three fixed templates into version, user,
// date-and-time and comment, and hands one entry per parsed block to the
// base, the last block of the output first.
//
// Ownership: the record blocks and the fields taken from them share the
// storage of the client output; the entries belong to the base from
// AddEntry() on.
class OrvSSHistory : public OrvHistory {
 public:
  // Keeps the client output of `params` and cuts it into record blocks.
  explicit OrvSSHistory(OrvInputParams& params);

  OrvSSHistory(const OrvSSHistory&) = delete;
  OrvSSHistory& operator=(const OrvSSHistory&) = delete;

  // Adds one entry per record block that fits a template, from the last
  // block to the first; a block that fits none is skipped. Throws
  // std::bad_alloc when an entry cannot be allocated.
  void ProceesOutPut() override;

  // The number of record blocks the client output was cut into.
  std::size_t RecordBlockCount() const { return recordBlocks.size(); }

  // The record block at `index`, which starts three characters into its
  // record marker. REQUIRES: index < RecordBlockCount().
  const I18NString& RecordBlock(std::size_t index) const {
    return recordBlocks[index];
  }

 private:
  // Fills historyText, preamble and recordBlocks from clientOutput.
  void SplitRecords();

  // Parses the block at `index` into the four results and cleans the
  // comment. Returns false, with the results empty, when the block fits no
  // template; returns false and leaves the results untouched when `index`
  // is past the last block.
  bool ParseRecord(uint32_t index, I18NString& version, I18NString& user,
                   I18NString& dateTime, I18NString& comment);

  // Scans a block whose action line is followed by a "Comment:" line. A
  // "Comment:" with nothing but white space after it (or a backspace) gives
  // an empty comment.
  bool ScanCreatedRecord(I18NString& block, I18NString& version,
                         I18NString& user, I18NString& dateTime,
                         I18NString& comment);

  // Scans a block whose action line starts "Checked in", followed by a
  // "Comment:" line; the comment as for ScanCreatedRecord.
  bool ScanCheckedInRecord(I18NString& block, I18NString& version,
                           I18NString& user, I18NString& dateTime,
                           I18NString& comment);

  // Scans a block without a "Comment:" line; the comment is the first line
  // after the header that is not blank, from its first character that is
  // not white space.
  bool ScanFirstLineRecord(I18NString& block, I18NString& version,
                           I18NString& user, I18NString& dateTime,
                           I18NString& comment);

  // Runs `scanTemplate` over `block` and, when it parsed, assigns the four
  // results. `emptyCommentAllowed` makes a scan that stopped only at the
  // comment conversion a success, with an empty comment.
  bool ScanRecord(const I18NString& block, const char16_t* scanTemplate,
                  bool emptyCommentAllowed, I18NString& version,
                  I18NString& user, I18NString& dateTime, I18NString& comment);

  // Removes the line feeds at positions 0, 79, 159, 239, ... of `comment`:
  // the client's wrapping at 80 columns. Returns how many it removed.
  int UnwrapComment(I18NString& comment);

  // The three templates, in the order ParseRecord tries their conditions.
  enum RecordTemplate { kCreatedRecord, kCheckedInRecord, kFirstLineRecord };

  // How the last block was scanned: which template, where the scan ended,
  // whether "Comment:" had nothing after it, and how many wrapping line
  // feeds left the comment.
  struct RecordScan {
    RecordTemplate scanTemplate = kFirstLineRecord;
    I18NScanOutcome outcome = {};
    bool emptyComment = false;
    int unwrappedLineFeeds = 0;
  };

  // Where a record block stands in the client output: the line of its
  // record marker, and whether an empty line (or nothing) stands before the
  // marker, as before every record the client prints.
  struct BlockPlace {
    int line;
    bool afterEmptyLine;
  };

  // Notes where the block whose marker stands at `marker` (a position in
  // the client output) is, counting lines with `lines`.
  void NoteBlockPlace(int marker, OrvLineCounter& lines);

  // What the explanation says: the text before the first record marker, or
  // that there is none; how the block at `index` was read, or why it gave
  // no entry; the label records and item records (History -R) inside
  // `text`, whose first line is `firstLine`, and their `fate`; and how many
  // entries the blocks gave.
  void ExplainPreamble() const;
  void ExplainRecord(std::size_t index, bool parsed, const I18NString& version,
                     const I18NString& user, const I18NString& dateTime,
                     const I18NString& comment) const;
  void ExplainNoEntry(std::size_t index, const OrvPlace& line) const;
  void ExplainRecordsInside(const I18NString& text, int firstLine,
                            const char* fate) const;
  void ExplainSummary(std::size_t entries) const;

  // True when every block's place was noted: noting one can fail for lack
  // of memory, and then no block is explained by its place.
  bool BlockPlacesKnown() const {
    return blockPlaces_.size() == recordBlocks.size();
  }

  I18NString historyText;
  I18NString preamble;
  std::vector<I18NString> recordBlocks;
  RecordScan lastScan_;
  // One per record block, filled only when the query explains itself.
  std::vector<BlockPlace> blockPlaces_;
  // The words that tell the templates apart and the blank between date and
  // time, decoded once rather than for every record.
  const I18NString createdWord;
  const I18NString commentWord;
  const I18NString checkedInWord;
  const I18NString dateTimeSeparator;
};

#endif  // PARSERS_ORVSSHISTORY_H_
