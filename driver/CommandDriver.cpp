#include "CommandDriver.h"

#include <cstdio>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLUni.hpp>

#include "OrvCmdLineArg.h"
#include "OrvFormatterUtility.h"
#include "PortSystem.h"

namespace {

// Printed when the XML platform itself cannot start: nothing that builds
// documents works then, so the exception document is a fixed text.
const char kPlatformFailureDocument[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
    "<error>The XML platform could not be initialised.</error>\n";

const CommandDispatch* FindCommand(int commandId, const CommandDispatch* table,
                                   std::size_t rows) {
  for (std::size_t row = 0; row < rows; ++row) {
    if (table[row].commandId == commandId) return &table[row];
  }
  return nullptr;
}

bool InitialisePlatform() {
  try {
    // The library's defaults throughout: no message-file home, no panic
    // handler, the default memory manager.
    xercesc::XMLPlatformUtils::Initialize(
        xercesc::XMLUni::fgXercescDefaultLocale, nullptr, nullptr, nullptr);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace

int RunCommandDriver(int argc, char** argv, const CommandDispatch* table,
                     std::size_t rows) {
  if (!InitialisePlatform()) {
    std::fputs(kPlatformFailureDocument, stdout);
    PortFlushAllStreams();
    return 0;
  }
  int exitStatus = 0;
  const std::size_t writtenBefore = OrvFormatterUtility::BytesWrittenToStdOut();
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
    // Once part of an answer is out, a second document would leave standard
    // output no document at all: then nothing more is written.
    if (OrvFormatterUtility::BytesWrittenToStdOut() == writtenBefore) {
      I18NString document = OrvFormatterUtility::GetExceptionThrownDoc();
      OrvFormatterUtility::WriteToStdOut(document);
    }
  }
  PortFlushAllStreams();
  xercesc::XMLPlatformUtils::Terminate();
  return exitStatus;
}
