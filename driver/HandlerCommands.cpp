#include "CommandDriver.h"
#include "OrvSSIsFileDifferent.h"

// Identifiers that no row names (0, 2, 7, negative ones, 10 and above)
// select no query.
const CommandDispatch kHandlerCommands[] = {
    {9, &RunQuery<OrvSSIsFileDifferent>},
};

const std::size_t kHandlerCommandCount =
    sizeof(kHandlerCommands) / sizeof(kHandlerCommands[0]);
