#include <windows.h>

#include <stdexcept>

#include "HandlerProcess.h"

namespace {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int units = MultiByteToWideChar(
      CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                      wide.data(), units);
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

std::string ReadAll(HANDLE pipe) {
  std::string text;
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(pipe, chunk, sizeof chunk, &got, nullptr) && got > 0) {
    text.append(chunk, got);
  }
  return text;
}

}  // namespace

HandlerRun RunHandler(const std::vector<std::string>& arguments) {
  const std::wstring program = Wide(VSS_HANDLER_BINARY);
  std::wstring commandLine = Quoted(program);
  for (const std::string& argument : arguments) {
    commandLine += L' ' + Quoted(Wide(argument));
  }

  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherited, 0)) {
    throw std::runtime_error("CreatePipe failed");
  }
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  HANDLE nul = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ, &inherited,
                           OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nul;
  startup.hStdOutput = writeEnd;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  const BOOL started =
      CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr,
                     TRUE, 0, nullptr, nullptr, &startup, &process);
  CloseHandle(writeEnd);
  CloseHandle(nul);
  if (!started) {
    CloseHandle(readEnd);
    throw std::runtime_error("cannot start " + std::string(VSS_HANDLER_BINARY));
  }
  HandlerRun run;
  run.standardOutput = ReadAll(readEnd);
  CloseHandle(readEnd);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  if (GetExitCodeProcess(process.hProcess, &status)) {
    run.exitStatus = static_cast<int>(status);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}
