#ifndef ORVSCCSOUTPUTFORMATTER_ORVXMLREFERENCES_H_
#define ORVSCCSOUTPUTFORMATTER_ORVXMLREFERENCES_H_

// XML's five predefined entity references: the one table that escaping a
// comment and writing a document share.

#include <array>

// A character and the reference that stands for it.
struct OrvXmlReference {
  char16_t character;
  const char16_t* reference;
};

inline constexpr OrvXmlReference kOrvXmlReferences[] = {
    {u'&', u"&amp;"},  {u'<', u"&lt;"},    {u'>', u"&gt;"},
    {u'"', u"&quot;"}, {u'\'', u"&apos;"},
};

// The references by character, for lookups in loops over long texts.
inline constexpr std::array<const char16_t*, 0x80> kOrvXmlReferenceOf = [] {
  std::array<const char16_t*, 0x80> table{};
  for (const OrvXmlReference& entry : kOrvXmlReferences) {
    table[entry.character] = entry.reference;
  }
  return table;
}();

// The reference that stands for `unit`, or null when `unit` has none.
inline const char16_t* OrvXmlReferenceFor(char16_t unit) {
  return unit < kOrvXmlReferenceOf.size() ? kOrvXmlReferenceOf[unit] : nullptr;
}

#endif  // ORVSCCSOUTPUTFORMATTER_ORVXMLREFERENCES_H_
