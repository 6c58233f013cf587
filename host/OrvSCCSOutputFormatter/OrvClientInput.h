#ifndef ORVSCCSOUTPUTFORMATTER_ORVCLIENTINPUT_H_
#define ORVSCCSOUTPUTFORMATTER_ORVCLIENTINPUT_H_

#include <cstddef>
#include <string>

#include "I18NString.h"

// The largest client output the handler takes: positions in the text are
// 32-bit, and no real listing comes near it.
constexpr std::size_t kOrvMaxClientOutputBytes = std::size_t{1} << 30;

// What reading a client output found, for the explanation of a run.
struct OrvClientInputFacts {
  // The bytes read.
  std::size_t bytes = 0;
  // The byte sequences that were invalid in the encoding, each now U+FFFD.
  std::size_t invalidSequences = 0;
  // True when a leading byte-order mark was dropped.
  bool byteOrderMark = false;
};

// Reads every byte of the client output from the file at `path`, or from
// standard input when `path` is "-", and decodes it as
// OrvDecodeClientOutput does (the bytes are decoded where they were read,
// without a second copy when the text fits one byte per unit). When `facts`
// is not null, fills it in. Throws WexException for an unknown default
// encoding, and OrvException ORV_MSG_INPUT_UNREADABLE (the detail names the
// file and the system's reason) when it cannot be opened or read or is a
// directory, and ORV_MSG_INPUT_TOO_LARGE when it holds more than
// kOrvMaxClientOutputBytes.
I18NString OrvReadClientOutput(const std::string& path,
                               OrvClientInputFacts* facts = nullptr);

// Decodes `bytes` from the platform default encoding (an invalid sequence
// becomes U+FFFD), drops a leading byte-order mark and makes every CR LF
// pair a single LF; a CR on its own stays.
I18NString OrvDecodeClientOutput(const std::string& bytes);

#endif  // ORVSCCSOUTPUTFORMATTER_ORVCLIENTINPUT_H_
