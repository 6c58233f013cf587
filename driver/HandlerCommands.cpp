#include "CommandDriver.h"
#include "OrvSSCheckOut.h"
#include "OrvSSEnumChildren.h"
#include "OrvSSExist.h"
#include "OrvSSHistory.h"
#include "OrvSSIsFileDifferent.h"
#include "OrvSSProperties.h"

// Identifiers that no row names (0, 2, 7, negative ones, 10 and above)
// select no query.
const CommandDispatch kHandlerCommands[] = {
    {1, &RunQuery<OrvSSExist>},
    {3, &RunQuery<OrvSSCheckOut>},
    {4, &RunQuery<OrvSSHistory>},
    {5, &RunQuery<OrvSSEnumChildren>},
    {6, &RunQuery<OrvSSEnumChildren>},
    {8, &RunQuery<OrvSSProperties>},
    {9, &RunQuery<OrvSSIsFileDifferent>},
};

const std::size_t kHandlerCommandCount =
    sizeof(kHandlerCommands) / sizeof(kHandlerCommands[0]);
