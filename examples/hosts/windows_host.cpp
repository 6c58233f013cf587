// A Windows host that runs vss-handler as the README's "Calling vss-handler
// from a host" says, ready to copy: RunHandler() is the whole recipe.
//
//   windows_host HANDLER COMMAND [OPTION...] FILE
//
// runs HANDLER (the path of vss-handler.exe) with the rest of its own
// arguments (quoted as windows_quoted.h says), writes the document the handler
// printed to its own standard output, byte for byte, says on standard error
// what the answer is ("result", "error" or "no query"), and exits with the
// handler's exit status.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "windows_quoted.h"

namespace {

struct Answer {
  std::string document;  // UTF-8, as the handler wrote it; empty: no query
  DWORD exitCode = 0;    // 1: a result document; 0: an error document or none
};

// Runs the handler on a client output that the host saved to a file (FILE is
// among `arguments`), and reads its answer. Returns 0, or the system's error
// code when the handler could not be run or read.
DWORD RunHandler(const std::wstring& handler,
                 const std::vector<std::wstring>& arguments, Answer& answer) {
  std::wstring commandLine = Quoted(handler);
  for (const std::wstring& argument : arguments) {
    commandLine += L' ' + Quoted(argument);
  }

  // Standard output goes into a pipe, and the handler gets its write end
  // only: with a read end of its own it would never learn that the host had
  // stopped reading, and would wait on a full pipe for ever.
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return GetLastError();
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  // The handler reads FILE, not standard input, and writes to standard error
  // only when --explain asks it to: both are the null device here.
  HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                           OPEN_EXISTING, 0, nullptr);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nul;
  startup.hStdOutput = writeEnd;
  startup.hStdError = nul;
  PROCESS_INFORMATION process{};
  // CREATE_NO_WINDOW: a host without a console of its own shows none.
  const DWORD startError =
      CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE,
                     CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)
          ? 0
          : GetLastError();
  // The handler holds its own copies now. This one must go before reading,
  // or the pipe would stay open after the handler ends.
  CloseHandle(writeEnd);
  CloseHandle(nul);
  if (startError != 0) {
    CloseHandle(readEnd);
    return startError;
  }

  // Read everything first, then wait: a handler whose answer fills the pipe
  // waits for the host to read it, and would never end while the host waited
  // for it. The pipe breaks when the handler has ended.
  answer.document.clear();
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr)) {
    answer.document.append(chunk, got);
  }
  DWORD error = GetLastError();
  if (error == ERROR_BROKEN_PIPE) error = 0;
  CloseHandle(readEnd);
  WaitForSingleObject(process.hProcess, INFINITE);
  if (!GetExitCodeProcess(process.hProcess, &answer.exitCode) && error == 0) {
    error = GetLastError();
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return error;
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (words == nullptr || count < 3) {
    std::fputs("usage: windows_host HANDLER COMMAND [OPTION...] FILE\n",
               stderr);
    return 2;
  }
  const std::vector<std::wstring> arguments(words + 2, words + count);
  Answer answer;
  const DWORD error = RunHandler(words[1], arguments, answer);
  LocalFree(words);
  if (error != 0) {
    std::fprintf(stderr, "windows_host: the handler did not run (error %lu)\n",
                 error);
    return 2;
  }

  // The document goes on as it came: UTF-8 with LF line ends, no console
  // code page and no CR added.
  _setmode(_fileno(stdout), _O_BINARY);
  std::fwrite(answer.document.data(), 1, answer.document.size(), stdout);
  // Exit status 1 is the answer; 0 is a failure, and then the error document
  // says what failed, or no query, and then nothing was printed. Any other
  // status is no status of the handler's (an exception ended it).
  if (answer.exitCode == 1) {
    std::fputs("result\n", stderr);
  } else if (answer.exitCode == 0) {
    std::fputs(answer.document.empty() ? "no query\n" : "error\n", stderr);
  } else {
    std::fprintf(stderr, "the handler ended with status 0x%08lX\n",
                 answer.exitCode);
  }
  return static_cast<int>(answer.exitCode);
}
