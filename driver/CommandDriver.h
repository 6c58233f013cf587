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

// One row of a query table: a command identifier, the query it runs, and
// the query's name and one-line summary, ASCII, for the command line and its
// usage text. A row without a name gives a further identifier to the query of
// an earlier row with the same runQuery.
struct CommandDispatch {
  int commandId;
  int (*runQuery)(OrvInputParams& params);
  const char* name = nullptr;
  const char* summary = nullptr;
};

// The row of the query that CommandObject runs: its name is the command
// object's kQueryName.
template <class CommandObject>
constexpr CommandDispatch QueryRow(int commandId, const char* summary) {
  return {commandId, &RunQuery<CommandObject>, CommandObject::kQueryName,
          summary};
}

// A further identifier of the query that CommandObject runs, without a name.
template <class CommandObject>
constexpr CommandDispatch AliasRow(int commandId) {
  return {commandId, &RunQuery<CommandObject>};
}

// The handler's program: starts the XML platform, decodes the command line,
// runs the query that `table` (of `rows` rows) gives for the command
// identifier, prints the exception document after any failure that came
// before any byte of an answer was written, flushes every
// output stream and stops the XML platform. An identifier that no row names
// selects nothing. Returns the exit status: 1 when a query's result document
// was written, 0 in every other case. A panic of the XML platform while it
// starts prints the fixed exception document and ends the process with
// status 0; a failure while it stops ends the process with the status of
// the answer already written.
int RunCommandDriver(int argc, char** argv, const CommandDispatch* table,
                     std::size_t rows);

// The handler's query table: every query that has a command object. It
// drives the command-line names, the usage text and the dispatch.
extern const CommandDispatch kHandlerCommands[];
extern const std::size_t kHandlerCommandCount;

#endif  // DRIVER_COMMANDDRIVER_H_
