#include "OrvFormatterErrors.h"

#include <cstdlib>

#include "OrvException.h"
#include "OrvMessage.h"

void OrvRaiseAt(unsigned long code, const I18NString& detail, const char* file,
                int line, const char* function) {
  OrvMessage message(code, detail);
  OrvException exception(static_cast<long>(code));
  const WexSourceLocation location = {file, line};
  (exception << message).raise(&location, function, "WEX_THROW");
  // raise() never returns; the compiler cannot see that through the virtual
  // call.
  std::abort();
}

I18NString OrvFromUtf8(const std::string& text) {
  return I18NString(text.data(), "UTF-8", static_cast<int>(text.size()),
                    nullptr, nullptr);
}
