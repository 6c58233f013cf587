// The port on Windows: the C runtime's descriptors for the client output and
// the answer, the wide command line, and the system's code pages for the
// encodings.

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>

#include "PortConversion.h"
#include "PortSystem.h"
#include "WindowsCodePages.h"

// ---------------------------------------------------------------- system

namespace {

// The most that one call of the C runtime's _read and _write takes.
const std::size_t kLargestTransfer = std::size_t{1} << 30;

std::wstring WideFromUtf8(const char* text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], length);
  wide.resize(static_cast<std::size_t>(length - 1));
  return wide;
}

std::string Utf8FromWide(const wchar_t* text) {
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string bytes(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &bytes[0], length, nullptr,
                      nullptr);
  bytes.resize(static_cast<std::size_t>(length - 1));
  return bytes;
}

// A FILE that names a device: beyond the C runtime's errno values.
const PortError kIsADevice = 0x10000;

// `name` as the system opens it whatever its length: a path of MAX_PATH
// characters or more, made absolute, gets the extended-length prefix, which
// lifts the limit on every Windows version, long paths enabled or not.
// Shorter paths, and the names of devices, are left as they are.
std::wstring OpenableName(const std::wstring& name) {
  const DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (size <= MAX_PATH) return name;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(name.c_str(), size, &full[0], nullptr);
  if (length == 0 || length >= size) return name;
  full.resize(length);
  if (full.compare(0, 2, L"\\\\") != 0) return L"\\\\?\\" + full;
  // \\?\ and \\.\ names are the system's own already; \\server\share
  // is \\?\UNC\server\share.
  if (full.compare(0, 4, L"\\\\?\\") == 0 ||
      full.compare(0, 4, L"\\\\.\\") == 0)
    return full;
  return L"\\\\?\\UNC" + full.substr(1);
}

}  // namespace

std::string PortErrorText(PortError error) {
  if (error == kIsADevice) return "Is a device, not a file";
  // The other errors are the C runtime's errno values, whose texts are those
  // the POSIX build shows for the same failures.
  return std::strerror(static_cast<int>(error));
}

void PortStartProcess() {
  // A host runs the handler unattended: a fault ends the process with its
  // status instead of waiting on a crash dialog, and a FILE on a drive
  // without its disk fails instead of asking for the disk.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX |
               SEM_NOOPENFILEERRORBOX);
  // The answer's bytes go out as they are (UTF-8, LF line ends), and the
  // client output's CR LF pairs reach the handler, which folds them itself.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  // --explain's lines end in LF on both systems.
  _setmode(_fileno(stderr), _O_BINARY);
}

PortArguments::PortArguments(int argc, char** argv) {
  // The narrow argv holds the words in the ANSI code page, which cannot
  // carry every file name; the wide command line can.
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide != nullptr) {
    for (int i = 0; i < count; ++i) words_.push_back(Utf8FromWide(wide[i]));
    LocalFree(wide);
  } else {
    words_.assign(argv, argv + argc);
  }
  for (std::string& word : words_) pointers_.push_back(&word[0]);
  pointers_.push_back(nullptr);
  count_ = static_cast<int>(words_.size());
  values_ = pointers_.data();
}

PortInput::~PortInput() {
  if (owned_) _close(static_cast<int>(handle_));
}

PortError PortInput::Open(const char* path) {
  if (path == nullptr) {
    handle_ = _fileno(stdin);
    return 0;
  }
  const std::wstring name = OpenableName(WideFromUtf8(path));
  // The C runtime refuses a directory as "permission denied"; it is named
  // for what it is, as on POSIX.
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return EISDIR;
  const int fd = _wopen(name.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) return static_cast<PortError>(errno);
  // A name that Windows reserves (CON, NUL, AUX, COM1, ...) opens a device,
  // in any folder: the console would wait for someone to type, a port for
  // its line, and nothing of either is a client output.
  if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(fd))) ==
      FILE_TYPE_CHAR) {
    _close(fd);
    return kIsADevice;
  }
  handle_ = fd;
  owned_ = true;
  return 0;
}

PortError PortInput::Inspect(PortInputKind& kind, std::size_t& size) {
  struct _stati64 status;
  if (_fstati64(static_cast<int>(handle_), &status) != 0)
    return static_cast<PortError>(errno);
  if ((status.st_mode & _S_IFMT) == _S_IFDIR) return EISDIR;
  const bool regular = (status.st_mode & _S_IFMT) == _S_IFREG;
  kind = regular ? PortInputKind::kRegularFile : PortInputKind::kStream;
  size = regular ? static_cast<std::size_t>(status.st_size) : 0;
  return 0;
}

PortError PortInput::Read(unsigned char* into, std::size_t capacity,
                          std::size_t& count) {
  // A pipe whose writer has gone reads as its end; reads block until data
  // arrives, so nothing needs waiting for here.
  const int got =
      _read(static_cast<int>(handle_), into,
            static_cast<unsigned>(std::min(capacity, kLargestTransfer)));
  if (got < 0) return static_cast<PortError>(errno);
  count = static_cast<std::size_t>(got);
  return 0;
}

const int kPortStandardOutput = 1;

PortError PortWriteAll(int descriptor, const char* bytes, std::size_t count,
                       std::size_t& written) {
  while (count > 0) {
    const int taken =
        _write(descriptor, bytes,
               static_cast<unsigned>(std::min(count, kLargestTransfer)));
    if (taken < 0) return static_cast<PortError>(errno);
    // A write that takes nothing would never finish.
    if (taken == 0) return EIO;
    bytes += taken;
    count -= static_cast<std::size_t>(taken);
    written += static_cast<std::size_t>(taken);
  }
  return 0;
}

namespace {

// Older consoles refuse a single write of more than about 64 KiB; a piece
// never ends between the two halves of a surrogate pair.
PortError WriteConsoleInPieces(HANDLE console, const std::wstring& wide) {
  const std::size_t kPieceUnits = 8192;
  for (std::size_t at = 0; at < wide.size();) {
    std::size_t end = std::min(wide.size(), at + kPieceUnits);
    if (end < wide.size() && end > at + 1 && wide[end] >= 0xDC00 &&
        wide[end] <= 0xDFFF)
      --end;
    DWORD taken = 0;
    if (!WriteConsoleW(console, wide.data() + at, static_cast<DWORD>(end - at),
                       &taken, nullptr))
      return EIO;
    at = end;
  }
  return 0;
}

}  // namespace

PortError PortWriteDiagnostics(const char* text, std::size_t count) {
  // A console shows UTF-8 bytes in its own code page; it takes wide text
  // as it is. Redirected, standard error gets the bytes, as on POSIX.
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (error != INVALID_HANDLE_VALUE && error != nullptr &&
      GetConsoleMode(error, &mode)) {
    const std::wstring wide = WideFromUtf8(std::string(text, count).c_str());
    return WriteConsoleInPieces(error, wide);
  }
  std::size_t written = 0;
  return PortWriteAll(_fileno(stderr), text, count, written);
}

PortError PortFlushStandardOutput() {
  return std::fflush(stdout) != 0 ? static_cast<PortError>(errno) : 0;
}

void PortFlushAllStreams() {
  std::cout.flush();
  _flushall();
}

// ------------------------------------------------------------ conversion

// A code page in one direction, with what its sequences look like.
class PortConverter {
 public:
  PortConverter(WindowsEncoding encoding, const CPINFO& info)
      : codePage(encoding.codePage),
        range(encoding.range),
        doubleByte(info.MaxCharSize == 2) {}

  const unsigned codePage;
  const WindowsByteRange range;
  const bool doubleByte;
};

namespace {

const unsigned kUtf8CodePage = 65001;
// The most units one character decodes to, and bytes it encodes to.
const int kMostUnits = 2;
const int kMostBytes = 8;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

bool IsEucByte(unsigned char byte) { return byte >= 0xA1 && byte != 0xFF; }

// The number of bytes of the character that `lead` opens. A byte that opens
// nothing valid counts as one, which the code page then refuses.
std::size_t CharacterLength(const PortConverter& converter,
                            unsigned char lead) {
  if (lead < 0x80) return 1;
  if (converter.codePage == kUtf8CodePage) {
    if (lead >= 0xC2 && lead < 0xE0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
  }
  if (converter.range != WindowsByteRange::kWhole)
    return IsEucByte(lead) ? 2 : 1;
  if (converter.doubleByte && IsDBCSLeadByteEx(converter.codePage, lead))
    return 2;
  return 1;
}

// True when the `left` bytes at `bytes` are a beginning of a character that
// more input would complete.
bool EndsInside(const PortConverter& converter, const unsigned char* bytes,
                std::size_t left, std::size_t length) {
  if (left >= length) return false;
  if (converter.codePage != kUtf8CodePage) return true;
  for (std::size_t i = 1; i < left; ++i) {
    if (!IsContinuation(bytes[i])) return false;
  }
  return true;
}

bool IsWindowsCodePage(unsigned codePage) {
  return codePage >= 1250 && codePage <= 1258;
}

// True when Windows converts what its own tables leave undefined: the
// windows-125x code pages carry the C1 controls through for bytes 0x80 to
// 0x9F that they do not assign, and several code pages give undefined bytes
// private-use characters. Neither is a character of the encoding, which the
// GNU conversion library, and so the POSIX build, refuses.
bool IsUndefinedMapping(unsigned codePage, const unsigned char* bytes,
                        std::size_t length, const wchar_t* units, int count) {
  if (count == 1 && units[0] >= 0xE000 && units[0] <= 0xF8FF) return true;
  return IsWindowsCodePage(codePage) && length == 1 && count == 1 &&
         bytes[0] >= 0x80 && bytes[0] <= 0x9F && units[0] == bytes[0];
}

// Decodes the `length` bytes of one character; returns the units, 0 when the
// code page refuses them.
int DecodeCharacter(const PortConverter& converter, const unsigned char* bytes,
                    std::size_t length, wchar_t* units) {
  if (converter.range != WindowsByteRange::kWhole && bytes[0] >= 0x80) {
    if (length == 1) {
      if (converter.range != WindowsByteRange::kEucKr || bytes[0] > 0x9F)
        return 0;
      units[0] = bytes[0];
      return 1;
    }
    if (!IsEucByte(bytes[1])) return 0;
  }
  const int count =
      MultiByteToWideChar(converter.codePage, MB_ERR_INVALID_CHARS,
                          reinterpret_cast<const char*>(bytes),
                          static_cast<int>(length), units, kMostUnits);
  if (count <= 0 ||
      IsUndefinedMapping(converter.codePage, bytes, length, units, count))
    return 0;
  return count;
}

// Encodes one character of `count` units; returns the bytes, 0 when the code
// page lacks it.
int EncodeCharacter(const PortConverter& converter, const char16_t* units,
                    int count, unsigned char* bytes) {
  const wchar_t* wide = reinterpret_cast<const wchar_t*>(units);
  char* out = reinterpret_cast<char*>(bytes);
  if (converter.codePage == kUtf8CodePage) {
    const int length =
        WideCharToMultiByte(kUtf8CodePage, WC_ERR_INVALID_CHARS, wide, count,
                            out, kMostBytes, nullptr, nullptr);
    return length > 0 ? length : 0;
  }
  BOOL usedDefault = FALSE;
  const int length =
      WideCharToMultiByte(converter.codePage, WC_NO_BEST_FIT_CHARS, wide, count,
                          out, kMostBytes, nullptr, &usedDefault);
  if (length <= 0 || usedDefault) return 0;
  wchar_t back[kMostUnits];
  // The character must be one that decoding gives back: what decoding
  // refuses, encoding refuses too.
  const int decoded =
      DecodeCharacter(converter, bytes, static_cast<std::size_t>(length), back);
  if (decoded != count) return 0;
  return std::memcmp(back, wide,
                     sizeof(wchar_t) * static_cast<std::size_t>(count)) == 0
             ? length
             : 0;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

PortOpenResult PortOpenConverter(const char* encoding, bool /*toUtf16*/,
                                 PortConverter*& converter) {
  converter = nullptr;
  WindowsEncoding found;
  CPINFO info;
  if (!WindowsFindEncoding(encoding, found) ||
      !IsValidCodePage(found.codePage) || !GetCPInfo(found.codePage, &info))
    return PortOpenResult::kUnknownName;
  converter = new (std::nothrow) PortConverter(found, info);
  return converter != nullptr ? PortOpenResult::kOpened
                              : PortOpenResult::kNoMemory;
}

void PortCloseConverter(PortConverter* converter) { delete converter; }

void PortResetConverter(PortConverter* /*converter*/) {
  // The code pages in use keep no shift state between characters.
}

PortStep PortDecode(PortConverter* converter, const char*& in,
                    std::size_t& inLeft, char16_t*& out, std::size_t& outLeft) {
  if (in == nullptr) return PortStep::kDone;
  while (inLeft > 0) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(in);
    const std::size_t length = CharacterLength(*converter, bytes[0]);
    if (inLeft < length) {
      return EndsInside(*converter, bytes, inLeft, length)
                 ? PortStep::kIncomplete
                 : PortStep::kInvalid;
    }
    wchar_t units[kMostUnits];
    const int count = DecodeCharacter(*converter, bytes, length, units);
    if (count == 0) return PortStep::kInvalid;
    if (outLeft < static_cast<std::size_t>(count)) return PortStep::kOutputFull;
    for (int i = 0; i < count; ++i) *out++ = static_cast<char16_t>(units[i]);
    outLeft -= static_cast<std::size_t>(count);
    in += length;
    inLeft -= length;
  }
  return PortStep::kDone;
}

PortStep PortEncode(PortConverter* converter, const char16_t*& in,
                    std::size_t& inLeft, char*& out, std::size_t& outLeft) {
  if (in == nullptr) return PortStep::kDone;
  while (inLeft > 0) {
    int count = 1;
    if (IsHighSurrogate(in[0])) {
      if (inLeft == 1) return PortStep::kIncomplete;
      if (!IsLowSurrogate(in[1])) return PortStep::kInvalid;
      count = 2;
    } else if (IsLowSurrogate(in[0])) {
      return PortStep::kInvalid;
    }
    unsigned char bytes[kMostBytes];
    const int length = EncodeCharacter(*converter, in, count, bytes);
    if (length == 0) return PortStep::kInvalid;
    if (outLeft < static_cast<std::size_t>(length))
      return PortStep::kOutputFull;
    std::memcpy(out, bytes, static_cast<std::size_t>(length));
    out += length;
    outLeft -= static_cast<std::size_t>(length);
    in += count;
    inLeft -= static_cast<std::size_t>(count);
  }
  return PortStep::kDone;
}

std::string PortDefaultEncodingName() { return WindowsCodePageName(GetACP()); }

const char* PortDefaultEncodingOrigin() { return "the ANSI code page"; }
