#include "WindowsCodePages.h"

#include <cstring>
#include <string>

namespace {

struct NamedEncoding {
  const char* name;
  WindowsEncoding encoding;
};

const WindowsByteRange kWhole = WindowsByteRange::kWhole;
const WindowsByteRange kEucCn = WindowsByteRange::kEucCn;
const WindowsByteRange kEucKr = WindowsByteRange::kEucKr;

// The first row of a code page holds the name WindowsCodePageName gives it.
const NamedEncoding kEncodings[] = {
    {"UTF-8", {65001, kWhole}},
    {"UTF8", {65001, kWhole}},
    {"ISO-10646/UTF8/", {65001, kWhole}},
    {"ISO-10646/UTF-8/", {65001, kWhole}},
    {"windows-1250", {1250, kWhole}},
    {"CP1250", {1250, kWhole}},
    {"MS-EE", {1250, kWhole}},
    {"windows-1251", {1251, kWhole}},
    {"CP1251", {1251, kWhole}},
    {"MS-CYRL", {1251, kWhole}},
    {"windows-1252", {1252, kWhole}},
    {"CP1252", {1252, kWhole}},
    {"MS-ANSI", {1252, kWhole}},
    {"windows-1253", {1253, kWhole}},
    {"CP1253", {1253, kWhole}},
    {"MS-GREEK", {1253, kWhole}},
    {"windows-1254", {1254, kWhole}},
    {"CP1254", {1254, kWhole}},
    {"MS-TURK", {1254, kWhole}},
    {"windows-1255", {1255, kWhole}},
    {"CP1255", {1255, kWhole}},
    {"MS-HEBR", {1255, kWhole}},
    {"windows-1256", {1256, kWhole}},
    {"CP1256", {1256, kWhole}},
    {"MS-ARAB", {1256, kWhole}},
    {"windows-1257", {1257, kWhole}},
    {"CP1257", {1257, kWhole}},
    {"WINBALTRIM", {1257, kWhole}},
    {"windows-1258", {1258, kWhole}},
    {"CP1258", {1258, kWhole}},
    {"IBM437", {437, kWhole}},
    {"CP437", {437, kWhole}},
    {"437", {437, kWhole}},
    {"CSPC8CODEPAGE437", {437, kWhole}},
    {"OSF100201B5", {437, kWhole}},
    {"IBM850", {850, kWhole}},
    {"CP850", {850, kWhole}},
    {"850", {850, kWhole}},
    {"CSPC850MULTILINGUAL", {850, kWhole}},
    {"OSF10020352", {850, kWhole}},
    {"IBM852", {852, kWhole}},
    {"CP852", {852, kWhole}},
    {"852", {852, kWhole}},
    {"CSPCP852", {852, kWhole}},
    {"OSF10020354", {852, kWhole}},
    {"IBM866", {866, kWhole}},
    {"CP866", {866, kWhole}},
    {"866", {866, kWhole}},
    {"CSIBM866", {866, kWhole}},
    {"ISO-8859-1", {28591, kWhole}},
    {"ISO_8859-1", {28591, kWhole}},
    {"ISO_8859-1:1987", {28591, kWhole}},
    {"ISO8859-1", {28591, kWhole}},
    {"ISO88591", {28591, kWhole}},
    {"ISO-IR-100", {28591, kWhole}},
    {"LATIN1", {28591, kWhole}},
    {"L1", {28591, kWhole}},
    {"IBM819", {28591, kWhole}},
    {"CP819", {28591, kWhole}},
    {"CSISOLATIN1", {28591, kWhole}},
    {"8859_1", {28591, kWhole}},
    {"OSF00010001", {28591, kWhole}},
    {"ISO-8859-2", {28592, kWhole}},
    {"ISO_8859-2", {28592, kWhole}},
    {"ISO_8859-2:1987", {28592, kWhole}},
    {"ISO8859-2", {28592, kWhole}},
    {"ISO88592", {28592, kWhole}},
    {"ISO-IR-101", {28592, kWhole}},
    {"LATIN2", {28592, kWhole}},
    {"L2", {28592, kWhole}},
    {"CSISOLATIN2", {28592, kWhole}},
    {"8859_2", {28592, kWhole}},
    {"OSF00010002", {28592, kWhole}},
    {"IBM912", {28592, kWhole}},
    {"CP912", {28592, kWhole}},
    {"ISO-8859-3", {28593, kWhole}},
    {"ISO_8859-3", {28593, kWhole}},
    {"ISO_8859-3:1988", {28593, kWhole}},
    {"ISO8859-3", {28593, kWhole}},
    {"ISO88593", {28593, kWhole}},
    {"ISO-IR-109", {28593, kWhole}},
    {"LATIN3", {28593, kWhole}},
    {"L3", {28593, kWhole}},
    {"CSISOLATIN3", {28593, kWhole}},
    {"8859_3", {28593, kWhole}},
    {"OSF00010003", {28593, kWhole}},
    {"ISO-8859-4", {28594, kWhole}},
    {"ISO_8859-4", {28594, kWhole}},
    {"ISO_8859-4:1988", {28594, kWhole}},
    {"ISO8859-4", {28594, kWhole}},
    {"ISO88594", {28594, kWhole}},
    {"ISO-IR-110", {28594, kWhole}},
    {"LATIN4", {28594, kWhole}},
    {"L4", {28594, kWhole}},
    {"CSISOLATIN4", {28594, kWhole}},
    {"8859_4", {28594, kWhole}},
    {"OSF00010004", {28594, kWhole}},
    {"ISO-8859-5", {28595, kWhole}},
    {"ISO_8859-5", {28595, kWhole}},
    {"ISO_8859-5:1988", {28595, kWhole}},
    {"ISO8859-5", {28595, kWhole}},
    {"ISO88595", {28595, kWhole}},
    {"ISO-IR-144", {28595, kWhole}},
    {"CYRILLIC", {28595, kWhole}},
    {"CSISOLATINCYRILLIC", {28595, kWhole}},
    {"8859_5", {28595, kWhole}},
    {"OSF00010005", {28595, kWhole}},
    {"IBM915", {28595, kWhole}},
    {"CP915", {28595, kWhole}},
    {"ISO-8859-6", {28596, kWhole}},
    {"ISO_8859-6", {28596, kWhole}},
    {"ISO_8859-6:1987", {28596, kWhole}},
    {"ISO8859-6", {28596, kWhole}},
    {"ISO88596", {28596, kWhole}},
    {"ISO-IR-127", {28596, kWhole}},
    {"ECMA-114", {28596, kWhole}},
    {"ASMO-708", {28596, kWhole}},
    {"ARABIC", {28596, kWhole}},
    {"CSISOLATINARABIC", {28596, kWhole}},
    {"8859_6", {28596, kWhole}},
    {"OSF00010006", {28596, kWhole}},
    {"IBM1089", {28596, kWhole}},
    {"CP1089", {28596, kWhole}},
    {"ISO-8859-7", {28597, kWhole}},
    {"ISO_8859-7", {28597, kWhole}},
    {"ISO_8859-7:1987", {28597, kWhole}},
    {"ISO_8859-7:2003", {28597, kWhole}},
    {"ISO8859-7", {28597, kWhole}},
    {"ISO88597", {28597, kWhole}},
    {"ISO-IR-126", {28597, kWhole}},
    {"ELOT_928", {28597, kWhole}},
    {"ECMA-118", {28597, kWhole}},
    {"GREEK", {28597, kWhole}},
    {"GREEK8", {28597, kWhole}},
    {"CSISOLATINGREEK", {28597, kWhole}},
    {"8859_7", {28597, kWhole}},
    {"OSF00010007", {28597, kWhole}},
    {"IBM813", {28597, kWhole}},
    {"CP813", {28597, kWhole}},
    {"ISO-8859-8", {28598, kWhole}},
    {"ISO_8859-8", {28598, kWhole}},
    {"ISO_8859-8:1988", {28598, kWhole}},
    {"ISO8859-8", {28598, kWhole}},
    {"ISO88598", {28598, kWhole}},
    {"ISO-IR-138", {28598, kWhole}},
    {"HEBREW", {28598, kWhole}},
    {"CSISOLATINHEBREW", {28598, kWhole}},
    {"8859_8", {28598, kWhole}},
    {"OSF00010008", {28598, kWhole}},
    {"IBM916", {28598, kWhole}},
    {"CP916", {28598, kWhole}},
    {"ISO-8859-9", {28599, kWhole}},
    {"ISO_8859-9", {28599, kWhole}},
    {"ISO_8859-9:1989", {28599, kWhole}},
    {"ISO8859-9", {28599, kWhole}},
    {"ISO88599", {28599, kWhole}},
    {"ISO-IR-148", {28599, kWhole}},
    {"LATIN5", {28599, kWhole}},
    {"L5", {28599, kWhole}},
    {"CSISOLATIN5", {28599, kWhole}},
    {"8859_9", {28599, kWhole}},
    {"OSF00010009", {28599, kWhole}},
    {"IBM920", {28599, kWhole}},
    {"CP920", {28599, kWhole}},
    {"TS-5881", {28599, kWhole}},
    {"ECMA-128", {28599, kWhole}},
    {"ISO-8859-13", {28603, kWhole}},
    {"ISO8859-13", {28603, kWhole}},
    {"ISO885913", {28603, kWhole}},
    {"ISO-IR-179", {28603, kWhole}},
    {"LATIN7", {28603, kWhole}},
    {"L7", {28603, kWhole}},
    {"BALTIC", {28603, kWhole}},
    {"ISO-8859-15", {28605, kWhole}},
    {"ISO_8859-15", {28605, kWhole}},
    {"ISO_8859-15:1998", {28605, kWhole}},
    {"ISO8859-15", {28605, kWhole}},
    {"ISO885915", {28605, kWhole}},
    {"ISO-IR-203", {28605, kWhole}},
    {"LATIN-9", {28605, kWhole}},
    {"LATIN9", {28605, kWhole}},
    {"KOI8-R", {20866, kWhole}},
    {"KOI8R", {20866, kWhole}},
    {"CSKOI8R", {20866, kWhole}},
    {"Shift_JIS", {932, kWhole}},
    {"SHIFT-JIS", {932, kWhole}},
    {"SJIS", {932, kWhole}},
    {"MS_KANJI", {932, kWhole}},
    {"CSSHIFTJIS", {932, kWhole}},
    {"CP932", {932, kWhole}},
    {"WINDOWS-31J", {932, kWhole}},
    {"MS932", {932, kWhole}},
    {"GBK", {936, kWhole}},
    {"CP936", {936, kWhole}},
    {"MS936", {936, kWhole}},
    {"WINDOWS-936", {936, kWhole}},
    {"GB13000", {936, kWhole}},
    // GB2312 and EUC-KR are the EUC forms of the character sets that code
    // pages 936 and 949 extend; Windows' own code pages for the EUC forms
    // are missing from many installations.
    {"GB2312", {936, kEucCn}},
    {"EUC-CN", {936, kEucCn}},
    {"EUCCN", {936, kEucCn}},
    {"CSGB2312", {936, kEucCn}},
    {"CN-GB", {936, kEucCn}},
    {"Big5", {950, kWhole}},
    {"BIG-5", {950, kWhole}},
    {"BIG-FIVE", {950, kWhole}},
    {"BIGFIVE", {950, kWhole}},
    {"CN-BIG5", {950, kWhole}},
    {"CP950", {950, kWhole}},
    {"EUC-KR", {949, kEucKr}},
    {"EUCKR", {949, kEucKr}},
    {"CSEUCKR", {949, kEucKr}},
    {"OSF0004000A", {949, kEucKr}},
    {"CP949", {949, kWhole}},
    {"UHC", {949, kWhole}},
    {"MSCP949", {949, kWhole}},
};

bool SameLetters(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    char x = *a >= 'a' && *a <= 'z' ? static_cast<char>(*a - 'a' + 'A') : *a;
    char y = *b >= 'a' && *b <= 'z' ? static_cast<char>(*b - 'a' + 'A') : *b;
    if (x != y) return false;
  }
  return *a == *b;
}

// The code page of a name "CP" + decimal digits (no sign, no blank), or 0.
unsigned NumberedCodePage(const char* name) {
  if (!SameLetters(std::string(name).substr(0, 2).c_str(), "CP")) return 0;
  const char* digits = name + 2;
  if (*digits == '\0' || std::strlen(digits) > 5) return 0;
  unsigned number = 0;
  for (const char* c = digits; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return 0;
    number = number * 10 + static_cast<unsigned>(*c - '0');
  }
  return number;
}

}  // namespace

bool WindowsFindEncoding(const char* name, WindowsEncoding& encoding) {
  for (const NamedEncoding& row : kEncodings) {
    if (SameLetters(row.name, name)) {
      encoding = row.encoding;
      return true;
    }
  }
  const unsigned codePage = NumberedCodePage(name);
  if (codePage == 0) return false;
  encoding = {codePage, kWhole};
  return true;
}

std::string WindowsCodePageName(unsigned codePage) {
  for (const NamedEncoding& row : kEncodings) {
    if (row.encoding.codePage == codePage && row.encoding.range == kWhole)
      return row.name;
  }
  return "CP" + std::to_string(codePage);
}
