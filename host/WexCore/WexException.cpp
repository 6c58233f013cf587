#include "WexException.h"

#include <cstdlib>

namespace {

// The file's name without its directory; points into `path`.
const char* BaseName(const char* path) {
  const char* base = path;
  for (const char* c = path; *c != '\0'; ++c) {
    if (*c == '/' || *c == '\\') base = c + 1;
  }
  return base;
}

}  // namespace

WexMessageBase::~WexMessageBase() = default;

WexException::WexException() : hasCode_(false), code_(0) {}

WexException::WexException(long code) : hasCode_(true), code_(code) {}

WexException::~WexException() = default;

WexException& WexException::operator<<(const WexMessageBase& message) {
  if (!hasCode_ && message.getCode() != 0) {
    hasCode_ = true;
    code_ = static_cast<long>(message.getCode());
  }
  text_ += message.getText();
  return *this;
}

WexException& WexException::operator<<(const I18NString& text) {
  text_ += text;
  return *this;
}

void WexException::raise(const WexSourceLocation* location,
                         const char* function, const char* macro) {
  recordSite(location, function, macro);
  throw *this;
}

void WexException::recordSite(const WexSourceLocation* location,
                              const char* function, const char* macro) {
  file_ = location != nullptr && location->file != nullptr
              ? BaseName(location->file)
              : "";
  line_ = location != nullptr ? location->line : 0;
  function_ = function != nullptr ? function : "";
  macro_ = macro != nullptr ? macro : "";
}

void WexRaise(WexException&& exception, const I18NString& text,
              const char* file, int line, const char* function) {
  const WexSourceLocation location = {file, line};
  (exception << text).raise(&location, function, "WEX_THROW");
  // raise() never returns; the compiler cannot see that through the virtual
  // call.
  std::abort();
}
