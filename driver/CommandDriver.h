#ifndef DRIVER_COMMANDDRIVER_H_
#define DRIVER_COMMANDDRIVER_H_

#include <cstddef>

#include "I18NString.h"
#include "OrvInputParams.h"

// Runs one query from start to end with a command object of type
// CommandObject, constructed on this function's stack: ProceesOutPut(),
// ConverToOrvFormat(), WriteToStdOut(). The document is destroyed before the
// command object. Returns the exit status of a written answer, 1. Every
// failure propagates to the caller.
template <class CommandObject>
int RunQuery(OrvInputParams& params) {
  CommandObject command(params);
  command.ProceesOutPut();
  I18NString document = command.ConverToOrvFormat();
  command.WriteToStdOut(document);
  return 1;
}

// One row of the dispatch table: a command identifier and the query it runs.
struct CommandDispatch {
  int commandId;
  int (*runQuery)(OrvInputParams& params);
};

// The handler's program: starts the XML platform, decodes the command line,
// runs the query that `table` (of `rows` rows) gives for the command
// identifier, prints the exception document after any failure that came
// before any byte of an answer was written, flushes every
// output stream and stops the XML platform. An identifier that no row names
// selects nothing. Returns the exit status: 1 when a query's result document
// was written, 0 in every other case.
int RunCommandDriver(int argc, char** argv, const CommandDispatch* table,
                     std::size_t rows);

// The handler's dispatch table: every query that has a command object.
extern const CommandDispatch kHandlerCommands[];
extern const std::size_t kHandlerCommandCount;

#endif  // DRIVER_COMMANDDRIVER_H_
