#include "CommandDriver.h"
#include "OrvSSCheckOut.h"
#include "OrvSSEnumChildren.h"
#include "OrvSSExist.h"
#include "OrvSSHistory.h"
#include "OrvSSIsFileDifferent.h"
#include "OrvSSProperties.h"

// Identifiers that no row names select no query.
const CommandDispatch kHandlerCommands[] = {
    QueryRow<OrvSSExist>(1, "does the item (file or project) exist"),
    QueryRow<OrvSSCheckOut>(3, "is the file checked out, and by whom"),
    QueryRow<OrvSSHistory>(4, "the versions of an item"),
    QueryRow<OrvSSEnumChildren>(5, "the files and sub-projects of a project"),
    AliasRow<OrvSSEnumChildren>(6),
    QueryRow<OrvSSProperties>(8, "is the item a project"),
    QueryRow<OrvSSIsFileDifferent>(9,
                                   "do the working copy and the stored copy "
                                   "differ"),
};

const std::size_t kHandlerCommandCount =
    sizeof(kHandlerCommands) / sizeof(kHandlerCommands[0]);
