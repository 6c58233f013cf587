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
  // encoding named by --encoding the platform default, and reads and decodes
  // the client output (FILE, or standard input when FILE is absent or "-").
  // --help and --version print their text on standard output and select no
  // query (identifier 0). Every command-line error, an unreadable FILE and an
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
