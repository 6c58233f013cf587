#ifndef WEXCORE_PORT_PORTSYSTEM_H_
#define WEXCORE_PORT_PORTSYSTEM_H_

// The handler's access to the operating system: the process's start, its
// arguments, its encoding, reading the client output and writing the
// answer. Every other part of the code reaches the system through this
// header, so it reads the same on every platform.
// Failures are reported as a system error code of the platform, which
// PortErrorText() puts into words.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A system error code of the platform; 0 means success.
using PortError = std::uint32_t;

// The system's description of `error` (not 0), in UTF-8.
std::string PortErrorText(PortError error);

// Sets up what the process needs before anything is read or written. Call it
// once, first thing in main.
void PortStartProcess();

// The program's arguments as UTF-8 words, the program's name first.
class PortArguments {
 public:
  // REQUIRES: `argc` and `argv` are main's own.
  PortArguments(int argc, char** argv);
  PortArguments(const PortArguments&) = delete;
  PortArguments& operator=(const PortArguments&) = delete;

  // The number of words.
  int count() const { return count_; }
  // The words, zero-terminated, followed by a null pointer; they live as
  // long as this object.
  char** values() { return values_; }

 private:
  // Where the system's words are not UTF-8 already, the converted copies
  // and the pointers to them; empty where main's own are used as they are.
  std::vector<std::string> words_;
  std::vector<char*> pointers_;
  int count_ = 0;
  char** values_ = nullptr;
};

// What an opened input is.
enum class PortInputKind {
  kRegularFile,  // its size is known before it is read
  kStream,       // a pipe, a terminal, a device: read until its end
};

// The client output being read: a file opened by name, or standard input.
// The file is closed when the object goes; standard input stays open.
class PortInput {
 public:
  PortInput() = default;
  ~PortInput();
  PortInput(const PortInput&) = delete;
  PortInput& operator=(const PortInput&) = delete;

  // Opens the file named `path` (UTF-8) for reading, or takes standard input
  // when `path` is null. Returns 0 or the reason it cannot be read (a
  // directory is such a reason).
  // REQUIRES: nothing is open yet.
  PortError Open(const char* path);

  // What the opened input is, and for a regular file its size in bytes (the
  // largest std::size_t for a file larger than that, as on a 32-bit system).
  // Returns 0 or the failure. REQUIRES: Open() succeeded.
  PortError Inspect(PortInputKind& kind, std::size_t& size);

  // Reads up to `capacity` bytes (at least 1) into `into` and sets `count`
  // to the number read, 0 at the end of the input. An input that has nothing
  // ready yet is waited for. Returns 0 or the failure.
  // REQUIRES: Open() succeeded.
  PortError Read(unsigned char* into, std::size_t capacity, std::size_t& count);

 private:
  // The platform's handle of the open input (a descriptor or a handle).
  std::intptr_t handle_ = -1;
  bool owned_ = false;
};

// The descriptor of standard output, for PortWriteAll.
extern const int kPortStandardOutput;

// Writes every byte of [bytes, bytes + count) to the output descriptor
// `descriptor`, waiting while the output takes nothing yet. Returns 0, or
// the failure; a reader that went away or a file-size limit is a failure,
// never a signal. Adds the bytes that went out to `written`.
PortError PortWriteAll(int descriptor, const char* bytes, std::size_t count,
                       std::size_t& written);

// Writes the UTF-8 text [text, text + count) to standard error, for a person
// to read: where standard error is a console that takes wide text, as that
// text, else as its bytes. Returns 0 or the failure.
PortError PortWriteDiagnostics(const char* text, std::size_t count);

// Hands whatever the C library holds for standard output to the system.
// Returns 0 or the failure.
PortError PortFlushStandardOutput();

// `size` (a file's size from the system, never negative) as a std::size_t,
// the largest one when it does not fit.
template <typename Size>
std::size_t PortSizeOf(Size size) {
  using Wider = unsigned long long;
  return static_cast<Wider>(size) > static_cast<Wider>(SIZE_MAX)
             ? SIZE_MAX
             : static_cast<std::size_t>(size);
}

// Hands what every output stream of the C and C++ libraries holds to the
// system; failures are left to the writes that follow, or go unreported at
// the process's end.
void PortFlushAllStreams();

// The name of the environment's encoding as the system gives it (the
// locale's codeset; "CP" and the ANSI code page's number), read without
// changing the process's own locale. It need not be a name the handler
// knows.
std::string PortDefaultEncodingName();

// Where PortDefaultEncodingName() takes the name from, in words for a person
// ("the locale's encoding", "the ANSI code page").
const char* PortDefaultEncodingOrigin();

#endif  // WEXCORE_PORT_PORTSYSTEM_H_
