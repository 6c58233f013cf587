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
    QueryRow<OrvSSExist>(1, u"does the item (file or project) exist"),
    QueryRow<OrvSSCheckOut>(3, u"is the file checked out, and by whom"),
    QueryRow<OrvSSHistory>(4, u"the versions of an item"),
    QueryRow<OrvSSEnumChildren>(5, u"the files and sub-projects of a project"),
    AliasRow<OrvSSEnumChildren>(6),
    QueryRow<OrvSSProperties>(8, u"is the item a project"),
    QueryRow<OrvSSIsFileDifferent>(9,
                                   u"do the working copy and the stored copy "
                                   u"differ"),
};

const std::size_t kHandlerCommandCount =
    sizeof(kHandlerCommands) / sizeof(kHandlerCommands[0]);
