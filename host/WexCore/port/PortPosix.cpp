// The port on POSIX systems with the GNU C library: descriptors, signals,
// iconv and the locale's codeset.

#include <errno.h>
#include <fcntl.h>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "PortConversion.h"
#include "PortSystem.h"

// ---------------------------------------------------------------- system

std::string PortErrorText(PortError error) {
  return std::strerror(static_cast<int>(error));
}

void PortStartProcess() {}

// The system hands the words over as bytes; they are taken as they are,
// without a copy: main's arguments must be had before any allocation can
// fail outside the driver's guard.
PortArguments::PortArguments(int argc, char** argv)
    : count_(argc), values_(argv) {}

namespace {

// True for the failure of a descriptor in non-blocking mode that has nothing
// to give or no room to take yet.
bool WouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

// Waits until `descriptor` is ready for `events`; 0, or the failure. A host
// may hand the handler a pipe in non-blocking mode: it is waited for as a
// blocking one would be.
PortError WaitFor(int descriptor, short events) {
  struct pollfd ready = {descriptor, events, 0};
  while (poll(&ready, 1, -1) < 0) {
    if (errno != EINTR) return static_cast<PortError>(errno);
  }
  return 0;
}

}  // namespace

PortInput::~PortInput() {
  if (owned_) close(static_cast<int>(handle_));
}

PortError PortInput::Open(const char* path) {
  if (path == nullptr) {
    handle_ = STDIN_FILENO;
    return 0;
  }
  int fd;
  do {
    fd = open(path, O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return static_cast<PortError>(errno);
  handle_ = fd;
  owned_ = true;
  return 0;
}

PortError PortInput::Inspect(PortInputKind& kind, std::size_t& size) {
  struct stat status;
  if (fstat(static_cast<int>(handle_), &status) != 0)
    return static_cast<PortError>(errno);
  if (S_ISDIR(status.st_mode)) return EISDIR;
  kind = S_ISREG(status.st_mode) ? PortInputKind::kRegularFile
                                 : PortInputKind::kStream;
  size = S_ISREG(status.st_mode) ? static_cast<std::size_t>(status.st_size) : 0;
  return 0;
}

PortError PortInput::Read(unsigned char* into, std::size_t capacity,
                          std::size_t& count) {
  for (;;) {
    ssize_t got = read(static_cast<int>(handle_), into, capacity);
    if (got >= 0) {
      count = static_cast<std::size_t>(got);
      return 0;
    }
    const int error = errno;
    if (error == EINTR) continue;
    if (!WouldBlock(error)) return static_cast<PortError>(error);
    const PortError waited = WaitFor(static_cast<int>(handle_), POLLIN);
    if (waited != 0) return waited;
  }
}

const int kPortStandardOutput = STDOUT_FILENO;

namespace {

// Ignores `signal` while it lives. SIGPIPE (the reader went away) and SIGXFSZ
// (a file-size limit was reached) must give the writer an error to report,
// not end the process. A signal raised while ignored is discarded, so
// restoring the old action cannot deliver it late.
class SignalIgnored {
 public:
  explicit SignalIgnored(int signal) : signal_(signal) {
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    restore_ = sigaction(signal_, &ignore, &previous_) == 0;
  }
  ~SignalIgnored() {
    if (restore_) sigaction(signal_, &previous_, nullptr);
  }
  SignalIgnored(const SignalIgnored&) = delete;
  SignalIgnored& operator=(const SignalIgnored&) = delete;

 private:
  int signal_;
  struct sigaction previous_ = {};
  bool restore_ = false;
};

}  // namespace

PortError PortWriteAll(int descriptor, const char* bytes, std::size_t count,
                       std::size_t& written) {
  SignalIgnored sigpipeIgnored(SIGPIPE);
  SignalIgnored sigxfszIgnored(SIGXFSZ);
  while (count > 0) {
    ssize_t taken = write(descriptor, bytes, count);
    if (taken < 0) {
      const int error = errno;
      if (error == EINTR) continue;
      if (!WouldBlock(error)) return static_cast<PortError>(error);
      const PortError waited = WaitFor(descriptor, POLLOUT);
      if (waited != 0) return waited;
      continue;
    }
    // A write that takes nothing would never finish.
    if (taken == 0) return EIO;
    bytes += taken;
    count -= static_cast<std::size_t>(taken);
    written += static_cast<std::size_t>(taken);
  }
  return 0;
}

PortError PortWriteDiagnostics(const char* text, std::size_t count) {
  std::size_t written = 0;
  return PortWriteAll(STDERR_FILENO, text, count, written);
}

PortError PortFlushStandardOutput() {
  return std::fflush(stdout) != 0 ? static_cast<PortError>(errno) : 0;
}

void PortFlushAllStreams() {
  std::cout.flush();
  std::fflush(nullptr);
}

// ------------------------------------------------------------ conversion

namespace {

// iconv's name of UTF-16 in this machine's byte order, without a byte-order
// mark.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
const char kNativeUtf16[] = "UTF-16BE";
#else
const char kNativeUtf16[] = "UTF-16LE";
#endif

// The locale's codeset when the environment names no valid locale: what the
// "C" locale reports.
const char kFallbackEncoding[] = "ANSI_X3.4-1968";

iconv_t DescriptorOf(PortConverter* converter) {
  return reinterpret_cast<iconv_t>(converter);
}

// One iconv call over the given buffers (all null: a flush), and what it
// ended in.
PortStep Convert(PortConverter* converter, char** in, std::size_t* inLeft,
                 char** out, std::size_t* outLeft) {
  if (iconv(DescriptorOf(converter), in, inLeft, out, outLeft) !=
      static_cast<std::size_t>(-1))
    return PortStep::kDone;
  switch (errno) {
    case E2BIG:
      return PortStep::kOutputFull;
    case EINVAL:
      return PortStep::kIncomplete;
    default:
      return PortStep::kInvalid;
  }
}

// Runs one step over typed buffers whose lengths count units, not bytes.
template <typename In, typename Out>
PortStep Step(PortConverter* converter, const In*& in, std::size_t& inLeft,
              Out*& out, std::size_t& outLeft) {
  char* outBytes = reinterpret_cast<char*>(out);
  std::size_t outBytesLeft = outLeft * sizeof(Out);
  PortStep step;
  if (in == nullptr) {
    step = Convert(converter, nullptr, nullptr, &outBytes, &outBytesLeft);
  } else {
    char* inBytes = reinterpret_cast<char*>(const_cast<In*>(in));
    std::size_t inBytesLeft = inLeft * sizeof(In);
    step = Convert(converter, &inBytes, &inBytesLeft, &outBytes, &outBytesLeft);
    in = reinterpret_cast<const In*>(inBytes);
    inLeft = inBytesLeft / sizeof(In);
  }
  out = reinterpret_cast<Out*>(outBytes);
  outLeft = outBytesLeft / sizeof(Out);
  return step;
}

}  // namespace

PortOpenResult PortOpenConverter(const char* encoding, bool toUtf16,
                                 PortConverter*& converter) {
  converter = nullptr;
  iconv_t descriptor = toUtf16 ? iconv_open(kNativeUtf16, encoding)
                               : iconv_open(encoding, kNativeUtf16);
  // EINVAL alone says that the library knows no such conversion; any other
  // failure (no memory, no descriptors left) is one of opening a known one.
  if (descriptor == reinterpret_cast<iconv_t>(-1))
    return errno == EINVAL ? PortOpenResult::kUnknownName
                           : PortOpenResult::kNoMemory;
  converter = reinterpret_cast<PortConverter*>(descriptor);
  return PortOpenResult::kOpened;
}

void PortCloseConverter(PortConverter* converter) {
  iconv_close(DescriptorOf(converter));
}

void PortResetConverter(PortConverter* converter) {
  iconv(DescriptorOf(converter), nullptr, nullptr, nullptr, nullptr);
}

PortStep PortDecode(PortConverter* converter, const char*& in,
                    std::size_t& inLeft, char16_t*& out, std::size_t& outLeft) {
  return Step(converter, in, inLeft, out, outLeft);
}

PortStep PortEncode(PortConverter* converter, const char16_t*& in,
                    std::size_t& inLeft, char*& out, std::size_t& outLeft) {
  return Step(converter, in, inLeft, out, outLeft);
}

std::string PortDefaultEncodingName() {
  locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return kFallbackEncoding;
  std::string codeset = nl_langinfo_l(CODESET, locale);
  freelocale(locale);
  return codeset.empty() ? kFallbackEncoding : codeset;
}

const char* PortDefaultEncodingOrigin() { return "the locale's encoding"; }
