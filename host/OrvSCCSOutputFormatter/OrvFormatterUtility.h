#ifndef ORVSCCSOUTPUTFORMATTER_ORVFORMATTERUTILITY_H_
#define ORVSCCSOUTPUTFORMATTER_ORVFORMATTERUTILITY_H_

#include <cstddef>
#include <cstdint>

#include "I18NString.h"

// Static services of the formatter library.
class OrvFormatterUtility {
 public:
  // The exception document for a failure whose report cannot be built (no
  // memory), as zero-terminated UTF-8 bytes: printing it needs no memory.
  static const char kFixedFailureDocument[];

  // Replaces, in one pass from left to right, & by &amp;, < by &lt;, > by
  // &gt;, " by &quot; and ' by &apos;; changes nothing else.
  static void EscapeDOMChars(I18NString& text);

  // The exception document for the exception being handled: called inside a
  // catch handler, it reports that exception's message code and text; outside
  // one, or for an exception the host does not know, a generic failure.
  // Never throws: when even that document cannot be built, a fixed one is
  // returned.
  static I18NString GetExceptionThrownDoc();

  // Writes `document` to standard output as UTF-8 and flushes it. Returns 0
  // when every byte was written, else the system's code of the failure
  // (PortErrorText() puts it into words).
  static uint32_t WriteToStdOut(const I18NString& document);

  // The bytes that WriteToStdOut has handed to standard output in this
  // process so far, those of a write that then failed included: the driver
  // learns from it whether part of an answer is already out.
  static std::size_t BytesWrittenToStdOut();

  // Writes `document` to descriptor `fd` as UTF-8 (an unpaired surrogate as
  // U+FFFD), encoding a block of 64 KiB at a time. Returns 0 when every byte
  // was written, else the system's code of the failure; a reader that went
  // away gives EPIPE, never SIGPIPE.
  static uint32_t WriteToDescriptor(int fd, const I18NString& document);

 private:
  // WriteToDescriptor that adds the bytes that went out to `written`.
  static uint32_t WriteToDescriptor(int fd, const I18NString& document,
                                    std::size_t& written);
};

#endif  // ORVSCCSOUTPUTFORMATTER_ORVFORMATTERUTILITY_H_
