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
    {1, &RunQuery<OrvSSExist>},            // exists
    {3, &RunQuery<OrvSSCheckOut>},         // checkout
    {4, &RunQuery<OrvSSHistory>},          // history
    {5, &RunQuery<OrvSSEnumChildren>},     // children
    {6, &RunQuery<OrvSSEnumChildren>},     // children, the same query
    {8, &RunQuery<OrvSSProperties>},       // properties
    {9, &RunQuery<OrvSSIsFileDifferent>},  // diff
};

const std::size_t kHandlerCommandCount =
    sizeof(kHandlerCommands) / sizeof(kHandlerCommands[0]);
