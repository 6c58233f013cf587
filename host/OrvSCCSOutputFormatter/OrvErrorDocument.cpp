#include "OrvErrorDocument.h"

#include <cstdio>
#include <exception>
#include <new>
#include <string>

#include "OrvFormatterErrors.h"
#include "OrvMessage.h"
#include "OrvXmlWriter.h"
#include "WexException.h"

namespace {

const char16_t kUnknownFailure[] = u"The handler failed for an unknown reason.";
const char16_t kOutOfMemory[] = u"Out of memory.";

// What the exception document says about one failure.
struct FailureReport {
  bool hasCode = false;
  unsigned long code = 0;
  I18NString text;
};

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

}  // namespace

const char kOrvFixedFailureDocument[] = ORV_XML_DECLARATION
    "<error>The handler failed, and the report of the failure could not be "
    "built.</error>\n";

const char kOrvPlatformFailureDocument[] = ORV_XML_DECLARATION
    "<error>The XML platform could not be initialised.</error>\n";

I18NString OrvErrorDocument() {
  try {
    return BuildExceptionDocument(ReportOfCurrentException());
  } catch (...) {
    // Building needs memory; the fixed document needs the least.
  }
  try {
    return OrvFromUtf8(kOrvFixedFailureDocument);
  } catch (...) {
    return I18NString();
  }
}
