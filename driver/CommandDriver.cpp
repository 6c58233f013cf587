#include "CommandDriver.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <xercesc/util/PanicHandler.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLUni.hpp>

#include "OrvCmdLineArg.h"
#include "OrvErrorDocument.h"
#include "OrvStdOut.h"
#include "PortSystem.h"

namespace {

// Prints the fixed document `bytes` without allocating: standard output's
// stream, when it cannot get a buffer, writes through a one-byte one.
void WriteFixedDocument(const char* bytes) {
  std::fputs(bytes, stdout);
  std::fflush(stdout);
}

// The run's exit status once its output is complete, for the ends of the
// process that no caller sees: -1 while nothing has been answered.
int g_answeredExitStatus = -1;

// The XML platform's panics end the process here instead of in the library's
// default handler, which writes to standard error and exits 255. A panic
// while the platform starts comes before any output: the fixed exception
// document is the answer. Once the run has answered, a panic while the
// platform stops only ends the process with the run's exit status: the
// answer is whole and a second document would spoil it.
class HandlerPanicHandler : public xercesc::PanicHandler {
 public:
  void panic(const PanicReasons) override {
    if (g_answeredExitStatus >= 0) std::_Exit(g_answeredExitStatus);
    WriteFixedDocument(kOrvPlatformFailureDocument);
    std::_Exit(0);
  }
};

bool InitialisePlatform(HandlerPanicHandler& panicHandler) {
  try {
    xercesc::XMLPlatformUtils::Initialize(
        xercesc::XMLUni::fgXercescDefaultLocale, nullptr, &panicHandler,
        nullptr);
    return true;
  } catch (...) {
    return false;
  }
}

[[noreturn]] void ExitWithTheAnsweredStatus() {
  std::_Exit(g_answeredExitStatus);
}

// Stops the platform once the run's output is complete and flushed, with
// `exitStatus` as its exit status. Stopping frees the platform's tables and
// needs memory for it, some of it inside destructors, where a failure calls
// std::terminate instead of reaching a catch. Either way the answer stands:
// the process ends with the run's status, without an abort.
void TerminatePlatform(int exitStatus) {
  g_answeredExitStatus = exitStatus;
  const std::terminate_handler previous =
      std::set_terminate(&ExitWithTheAnsweredStatus);
  try {
    xercesc::XMLPlatformUtils::Terminate();
  } catch (...) {
  }
  std::set_terminate(previous);
}

// Prints the exception document for the exception being handled.
void WriteExceptionDocument() {
  I18NString document = OrvErrorDocument();
  // An empty document: there was no memory even for the fixed one.
  if (document.empty()) {
    WriteFixedDocument(kOrvFixedFailureDocument);
    return;
  }
  OrvWriteToStdOut(document);
}

}  // namespace

int RunCommandDriver(int argc, char** argv, const CommandDispatch* table,
                     std::size_t rows) {
  // The platform holds on to the handler until it is terminated, and may
  // panic as late as that.
  static HandlerPanicHandler panicHandler;
  g_answeredExitStatus = -1;
  if (!InitialisePlatform(panicHandler)) {
    WriteFixedDocument(kOrvPlatformFailureDocument);
    PortFlushAllStreams();
    return 0;
  }
  int exitStatus = 0;
  const std::size_t writtenBefore = OrvBytesWrittenToStdOut();
  try {
    OrvCmdLineArg commandLine(table, rows);
    commandLine.ProcessCmdParams(argc, argv);
    if (const CommandDispatch* query = commandLine.GetQuery()) {
      exitStatus = query->runQuery(commandLine.GetInputParams());
    }
  } catch (...) {
    // The query's objects are gone by now; the document reports the failure
    // and the exit status stays 0, even when the document cannot be written.
    // Once part of an answer is out, a second document would leave standard
    // output no document at all: then nothing more is written.
    if (OrvBytesWrittenToStdOut() == writtenBefore) {
      WriteExceptionDocument();
    }
  }
  PortFlushAllStreams();
  TerminatePlatform(exitStatus);
  return exitStatus;
}
