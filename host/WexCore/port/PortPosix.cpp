// The port on POSIX systems with the GNU C library: descriptors, signals
// and the locale's codeset.

#include <errno.h>
#include <fcntl.h>
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
  size = S_ISREG(status.st_mode) ? PortSizeOf(status.st_size) : 0;
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

// ---------------------------------------------------------------- locale

namespace {

// The locale's codeset when the environment names no valid locale: what the
// "C" locale reports.
const char kCLocaleCodeset[] = "ANSI_X3.4-1968";

}  // namespace

std::string PortDefaultEncodingName() {
  locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return kCLocaleCodeset;
  std::string codeset = nl_langinfo_l(CODESET, locale);
  freelocale(locale);
  return codeset.empty() ? kCLocaleCodeset : codeset;
}

const char* PortDefaultEncodingOrigin() { return "the locale's encoding"; }
