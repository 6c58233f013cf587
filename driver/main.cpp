#include "CommandDriver.h"

int main(int argc, char** argv) {
  return RunCommandDriver(argc, argv, kHandlerCommands, kHandlerCommandCount);
}
