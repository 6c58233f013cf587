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

// Where a run's standard input comes from.
enum class StandardInput {
  kNullDevice,  // /dev/null, or NUL on Windows: a stream that is empty
  kFile,        // StandardStreams::inputFile
  kClosed,      // none at all: a closed descriptor, a null handle
};

// Where a run's standard output goes.
enum class StandardOutput {
  kCaptured,           // a scratch file, read back into standardOutput
  kClosed,             // none at all: a closed descriptor, a null handle
  kNullDevice,         // /dev/null, or NUL on Windows
  kAppendedToFile,     // StandardStreams::outputFile, opened for appending
  kPipeWithoutReader,  // a pipe whose reading end was closed before the run
};

// The standard streams of a run, as a host may set them up. Standard error
// is always captured.
struct StandardStreams {
  StandardInput input = StandardInput::kNullDevice;
  std::string inputFile;  // a UTF-8 name
  StandardOutput output = StandardOutput::kCaptured;
  // A UTF-8 name of a file that exists. After the run, standardOutput holds
  // the file's whole content.
  std::string outputFile;
};

// The same as RunHandler with the standard streams that `streams` sets up.
// standardOutput is empty unless the output is kCaptured or kAppendedToFile.
HandlerRun RunHandlerWith(const StandardStreams& streams,
                          const std::vector<std::string>& arguments);

// The same as RunHandler with standard input read from the file `input`
// (a UTF-8 name), as a host's shell redirection gives it.
inline HandlerRun RunHandlerOn(const std::string& input,
                               const std::vector<std::string>& arguments) {
  StandardStreams streams;
  streams.input = StandardInput::kFile;
  streams.inputFile = input;
  return RunHandlerWith(streams, arguments);
}

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
