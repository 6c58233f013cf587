#include <windows.h>

#include <filesystem>
#include <stdexcept>

#include "HandlerProcess.h"
#include "TestFiles.h"
#include "windows_quoted.h"

namespace fs = std::filesystem;

namespace {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int size = static_cast<int>(utf8.size());
  const int units =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), units);
  return wide;
}

// A handle the child inherits, closed when the run is over; null for a
// standard stream that the child does not get at all.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {
    if (handle_ == INVALID_HANDLE_VALUE) {
      throw std::runtime_error("cannot open a file for the handler");
    }
  }
  ~Handle() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};

// A scratch file that one output stream of the handler goes to: a file
// never fills and blocks the writer, as a pipe read later would.
HANDLE NewCapture() {
  wchar_t directory[MAX_PATH + 1];
  wchar_t name[MAX_PATH + 1];
  if (GetTempPathW(MAX_PATH + 1, directory) == 0 ||
      GetTempFileNameW(directory, L"vss", 0, name) == 0) {
    throw std::runtime_error("no scratch file name");
  }
  return CreateFileW(name, GENERIC_READ | GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     &inherited, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                     nullptr);
}

std::string ReadBack(HANDLE file) {
  if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) ==
      INVALID_SET_FILE_POINTER) {
    throw std::runtime_error("cannot rewind a scratch file");
  }
  std::string text;
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
    text.append(chunk, got);
  }
  return text;
}

HANDLE OpenForReading(const std::wstring& name) {
  return CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherited,
                     OPEN_EXISTING, 0, nullptr);
}

HANDLE OpenInput(const StandardStreams& streams) {
  switch (streams.input) {
    case StandardInput::kNullDevice:
      return OpenForReading(L"NUL");
    case StandardInput::kFile:
      return OpenForReading(Wide(streams.inputFile));
    case StandardInput::kClosed:
      break;
  }
  return nullptr;
}

// The writing end of a pipe whose reading end is closed already: every
// write to it fails.
HANDLE PipeWithoutReader() {
  HANDLE reader = nullptr;
  HANDLE writer = nullptr;
  if (!CreatePipe(&reader, &writer, &inherited, 0)) {
    throw std::runtime_error("no pipe");
  }
  CloseHandle(reader);
  return writer;
}

HANDLE OpenOutput(const StandardStreams& streams) {
  switch (streams.output) {
    case StandardOutput::kCaptured:
      return NewCapture();
    case StandardOutput::kClosed:
      break;
    case StandardOutput::kNullDevice:
      return CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherited,
                         OPEN_EXISTING, 0, nullptr);
    case StandardOutput::kAppendedToFile:
      return CreateFileW(Wide(streams.outputFile).c_str(), FILE_APPEND_DATA,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                         OPEN_EXISTING, 0, nullptr);
    case StandardOutput::kPipeWithoutReader:
      return PipeWithoutReader();
  }
  return nullptr;
}

// The command line that runs `program` with `arguments`, each quoted.
std::wstring CommandLine(const std::string& program,
                         const std::vector<std::string>& arguments) {
  std::wstring commandLine = Quoted(Wide(program));
  for (const std::string& argument : arguments) {
    commandLine += L' ' + Quoted(Wide(argument));
  }
  return commandLine;
}

// Runs `commandLine`; its first word names the program, which is looked for
// as CreateProcessW looks for it. `environment` null: the child inherits this
// process's environment.
HandlerRun Spawn(std::wstring commandLine,
                 const std::vector<std::string>* environment = nullptr,
                 const StandardStreams& streams = StandardStreams()) {
  std::wstring block;
  if (environment != nullptr) {
    for (const std::string& variable : *environment) {
      block += Wide(variable) + L'\0';
    }
    block += L'\0';
  }

  Handle in(OpenInput(streams));
  Handle out(OpenOutput(streams));
  Handle err(NewCapture());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in.get();
  startup.hStdOutput = out.get();
  startup.hStdError = err.get();
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                      CREATE_UNICODE_ENVIRONMENT,
                      environment != nullptr ? block.data() : nullptr, nullptr,
                      &startup, &process)) {
    throw std::runtime_error(
        "cannot run a command line for the handler's tests");
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  HandlerRun run;
  DWORD status = 0;
  if (GetExitCodeProcess(process.hProcess, &status)) {
    run.exitStatus = static_cast<int>(status);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (streams.output == StandardOutput::kCaptured) {
    run.standardOutput = ReadBack(out.get());
  } else if (streams.output == StandardOutput::kAppendedToFile) {
    run.standardOutput = ReadFile(fs::u8path(streams.outputFile));
  }
  run.standardError = ReadBack(err.get());
  return run;
}

}  // namespace

HandlerRun RunHandler(const std::vector<std::string>& arguments) {
  return Spawn(CommandLine(VSS_HANDLER_BINARY, arguments));
}

HandlerRun RunHandlerIn(const std::vector<std::string>& environment,
                        const std::vector<std::string>& arguments) {
  return Spawn(CommandLine(VSS_HANDLER_BINARY, arguments), &environment);
}

HandlerRun RunHandlerWith(const StandardStreams& streams,
                          const std::vector<std::string>& arguments) {
  return Spawn(CommandLine(VSS_HANDLER_BINARY, arguments), nullptr, streams);
}

HandlerRun RunProgram(const std::string& program,
                      const std::vector<std::string>& arguments) {
  return Spawn(CommandLine(program, arguments));
}

HandlerRun RunBatchFile(const std::string& batch,
                        const std::vector<std::string>& arguments) {
  wchar_t full[MAX_PATH + 1];
  if (GetFullPathNameW(Wide(batch).c_str(), MAX_PATH + 1, full, nullptr) == 0) {
    throw std::runtime_error("no full path for " + batch);
  }
  // With /s, cmd.exe takes what follows /c as it stands once the first and
  // the last quote are gone; /d: no AutoRun command of the registry's runs
  // first.
  std::wstring commandLine =
      L"cmd.exe /d /s /c \"\"" + std::wstring(full) + L"\"";
  for (const std::string& argument : arguments) {
    commandLine += L' ' + Quoted(Wide(argument));
  }
  return Spawn(commandLine + L"\"");
}
