#include "OrvFormatterErrors.h"

I18NString OrvFromUtf8(const std::string& text) {
  return I18NString(text.data(), "UTF-8", static_cast<int>(text.size()),
                    nullptr, nullptr);
}
