#include "I18NCodePages.h"

#include <cstdint>
#include <memory>

#include "I18NString.h"
#include "WexException.h"

namespace {

const unsigned kUtf8 = 65001;

// A name of the list and the code page it names.
struct Name {
  const char* name;
  unsigned number;
};

// The names of each encoding stand together, the handler's own first. Each
// code page is known as "CP" and its number too, as Windows names it; CP0 to
// CP3 (the machine's current code pages) are not: an answer never depends
// on the machine it is given on.
const Name kNames[] = {
    {"UTF-8", kUtf8},
    {"UTF8", kUtf8},
    {"CP65001", kUtf8},
    {"windows-874", 874},
    {"CP874", 874},
    {"Shift_JIS", 932},
    {"SJIS", 932},
    {"CP932", 932},
    {"MS932", 932},
    {"windows-31J", 932},
    {"MS_Kanji", 932},
    {"GBK", 936},
    {"CP936", 936},
    {"MS936", 936},
    {"windows-936", 936},
    {"GB2312", 936},
    {"EUC-CN", 936},
    {"CP949", 949},
    {"UHC", 949},
    {"EUC-KR", 949},
    {"KS_C_5601-1987", 949},
    {"Big5", 950},
    {"BIG-5", 950},
    {"CP950", 950},
    {"MS950", 950},
    {"windows-1250", 1250},
    {"CP1250", 1250},
    {"windows-1251", 1251},
    {"CP1251", 1251},
    {"windows-1252", 1252},
    {"CP1252", 1252},
    {"windows-1253", 1253},
    {"CP1253", 1253},
    {"windows-1254", 1254},
    {"CP1254", 1254},
    {"windows-1255", 1255},
    {"CP1255", 1255},
    {"windows-1256", 1256},
    {"CP1256", 1256},
    {"windows-1257", 1257},
    {"CP1257", 1257},
    {"windows-1258", 1258},
    {"CP1258", 1258},
    {"IBM437", 437},
    {"CP437", 437},
    {"IBM850", 850},
    {"CP850", 850},
    {"IBM852", 852},
    {"CP852", 852},
    {"IBM855", 855},
    {"CP855", 855},
    {"IBM857", 857},
    {"CP857", 857},
    {"IBM858", 858},
    {"IBM00858", 858},
    {"CP858", 858},
    {"IBM860", 860},
    {"CP860", 860},
    {"IBM861", 861},
    {"CP861", 861},
    {"IBM862", 862},
    {"CP862", 862},
    {"IBM863", 863},
    {"CP863", 863},
    {"IBM864", 864},
    {"CP864", 864},
    {"IBM865", 865},
    {"CP865", 865},
    {"IBM866", 866},
    {"CP866", 866},
    {"IBM869", 869},
    {"CP869", 869},
    {"ISO-8859-1", 28591},
    {"ISO8859-1", 28591},
    {"ISO_8859-1", 28591},
    {"latin1", 28591},
    {"L1", 28591},
    {"CP28591", 28591},
    {"ISO-8859-2", 28592},
    {"ISO8859-2", 28592},
    {"ISO_8859-2", 28592},
    {"latin2", 28592},
    {"L2", 28592},
    {"CP28592", 28592},
    {"ISO-8859-3", 28593},
    {"ISO8859-3", 28593},
    {"ISO_8859-3", 28593},
    {"latin3", 28593},
    {"L3", 28593},
    {"CP28593", 28593},
    {"ISO-8859-4", 28594},
    {"ISO8859-4", 28594},
    {"ISO_8859-4", 28594},
    {"latin4", 28594},
    {"L4", 28594},
    {"CP28594", 28594},
    {"ISO-8859-5", 28595},
    {"ISO8859-5", 28595},
    {"ISO_8859-5", 28595},
    {"cyrillic", 28595},
    {"CP28595", 28595},
    {"ISO-8859-6", 28596},
    {"ISO8859-6", 28596},
    {"ISO_8859-6", 28596},
    {"arabic", 28596},
    {"CP28596", 28596},
    {"ISO-8859-7", 28597},
    {"ISO8859-7", 28597},
    {"ISO_8859-7", 28597},
    {"greek", 28597},
    {"CP28597", 28597},
    {"ISO-8859-8", 28598},
    {"ISO8859-8", 28598},
    {"ISO_8859-8", 28598},
    {"hebrew", 28598},
    {"CP28598", 28598},
    {"ISO-8859-9", 28599},
    {"ISO8859-9", 28599},
    {"ISO_8859-9", 28599},
    {"latin5", 28599},
    {"L5", 28599},
    {"CP28599", 28599},
    {"ISO-8859-13", 28603},
    {"ISO8859-13", 28603},
    {"ISO_8859-13", 28603},
    {"latin7", 28603},
    {"L7", 28603},
    {"CP28603", 28603},
    {"ISO-8859-15", 28605},
    {"ISO8859-15", 28605},
    {"ISO_8859-15", 28605},
    {"latin9", 28605},
    {"CP28605", 28605},
    {"KOI8-R", 20866},
    {"CP20866", 20866},
    {"KOI8-U", 21866},
    {"CP21866", 21866},
    // The C library names the C locale's codeset ANSI_X3.4-1968.
    {"US-ASCII", 20127},
    {"ASCII", 20127},
    {"ANSI_X3.4-1968", 20127},
    {"CP20127", 20127},
};

const I18NCodePageTable* TableOf(unsigned number) {
  for (std::size_t i = 0; i < kI18NCodePageTableCount; ++i) {
    if (kI18NCodePageTables[i].number == number) return &kI18NCodePageTables[i];
  }
  return nullptr;
}

// The encodings in the order of kNames, built on first use.
const std::vector<I18NCodePage>& Encodings() {
  static const std::vector<I18NCodePage> encodings = [] {
    std::vector<I18NCodePage> list;
    for (const Name& row : kNames) {
      if (!list.empty() && list.back().number == row.number) continue;
      list.push_back({row.name, row.number, TableOf(row.number)});
    }
    return list;
  }();
  return encodings;
}

char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameInAnyCase(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (UpperAscii(*a) != UpperAscii(*b)) return false;
  }
  return *a == *b;
}

// For each unit, the byte (0x80..0xFF) or pair (lead << 8 | trail) that
// decodes to it, 0 for none; ASCII is left out, being itself everywhere.
using ReverseTable = std::vector<std::uint16_t>;

std::unique_ptr<ReverseTable> BuildReverse(const I18NCodePageTable& table) {
  auto reverse = std::make_unique<ReverseTable>(0x10000, 0);
  const char16_t kInvalid = 0xFFFD;
  // Pairs first, so that a unit that a single byte decodes to as well is
  // written as that byte: the shorter form, which Windows writes too.
  if (table.leadRows != nullptr) {
    for (unsigned lead = 0x80; lead < 0x100; ++lead) {
      const unsigned row = table.leadRows[lead];
      if (row == 0) continue;
      for (std::size_t trail = 0; trail < kI18NTrailCount; ++trail) {
        const char16_t unit = table.pairs[row - 1][trail];
        if (unit != kInvalid && (*reverse)[unit] == 0)
          (*reverse)[unit] =
              static_cast<std::uint16_t>(lead << 8 | (kI18NFirstTrail + trail));
      }
    }
  }
  for (unsigned byte = 0x80; byte < 0x100; ++byte) {
    const char16_t unit = table.singles[byte];
    if (unit != kInvalid) (*reverse)[unit] = static_cast<std::uint16_t>(byte);
  }
  return reverse;
}

// The reverse table of `table`, built when first asked for: only the
// checked-out query encodes, and only in one encoding.
const ReverseTable& ReverseOf(const I18NCodePageTable& table) {
  static std::vector<std::unique_ptr<ReverseTable>> reverses(
      kI18NCodePageTableCount);
  std::unique_ptr<ReverseTable>& reverse =
      reverses[static_cast<std::size_t>(&table - kI18NCodePageTables)];
  if (reverse == nullptr) reverse = BuildReverse(table);
  return *reverse;
}

bool EncodeUtf8(char32_t character, std::string& bytes) {
  if (character >= 0xD800 && character <= 0xDFFF) return false;
  if (character < 0x80) {
    bytes.push_back(static_cast<char>(character));
  } else if (character < 0x800) {
    bytes.push_back(static_cast<char>(0xC0 | (character >> 6)));
    bytes.push_back(static_cast<char>(0x80 | (character & 0x3F)));
  } else if (character < 0x10000) {
    bytes.push_back(static_cast<char>(0xE0 | (character >> 12)));
    bytes.push_back(static_cast<char>(0x80 | ((character >> 6) & 0x3F)));
    bytes.push_back(static_cast<char>(0x80 | (character & 0x3F)));
  } else {
    bytes.push_back(static_cast<char>(0xF0 | (character >> 18)));
    bytes.push_back(static_cast<char>(0x80 | ((character >> 12) & 0x3F)));
    bytes.push_back(static_cast<char>(0x80 | ((character >> 6) & 0x3F)));
    bytes.push_back(static_cast<char>(0x80 | (character & 0x3F)));
  }
  return true;
}

}  // namespace

const I18NCodePage* I18NFindCodePage(const char* name) {
  for (const Name& row : kNames) {
    if (SameInAnyCase(row.name, name))
      return I18NFindCodePageNumber(row.number);
  }
  return nullptr;
}

const I18NCodePage* I18NFindCodePageNumber(unsigned number) {
  for (const I18NCodePage& encoding : Encodings()) {
    if (encoding.number == number) return &encoding;
  }
  return nullptr;
}

std::vector<I18NCodePageNames> I18NListCodePages() {
  std::vector<I18NCodePageNames> list;
  for (const Name& row : kNames) {
    if (list.empty() || list.back().encoding->number != row.number)
      list.push_back({I18NFindCodePageNumber(row.number), {}});
    list.back().names.push_back(row.name);
  }
  return list;
}

bool I18NEncodeCharacter(const I18NCodePage& encoding, char32_t character,
                         std::string& bytes) {
  if (encoding.table == nullptr) return EncodeUtf8(character, bytes);
  if (character < 0x80) {
    bytes.push_back(static_cast<char>(character));
    return true;
  }
  if (character > 0xFFFF) return false;
  const std::uint16_t coded = ReverseOf(*encoding.table)[character];
  if (coded == 0) return false;
  if (coded > 0xFF) bytes.push_back(static_cast<char>(coded >> 8));
  bytes.push_back(static_cast<char>(coded & 0xFF));
  return true;
}

void I18NRaiseUnknownEncoding(const char* encoding, const char* function) {
  std::u16string text = u"The encoding \"";
  for (const char* c = encoding; *c != '\0'; ++c) {
    // The name is shown as it was given; a byte that is no ASCII character
    // cannot be decoded without a known encoding, so it is shown as U+FFFD.
    const unsigned char byte = static_cast<unsigned char>(*c);
    text.push_back(byte < 0x80 ? byte : u'\uFFFD');
  }
  text += u"\" is not one that the handler knows.";
  WEX_RAISE(WexException(), I18NString(std::move(text)), function);
}
