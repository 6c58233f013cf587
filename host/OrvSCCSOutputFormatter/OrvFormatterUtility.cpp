#include "OrvFormatterUtility.h"

#include <errno.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <xercesc/dom/DOMException.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/XMLException.hpp>

#include "OrvFormatterErrors.h"
#include "OrvMessage.h"
#include "OrvXmlWriter.h"
#include "WexException.h"

namespace {

// Returned when not even the exception document can be built (no memory):
// the host still reads a well-formed report of the failure.
const char16_t kFixedFailureDocument[] =
    u"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
    u"<error>The handler failed, and the report of the failure could not be "
    u"built.</error>\n";

const char16_t kUnknownFailure[] = u"The handler failed for an unknown reason.";
const char16_t kOutOfMemory[] = u"Out of memory.";

// What the exception document says about one failure.
struct FailureReport {
  bool hasCode = false;
  unsigned long code = 0;
  I18NString text;
};

I18NString FromXerces(const XMLCh* message) {
  if (message == nullptr || *message == 0) return I18NString();
  return I18NString(std::u16string(message));
}

FailureReport ReportOfWexException(const WexException& exception) {
  FailureReport report;
  report.hasCode = exception.hasCode();
  report.code = static_cast<unsigned long>(exception.getCode()) & 0xFFFFFFFFUL;
  report.text = exception.getText();
  // An exception raised without a message still has a code that the host's
  // message texts can name.
  if (report.text.empty() && report.hasCode) {
    report.text = OrvMessage(report.code).getText();
  }
  return report;
}

// Learns what the exception being handled is by throwing it once more.
FailureReport ReportOfCurrentException() {
  FailureReport report;
  std::exception_ptr current = std::current_exception();
  if (!current) return report;
  try {
    std::rethrow_exception(current);
  } catch (const WexException& exception) {
    report = ReportOfWexException(exception);
  } catch (const std::bad_alloc&) {
    report.text = I18NString(std::u16string(kOutOfMemory));
  } catch (const std::exception& exception) {
    report.text = OrvFromUtf8(exception.what());
  } catch (const xercesc::OutOfMemoryException&) {
    report.text = I18NString(std::u16string(kOutOfMemory));
  } catch (const xercesc::XMLException& exception) {
    report.text = FromXerces(exception.getMessage());
  } catch (const xercesc::DOMException& exception) {
    report.text = FromXerces(exception.getMessage());
  } catch (...) {
    // A type the host does not know: the generic text below says so.
  }
  return report;
}

I18NString BuildExceptionDocument(const FailureReport& report) {
  OrvXmlWriter writer;
  writer.OpenElement(u"error");
  if (report.hasCode) {
    char code[16];
    std::snprintf(code, sizeof(code), "0x%08lX", report.code);
    writer.AddAttribute(u"code", OrvFromUtf8(code));
  }
  writer.AddText(report.text.empty()
                     ? I18NString(std::u16string(kUnknownFailure))
                     : report.text);
  return writer.Finish();
}

// Ignores SIGPIPE while it lives: a reader that went away must give the
// writer an error to report, not end the process. A SIGPIPE raised while
// ignored is discarded, so restoring the old action cannot deliver it late.
class SigpipeIgnored {
 public:
  SigpipeIgnored() {
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    restore_ = sigaction(SIGPIPE, &ignore, &previous_) == 0;
  }
  ~SigpipeIgnored() {
    if (restore_) sigaction(SIGPIPE, &previous_, nullptr);
  }
  SigpipeIgnored(const SigpipeIgnored&) = delete;
  SigpipeIgnored& operator=(const SigpipeIgnored&) = delete;

 private:
  struct sigaction previous_ = {};
  bool restore_ = false;
};

// Writes every byte of `bytes` to `fd`; 0, or the errno of the failure.
uint32_t WriteAll(int fd, const std::string& bytes) {
  const char* next = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t written = write(fd, next, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return static_cast<uint32_t>(errno);
    }
    // A write that takes nothing would never finish.
    if (written == 0) return EIO;
    next += written;
    left -= static_cast<std::size_t>(written);
  }
  return 0;
}

}  // namespace

void OrvFormatterUtility::EscapeDOMChars(I18NString& text) {
  const std::u16string_view units(text.data(), text.size());
  std::u16string escaped;
  escaped.reserve(units.size());
  for (char16_t unit : units) {
    switch (unit) {
      case u'&':
        escaped += u"&amp;";
        break;
      case u'<':
        escaped += u"&lt;";
        break;
      case u'>':
        escaped += u"&gt;";
        break;
      case u'"':
        escaped += u"&quot;";
        break;
      case u'\'':
        escaped += u"&apos;";
        break;
      default:
        escaped += unit;
    }
  }
  text = I18NString(std::move(escaped));
}

I18NString OrvFormatterUtility::GetExceptionThrownDoc() {
  try {
    return BuildExceptionDocument(ReportOfCurrentException());
  } catch (...) {
    // Building needs memory; the fixed document needs the least.
  }
  try {
    return I18NString(std::u16string(kFixedFailureDocument));
  } catch (...) {
    return I18NString();
  }
}

uint32_t OrvFormatterUtility::WriteToStdOut(const I18NString& document) {
  try {
    std::string bytes = document.toUTF8();
    // Whatever the C library holds for standard output must come first.
    if (std::fflush(stdout) != 0) return static_cast<uint32_t>(errno);
    SigpipeIgnored sigpipeIgnored;
    return WriteAll(STDOUT_FILENO, bytes);
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  }
}
