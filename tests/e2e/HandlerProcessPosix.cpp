#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

#include "HandlerProcess.h"

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

// `input`: the file that standard input reads.
HandlerRun Spawn(const std::string& program, char* const* environment,
                 const std::vector<std::string>& arguments,
                 const char* input = "/dev/null") {
  std::vector<std::string> argvText{program};
  argvText.insert(argvText.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv = Pointers(argvText);

  Capture out = NewCapture();
  Capture err = NewCapture();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, input, O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, fileno(out.get()), 1);
  posix_spawn_file_actions_adddup2(&actions, fileno(err.get()), 2);
  pid_t child;
  const int failed =
      posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environment);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) throw std::runtime_error("cannot start " + argvText[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  HandlerRun run;
  if (WIFEXITED(status)) run.exitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
  run.standardOutput = ReadBack(out.get());
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

HandlerRun RunHandlerOn(const std::string& input,
                        const std::vector<std::string>& arguments) {
  return Spawn(VSS_HANDLER_BINARY, environ, arguments, input.c_str());
}

HandlerRun RunProgram(const std::string& program,
                      const std::vector<std::string>& arguments) {
  return Spawn(program, environ, arguments);
}
