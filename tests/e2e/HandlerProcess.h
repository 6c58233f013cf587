#ifndef TESTS_E2E_HANDLERPROCESS_H_
#define TESTS_E2E_HANDLERPROCESS_H_

#include <string>
#include <vector>

// What one run of the handler printed and how it ended.
struct HandlerRun {
  std::string standardOutput;
  std::string standardError;
  int exitStatus = -1;  // -1 when the process did not exit normally
  int signal = 0;       // the signal that ended it, else 0
};

// Runs the handler binary with `arguments` (argv[1]...) in this process's
// environment, standard input from /dev/null, and returns what it printed.
HandlerRun RunHandler(const std::vector<std::string>& arguments);

// The same with exactly `environment` ("NAME=VALUE" each) as its
// environment.
HandlerRun RunHandlerIn(const std::vector<std::string>& environment,
                        const std::vector<std::string>& arguments);

// The same as RunHandler with standard input read from the file `input`
// (a UTF-8 name), as a host's shell redirection gives it.
HandlerRun RunHandlerOn(const std::string& input,
                        const std::vector<std::string>& arguments);

// Runs `program` (a host example, say) as RunHandler runs the handler.
HandlerRun RunProgram(const std::string& program,
                      const std::vector<std::string>& arguments);

#ifdef _WIN32
// Runs the batch file `batch` with `cmd.exe /c`, as a cmd.exe host runs it,
// each argument quoted as CommandLineToArgvW reads it back: %* hands the
// words on to a program as they stand.
HandlerRun RunBatchFile(const std::string& batch,
                        const std::vector<std::string>& arguments);
#endif

#endif  // TESTS_E2E_HANDLERPROCESS_H_
