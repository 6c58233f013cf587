#include "CommandDriver.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <xercesc/util/PanicHandler.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLUni.hpp>

#include "OrvCmdLineArg.h"
#include "OrvFormatterUtility.h"

namespace {

// Printed when the XML platform itself cannot start: nothing that builds
// documents works then, so the exception document is a fixed text.
const char kPlatformFailureDocument[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
    "<error>The XML platform could not be initialised.</error>\n";

// Prints the fixed document `bytes` without allocating: standard output's
// stream, when it cannot get a buffer, writes through a one-byte one.
void WriteFixedDocument(const char* bytes) {
  std::fputs(bytes, stdout);
  std::fflush(stdout);
}

const CommandDispatch* FindCommand(int commandId, const CommandDispatch* table,
                                   std::size_t rows) {
  for (std::size_t row = 0; row < rows; ++row) {
    if (table[row].commandId == commandId) return &table[row];
  }
  return nullptr;
}

// The XML platform's panics end the process here instead of in the library's
// default handler, which writes to standard error and exits 255. A panic
// while the platform starts comes before any output: the fixed exception
// document is the answer. Once the run has answered, a panic while the
// platform stops only ends the process with the run's exit status: the
// answer is whole and a second document would spoil it.
class HandlerPanicHandler : public xercesc::PanicHandler {
 public:
  void panic(const PanicReasons) override {
    if (answered_) std::_Exit(exitStatus_);
    WriteFixedDocument(kPlatformFailureDocument);
    std::_Exit(0);
  }

  // Called once the run's output is complete, with its exit status.
  void Answered(int exitStatus) {
    answered_ = true;
    exitStatus_ = exitStatus;
  }

 private:
  bool answered_ = false;
  int exitStatus_ = 0;
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

// Stopping the platform frees its tables and may itself need memory; the
// run's answer is complete by then, so a failure there changes nothing.
void TerminatePlatform() {
  try {
    xercesc::XMLPlatformUtils::Terminate();
  } catch (...) {
  }
}

// Prints the exception document for the exception being handled.
void WriteExceptionDocument() {
  I18NString document = OrvFormatterUtility::GetExceptionThrownDoc();
  // An empty document: there was no memory even for the fixed one.
  if (document.empty()) {
    WriteFixedDocument(OrvFormatterUtility::kFixedFailureDocument);
    return;
  }
  OrvFormatterUtility::WriteToStdOut(document);
}

// Flushes every output stream, C and C++ alike, before the process ends.
void FlushAllStreams() {
  std::cout.flush();
  std::fflush(nullptr);
}

}  // namespace

int RunCommandDriver(int argc, char** argv, const CommandDispatch* table,
                     std::size_t rows) {
  // The platform holds on to the handler until it is terminated, and may
  // panic as late as that.
  static HandlerPanicHandler panicHandler;
  if (!InitialisePlatform(panicHandler)) {
    WriteFixedDocument(kPlatformFailureDocument);
    FlushAllStreams();
    return 0;
  }
  int exitStatus = 0;
  try {
    OrvCmdLineArg commandLine;
    commandLine.ProcessCmdParams(argc, argv);
    const CommandDispatch* command =
        FindCommand(commandLine.GetCommandID(), table, rows);
    if (command != nullptr) {
      exitStatus = command->runQuery(commandLine.GetInputParams());
    }
  } catch (...) {
    // The query's objects are gone by now; the document reports the failure
    // and the exit status stays 0, even when the document cannot be written.
    WriteExceptionDocument();
  }
  FlushAllStreams();
  panicHandler.Answered(exitStatus);
  TerminatePlatform();
  return exitStatus;
}
