/* A POSIX host that runs vss-handler as the README's "Calling vss-handler
 * from a host" says, ready to copy: run_handler() is the whole recipe.
 *
 *   posix_host HANDLER COMMAND [OPTION...] FILE
 *
 * runs HANDLER (the path of vss-handler) with the rest of its own arguments,
 * writes the document the handler printed to its own standard output, byte
 * for byte, says on standard error what the answer is ("result", "error" or
 * "no query"), and exits with the handler's exit status. */
#define _POSIX_C_SOURCE 200809L
#include <errno.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

struct answer {
  char *document; /* UTF-8, as the handler wrote it */
  size_t size;    /* 0: nothing printed */
  int status;     /* waitpid's status */
};

/* Runs the handler on a client output that the host saved to a file (FILE is
 * in argv), and reads its answer. argv[0] is the handler's path. Returns 0, or
 * an errno value when the handler could not be run or read. */
static int run_handler(char *const argv[], struct answer *answer) {
  int out[2];
  if (pipe(out) != 0) return errno;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  /* The handler gets the write end as its standard output and nothing else:
   * with a read end of its own it would never learn that the host had
   * stopped reading, and would wait on a full pipe for ever. */
  posix_spawn_file_actions_addclose(&actions, out[0]);
  posix_spawn_file_actions_addclose(&actions, out[1]);
  pid_t child;
  int error = posix_spawn(&child, argv[0], &actions, NULL, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  /* This copy must go before reading, or the pipe would never end. */
  close(out[1]);
  if (error != 0) {
    close(out[0]);
    return error;
  }

  /* Read everything first, then wait: a handler whose answer fills the pipe
   * waits for the host to read it, and would never end while the host waited
   * for it. The pipe ends when the handler has ended. */
  answer->document = NULL;
  answer->size = 0;
  size_t capacity = 0;
  for (;;) {
    if (answer->size == capacity) {
      capacity = capacity == 0 ? 65536 : capacity * 2;
      char *larger = realloc(answer->document, capacity);
      if (larger == NULL) {
        error = ENOMEM;
        break;
      }
      answer->document = larger;
    }
    ssize_t got =
        read(out[0], answer->document + answer->size, capacity - answer->size);
    if (got > 0) {
      answer->size += (size_t)got;
    } else if (got == 0) {
      break;
    } else if (errno != EINTR) {
      error = errno;
      break;
    }
  }
  close(out[0]);
  while (waitpid(child, &answer->status, 0) < 0) {
    if (errno != EINTR) return errno;
  }
  return error;
}

int main(int argc, char *argv[]) {
  if (argc < 3) {
    fputs("usage: posix_host HANDLER COMMAND [OPTION...] FILE\n", stderr);
    return 2;
  }
  struct answer answer;
  int error = run_handler(argv + 1, &answer);
  if (error != 0) {
    fprintf(stderr, "posix_host: the handler did not run: %s\n",
            strerror(error));
    return 2;
  }

  fwrite(answer.document, 1, answer.size, stdout);
  /* Exit status 1 is the answer; 0 is a failure, and then the error document
   * says what failed, or no query, and then nothing was printed. A signal or
   * any other status is no answer of the handler's. */
  int code = WIFEXITED(answer.status) ? WEXITSTATUS(answer.status) : -1;
  if (code == 1) {
    fputs("result\n", stderr);
  } else if (code == 0) {
    fputs(answer.size == 0 ? "no query\n" : "error\n", stderr);
  } else {
    fputs("the handler ended without an answer\n", stderr);
    code = 2;
  }
  free(answer.document);
  return code;
}
