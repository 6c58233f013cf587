#include "OrvXmlEscape.h"

#include <string>

#include "OrvXmlReferences.h"

namespace {

// Storage for `count` units of the builder, of the width of `Unit`.
unsigned char* ReserveUnits(I18NStringBuilder& builder, std::size_t count,
                            const unsigned char*) {
  return builder.ReserveNarrow(count);
}
char16_t* ReserveUnits(I18NStringBuilder& builder, std::size_t count,
                       const char16_t*) {
  return builder.Reserve(count);
}

// Replaces each of & < > " ' in `text`, whose units are [begin, end), by its
// reference. Text without them (the common case) is left as it is.
template <typename Unit>
void EscapeUnits(I18NString& text, const Unit* begin, const Unit* end) {
  std::size_t escapedLength = static_cast<std::size_t>(end - begin);
  for (const Unit* at = begin; at != end; ++at) {
    if (const char16_t* reference = OrvXmlReferenceFor(*at))
      escapedLength += std::char_traits<char16_t>::length(reference) - 1;
  }
  if (escapedLength == static_cast<std::size_t>(end - begin)) return;
  I18NStringBuilder builder;
  Unit* out = ReserveUnits(builder, escapedLength, begin);
  for (const Unit* at = begin; at != end; ++at) {
    const char16_t* reference = OrvXmlReferenceFor(*at);
    if (reference == nullptr) {
      *out++ = *at;
      continue;
    }
    for (; *reference != 0; ++reference) *out++ = static_cast<Unit>(*reference);
  }
  text = builder.Take(escapedLength);
}

}  // namespace

void OrvXmlEscape(I18NString& text) {
  const std::size_t length = static_cast<std::size_t>(text.size());
  if (text.isNarrow()) {
    const unsigned char* units = text.narrowData();
    EscapeUnits(text, units, units + length);
  } else {
    const char16_t* units = text.data();
    EscapeUnits(text, units, units + length);
  }
}
