#ifndef ORVUTIL_ORVMESSAGE_H_
#define ORVUTIL_ORVMESSAGE_H_

#include "I18NString.h"
#include "WexException.h"

// Message codes whose texts this library holds.
enum OrvMessageCode : unsigned long {
  // The command line could not be understood; the detail says why.
  ORV_MSG_COMMAND_LINE_ERROR = 0x56170001UL,
  // The client output could not be read; the detail names the file and why.
  ORV_MSG_INPUT_UNREADABLE = 0x56170002UL,
  // The client output is larger than the handler can hold.
  ORV_MSG_INPUT_TOO_LARGE = 0x56170003UL,
  // The result document could not be written to standard output.
  ORV_MSG_OUTPUT_FAILED = 0x56170004UL,
  // The result document would be longer than a text can be.
  ORV_MSG_ANSWER_TOO_LARGE = 0x56170005UL,
  // The comparison's client output says neither "different" nor "same".
  ORV_MSG_DIFF_UNRECOGNISED = 0x56177B77UL,
};

// A message of the utility library: a code and its text. A message may carry
// a detail text, which is added after the code's text (for example the
// option that the command line got wrong).
class OrvMessage : public WexMessageBase {
 public:
  // The message for `code`; a code this library does not know gets a
  // generic text that names the code.
  explicit OrvMessage(unsigned long code);

  // The message for `code` followed by `detail`.
  OrvMessage(unsigned long code, const I18NString& detail);

  ~OrvMessage() override;

  unsigned long getCode() const override { return code_; }
  I18NString getText() const override;

 private:
  unsigned long code_;
  I18NString detail_;
};

#endif  // ORVUTIL_ORVMESSAGE_H_
