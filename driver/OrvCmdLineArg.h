#ifndef DRIVER_ORVCMDLINEARG_H_
#define DRIVER_ORVCMDLINEARG_H_

#include <cstddef>

#include "CommandDriver.h"
#include "OrvExplanation.h"
#include "OrvInputParams.h"

// The rows of a query table, for range-for.
struct OrvQueryTable {
  const CommandDispatch* first;
  std::size_t rows;
  const CommandDispatch* begin() const { return first; }
  const CommandDispatch* end() const { return first + rows; }

  // The row of identifier `commandId`, or null when it selects no query.
  const CommandDispatch* Find(int commandId) const;
};

// Decodes the handler's command line:
//
//   vss-handler COMMAND [--encoding NAME] [--explain] [FILE]
//   vss-handler -h | --help | --version
//
// and reads the client output that it names. COMMAND's names and the
// identifiers that select a query come from a query table. Owns the
// OrvInputParams it fills; GetInputParams() is valid while the parser lives.
class OrvCmdLineArg {
 public:
  // A parser of the handler's own queries (kHandlerCommands).
  OrvCmdLineArg();

  // A parser of the queries of `queries` (`rows` rows), which must outlive
  // it.
  OrvCmdLineArg(const CommandDispatch* queries, std::size_t rows);
  virtual ~OrvCmdLineArg();

  // Decodes `argv` (argc entries, argv[0] the program name), makes the
  // encoding named by --encoding NAME (or --encoding=NAME) the platform
  // default, and reads and decodes the client output (FILE, or standard input
  // when FILE is absent or "-"); for an identifier that selects no query the
  // client output is not read. --explain makes the query's explanation write
  // its lines to standard error, the first of them about the client output
  // and its decoding. -h or --help prints the usage (one line
  // "  ID  NAME  SUMMARY" per named query) and --version the handler's and
  // the linked Xerces-C's versions on standard output; both select no query
  // (identifier 0), and the words after them are not looked at. Every
  // command-line error, an unreadable FILE and an unknown encoding throw
  // OrvException with a message that says what was wrong; a word that is no
  // COMMAND gets the closest query name, or the list of them.
  void ProcessCmdParams(int argc, char** argv);

  // The command identifier; 0 before ProcessCmdParams().
  int GetCommandID() const { return params_.GetCommandID(); }

  // The row of the query that the identifier selects; null before
  // ProcessCmdParams() and when it selects none.
  const CommandDispatch* GetQuery() const { return query_; }

  // The decoded input.
  OrvInputParams& GetInputParams() { return params_; }

 private:
  OrvQueryTable queries_;
  const CommandDispatch* query_ = nullptr;
  // Declared before params_, which points at it once --explain is given.
  OrvExplanation explanation_;
  OrvInputParams params_;
};

#endif  // DRIVER_ORVCMDLINEARG_H_
