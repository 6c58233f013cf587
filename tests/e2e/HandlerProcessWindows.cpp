#include <windows.h>

#include <stdexcept>

#include "HandlerProcess.h"

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

// Quotes one argument so that CommandLineToArgvW gives it back unchanged.
std::wstring Quoted(const std::wstring& argument) {
  if (!argument.empty() &&
      argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    return argument;
  }
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes in front of a quote are doubled, the quote escaped.
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

// A handle the child inherits, closed when the run is over.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {
    if (handle_ == INVALID_HANDLE_VALUE) {
      throw std::runtime_error("cannot open a file for the handler");
    }
  }
  ~Handle() { CloseHandle(handle_); }
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

// `environment` null: the child inherits this process's environment.
// `input`: the file that standard input reads.
HandlerRun Spawn(const std::vector<std::string>* environment,
                 const std::vector<std::string>& arguments,
                 const std::wstring& input = L"NUL") {
  const std::wstring program = Wide(VSS_HANDLER_BINARY);
  std::wstring commandLine = Quoted(program);
  for (const std::string& argument : arguments) {
    commandLine += L' ' + Quoted(Wide(argument));
  }
  std::wstring block;
  if (environment != nullptr) {
    for (const std::string& variable : *environment) {
      block += Wide(variable) + L'\0';
    }
    block += L'\0';
  }

  Handle in(CreateFileW(input.c_str(), GENERIC_READ, FILE_SHARE_READ,
                        &inherited, OPEN_EXISTING, 0, nullptr));
  Handle out(NewCapture());
  Handle err(NewCapture());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in.get();
  startup.hStdOutput = out.get();
  startup.hStdError = err.get();
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr,
                      TRUE, CREATE_UNICODE_ENVIRONMENT,
                      environment != nullptr ? block.data() : nullptr, nullptr,
                      &startup, &process)) {
    throw std::runtime_error("cannot start " + std::string(VSS_HANDLER_BINARY));
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  HandlerRun run;
  DWORD status = 0;
  if (GetExitCodeProcess(process.hProcess, &status)) {
    run.exitStatus = static_cast<int>(status);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  run.standardOutput = ReadBack(out.get());
  run.standardError = ReadBack(err.get());
  return run;
}

}  // namespace

HandlerRun RunHandler(const std::vector<std::string>& arguments) {
  return Spawn(nullptr, arguments);
}

HandlerRun RunHandlerIn(const std::vector<std::string>& environment,
                        const std::vector<std::string>& arguments) {
  return Spawn(&environment, arguments);
}

HandlerRun RunHandlerOn(const std::string& input,
                        const std::vector<std::string>& arguments) {
  return Spawn(nullptr, arguments, Wide(input));
}
