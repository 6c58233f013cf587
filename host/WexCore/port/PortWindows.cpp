// The port on Windows: the C runtime's descriptors for the client output and
// the answer, the wide command line, and the ANSI code page.

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
#include <string>

#include "PortSystem.h"

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
  size = regular ? PortSizeOf(status.st_size) : 0;
  return 0;
}

PortError PortInput::Read(unsigned char* into, std::size_t capacity,
                          std::size_t& count) {
  // A pipe whose writer has gone reads as its end; reads block until data
  // arrives, so nothing needs waiting for here.
  const int got =
      _read(static_cast<int>(handle_), into,
            static_cast<unsigned>(std::min(capacity, kLargestTransfer)));
  if (got < 0) {
    // A standard input whose handle cannot be read at all (what Wine hands
    // over for a closed one) is not open for reading: POSIX names that a
    // bad descriptor.
    if (!owned_ && errno == EINVAL) return EBADF;
    return static_cast<PortError>(errno);
  }
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

// ---------------------------------------------------------------- locale

std::string PortDefaultEncodingName() {
  return "CP" + std::to_string(GetACP());
}

const char* PortDefaultEncodingOrigin() { return "the ANSI code page"; }
