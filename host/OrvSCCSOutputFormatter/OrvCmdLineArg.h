#ifndef ORVSCCSOUTPUTFORMATTER_ORVCMDLINEARG_H_
#define ORVSCCSOUTPUTFORMATTER_ORVCMDLINEARG_H_

#include "OrvInputParams.h"

// Decodes the handler's command line:
//
//   vss-handler COMMAND [--encoding NAME] [FILE]
//   vss-handler --help | --version
//
// and reads the client output that it names. Owns the OrvInputParams it
// fills; GetInputParams() is valid while the parser lives.
class OrvCmdLineArg {
 public:
  OrvCmdLineArg();
  virtual ~OrvCmdLineArg();

  // Decodes `argv` (argc entries, argv[0] the program name), makes the
  // encoding named by --encoding NAME (or --encoding=NAME) the platform
  // default, and reads and decodes the client output (FILE, or standard input
  // when FILE is absent or "-"); for an identifier that selects no query the
  // client output is not read. --help and --version print their text on
  // standard output and select no query (identifier 0); the words after them
  // are not looked at. Every command-line error, an unreadable FILE and an
  // unknown encoding throw OrvException with a message that says what was
  // wrong.
  void ProcessCmdParams(int argc, char** argv);

  // The command identifier (_CmdId); 0 before ProcessCmdParams().
  int GetCommandID() const { return _CmdId; }

  // The decoded input.
  OrvInputParams& GetInputParams() { return params_; }

 private:
  int _CmdId;
  OrvInputParams params_;
};

#endif  // ORVSCCSOUTPUTFORMATTER_ORVCMDLINEARG_H_
