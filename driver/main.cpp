#include "CommandDriver.h"
#include "PortSystem.h"

int main(int argc, char** argv) {
  PortStartProcess();
  PortArguments arguments(argc, argv);
  return RunCommandDriver(arguments.count(), arguments.values(),
                          kHandlerCommands, kHandlerCommandCount);
}
