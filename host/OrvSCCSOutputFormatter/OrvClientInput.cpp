#include "OrvClientInput.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "OrvFormatterErrors.h"
#include "OrvMessage.h"
#include "WexMemory.h"

namespace {

const char kThisFile[] = "OrvClientInput.cpp";
const char kReadFunction[] = "OrvCmdLineArg::ProcessCmdParams()";
// Standard input grows its buffer from this size on.
const std::size_t kFirstChunk = 64 * 1024;
const char16_t kByteOrderMark = 0xFEFF;

std::string DescribeSource(const std::string& path) {
  return path == "-" ? std::string("standard input") : "'" + path + "'";
}

[[noreturn]] void RaiseUnreadable(const std::string& path, int error) {
  OrvRaiseFailure(
      ORV_MSG_INPUT_UNREADABLE,
      OrvFromUtf8(DescribeSource(path) + ": " + std::strerror(error)),
      kThisFile, __LINE__, kReadFunction);
}

[[noreturn]] void RaiseTooLarge(const std::string& path) {
  OrvRaiseFailure(
      ORV_MSG_INPUT_TOO_LARGE,
      OrvFromUtf8(DescribeSource(path) + " holds more than " +
                  std::to_string(kOrvMaxClientOutputBytes) + " bytes"),
      kThisFile, __LINE__, kReadFunction);
}

// Closes the descriptor it was given, unless it is standard input.
class InputDescriptor {
 public:
  explicit InputDescriptor(int fd) : fd_(fd) {}
  ~InputDescriptor() {
    if (fd_ > STDIN_FILENO) close(fd_);
  }
  InputDescriptor(const InputDescriptor&) = delete;
  InputDescriptor& operator=(const InputDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

int OpenSource(const std::string& path) {
  if (path == "-") return STDIN_FILENO;
  int fd;
  do {
    fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) RaiseUnreadable(path, errno);
  return fd;
}

// The size to read into first: a regular file's own size (one byte more, to
// see its end without a second allocation), else a chunk that doubles.
std::size_t FirstBufferSize(int fd, const std::string& path) {
  struct stat status;
  if (fstat(fd, &status) != 0) RaiseUnreadable(path, errno);
  if (S_ISDIR(status.st_mode)) RaiseUnreadable(path, EISDIR);
  if (!S_ISREG(status.st_mode)) return kFirstChunk;
  std::size_t size = static_cast<std::size_t>(status.st_size);
  if (size > kOrvMaxClientOutputBytes) RaiseTooLarge(path);
  return size + 1;
}

// Makes `bytes` `size` long; a large new block is advised to take huge
// pages before it is first written.
void GrowBuffer(std::string& bytes, std::size_t size) {
  if (size > bytes.capacity()) {
    std::string grown;
    grown.reserve(size);
    WexAdviseHugePages(&grown[0], size);
    grown.assign(bytes);
    bytes.swap(grown);
  }
  bytes.resize(size);
}

}  // namespace

std::string OrvReadClientOutput(const std::string& path) {
  InputDescriptor input(OpenSource(path));
  std::string bytes;
  GrowBuffer(bytes, FirstBufferSize(input.get(), path));
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) {
      // One byte past the limit is enough to know the input is too large.
      GrowBuffer(bytes,
                 std::min(2 * bytes.size(), kOrvMaxClientOutputBytes + 1));
    }
    ssize_t count = read(input.get(), &bytes[used], bytes.size() - used);
    if (count < 0) {
      if (errno == EINTR) continue;
      RaiseUnreadable(path, errno);
    }
    if (count == 0) break;
    used += static_cast<std::size_t>(count);
    if (used > kOrvMaxClientOutputBytes) RaiseTooLarge(path);
  }
  bytes.resize(used);
  return bytes;
}

I18NString OrvDecodeClientOutput(std::string bytes) {
  I18NString text(bytes.data(), nullptr, static_cast<int>(bytes.size()),
                  nullptr, nullptr);
  // The bytes are no longer needed; the text holds twice their size.
  std::string().swap(bytes);
  if (!text.empty() && text.data()[0] == kByteOrderMark) text.erase(0, 1);
  // The client wrote its text in text mode: CR LF is its line end.
  text.replaceAll(I18NString(u"\r\n"), I18NString(u"\n"));
  return text;
}
