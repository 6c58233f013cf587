#ifndef WEXCORE_PORT_WINDOWSCODEPAGES_H_
#define WEXCORE_PORT_WINDOWSCODEPAGES_H_

// Encoding names, as the handler accepts them on Windows, and the Windows
// code pages that decode them. The names are those the GNU conversion
// library accepts for the same encodings, so that a host's --encoding works
// alike on both systems.

#include <string>

// How far the bytes of a double-byte code page are taken as the encoding.
// The EUC forms are decoded by a code page that is a superset of them:
// only pairs of bytes 0xA1..0xFE are taken as double-byte characters.
enum class WindowsByteRange {
  kWhole,  // every sequence the code page decodes
  kEucCn,  // EUC: no other byte above 0x7F stands for a character
  kEucKr,  // EUC: bytes 0x80..0x9F stand for the C1 controls alone
};

// An encoding as Windows converts it.
struct WindowsEncoding {
  unsigned codePage;
  WindowsByteRange range;
};

// The encoding that `name` names, compared without regard to case, or false
// when the table holds no such name. "CP" followed by a decimal number names
// that code page when the table does not: a system's ANSI code page is
// always known by the name WindowsCodePageName gives it.
// REQUIRES: `name` is not null.
bool WindowsFindEncoding(const char* name, WindowsEncoding& encoding);

// The name of `codePage` that WindowsFindEncoding knows: the table's first
// name for it ("windows-1252" for 1252), else "CP" and its number.
std::string WindowsCodePageName(unsigned codePage);

#endif  // WEXCORE_PORT_WINDOWSCODEPAGES_H_
