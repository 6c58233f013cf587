#ifndef ORVSCCSOUTPUTFORMATTER_ORVSTDOUT_H_
#define ORVSCCSOUTPUTFORMATTER_ORVSTDOUT_H_

#include <cstddef>
#include <cstdint>

#include "I18NString.h"

// Writes `document` to standard output as UTF-8 and flushes it. Returns 0
// when every byte was written, else the system's code of the failure
// (PortErrorText() puts it into words).
uint32_t OrvWriteToStdOut(const I18NString& document);

// The bytes that OrvWriteToStdOut has handed to standard output in this
// process so far, those of a write that then failed included: the driver
// learns from it whether part of an answer is already out.
std::size_t OrvBytesWrittenToStdOut();

// Writes `document` to descriptor `fd` as UTF-8 (an unpaired surrogate as
// U+FFFD), encoding a block of 64 KiB at a time. Returns 0 when every byte
// was written, else the system's code of the failure; a reader that went
// away gives EPIPE, never SIGPIPE.
uint32_t OrvWriteToDescriptor(int fd, const I18NString& document);

#endif  // ORVSCCSOUTPUTFORMATTER_ORVSTDOUT_H_
