#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

#include "HandlerProcess.h"
#include "TestFiles.h"

namespace {

// NUL-terminated pointers into `texts`, for argv and envp.
std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// An anonymous scratch file that one output stream of the handler goes to:
// a file never fills and blocks the writer, as a pipe read later would.
using Capture = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

Capture NewCapture() {
  Capture file(std::tmpfile(), &std::fclose);
  if (!file) throw std::runtime_error("tmpfile failed");
  return file;
}

std::string ReadBack(std::FILE* file) {
  std::string text;
  const int fd = fileno(file);
  if (lseek(fd, 0, SEEK_SET) != 0) throw std::runtime_error("lseek failed");
  char chunk[65536];
  for (;;) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got > 0) {
      text.append(chunk, static_cast<size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      return text;
    }
  }
}

// Adds the action that gives the handler its standard input.
void SetUpInput(posix_spawn_file_actions_t& actions,
                const StandardStreams& streams) {
  switch (streams.input) {
    case StandardInput::kNullDevice:
      posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
      break;
    case StandardInput::kFile:
      posix_spawn_file_actions_addopen(&actions, 0, streams.inputFile.c_str(),
                                       O_RDONLY, 0);
      break;
    case StandardInput::kClosed:
      posix_spawn_file_actions_addclose(&actions, 0);
      break;
  }
}

// Adds the action that gives the handler its standard output; returns the
// descriptor that the parent closes once the handler has started, or -1.
int SetUpOutput(posix_spawn_file_actions_t& actions,
                const StandardStreams& streams, std::FILE* capture) {
  switch (streams.output) {
    case StandardOutput::kCaptured:
      posix_spawn_file_actions_adddup2(&actions, fileno(capture), 1);
      break;
    case StandardOutput::kClosed:
      posix_spawn_file_actions_addclose(&actions, 1);
      break;
    case StandardOutput::kNullDevice:
      posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
      break;
    case StandardOutput::kAppendedToFile:
      posix_spawn_file_actions_addopen(&actions, 1, streams.outputFile.c_str(),
                                       O_WRONLY | O_APPEND, 0);
      break;
    case StandardOutput::kPipeWithoutReader: {
      int ends[2];
      if (pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("no pipe");
      close(ends[0]);
      posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
      return ends[1];
    }
  }
  return -1;
}

HandlerRun Spawn(const std::string& program, char* const* environment,
                 const std::vector<std::string>& arguments,
                 const StandardStreams& streams = StandardStreams()) {
  std::vector<std::string> argvText{program};
  argvText.insert(argvText.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv = Pointers(argvText);

  Capture out = NewCapture();
  Capture err = NewCapture();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  SetUpInput(actions, streams);
  const int parentsEnd = SetUpOutput(actions, streams, out.get());
  posix_spawn_file_actions_adddup2(&actions, fileno(err.get()), 2);
  pid_t child;
  const int failed =
      posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environment);
  posix_spawn_file_actions_destroy(&actions);
  if (parentsEnd >= 0) close(parentsEnd);
  if (failed != 0) throw std::runtime_error("cannot start " + argvText[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  HandlerRun run;
  if (WIFEXITED(status)) run.exitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
  if (streams.output == StandardOutput::kCaptured) {
    run.standardOutput = ReadBack(out.get());
  } else if (streams.output == StandardOutput::kAppendedToFile) {
    run.standardOutput = ReadFile(streams.outputFile);
  }
  run.standardError = ReadBack(err.get());
  return run;
}

}  // namespace

HandlerRun RunHandler(const std::vector<std::string>& arguments) {
  return Spawn(VSS_HANDLER_BINARY, environ, arguments);
}

HandlerRun RunHandlerIn(const std::vector<std::string>& environment,
                        const std::vector<std::string>& arguments) {
  std::vector<std::string> variables = environment;
  return Spawn(VSS_HANDLER_BINARY, Pointers(variables).data(), arguments);
}

HandlerRun RunHandlerWith(const StandardStreams& streams,
                          const std::vector<std::string>& arguments) {
  return Spawn(VSS_HANDLER_BINARY, environ, arguments, streams);
}

HandlerRun RunProgram(const std::string& program,
                      const std::vector<std::string>& arguments) {
  return Spawn(program, environ, arguments);
}
