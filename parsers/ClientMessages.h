#ifndef PARSERS_CLIENTMESSAGES_H_
#define PARSERS_CLIENTMESSAGES_H_

// The texts of the English client that the command objects look for, and the
// tests that more than one query shares. Every text the parsers search the
// client output for is written here and nowhere else, so a change of the
// client's wording is a change of one line.

#include "I18NString.h"

namespace client_messages {

// The client found no database to open.
inline constexpr char kNoDatabase[] = "No VSS database (srcsafe.ini) found.";
// The database is of a version the client cannot read.
inline constexpr char kIncompatibleDatabase[] = "Incompatible database version";
// The client asks for a log-in; the prompts end without a line feed.
inline constexpr char kUserNamePrompt[] = "Username:";
inline constexpr char kPasswordPrompt[] = "Password:";

// Existence: the item is missing, or was deleted.
inline constexpr char kMissingItem[] = "is not an existing filename or project";
inline constexpr char kDeletedItem[] = "has been deleted";

// Child listing: the listing ends at the first empty line; the item count
// follows it.
inline constexpr char kBlankLine[] = "\n\n";
// A listing of exactly this is an answer without children, not a file.
inline constexpr char kExit[] = "-Exit-";
inline constexpr char kEmptyProject[] = "No items found under";

// Checked-out status: nobody has the file checked out.
inline constexpr char kNoCheckouts[] = "No checked out files found.";

// Properties: only a project's properties hold this line (its file and
// sub-project counts).
inline constexpr char kProjectContents[] = "Contains:";

// Comparison: the sentences stand on a line of their own after an empty
// line; the line feeds are part of the match, so a sentence quoted inside
// other text is not taken for the client's verdict.
inline constexpr char kFilesDifferent[] = "\n\nThe files are different.\n";
inline constexpr char kFilesSame[] = "\n\nNo differences.\n";

// History: opens every entry of the listing.
inline constexpr char kRecordMarker[] = "*****************  Version";
// The words that tell the history record layouts apart.
inline constexpr char kCreatedWord[] = "Created";
inline constexpr char kCommentWord[] = "Comment:";
inline constexpr char kCheckedInWord[] = "Checked in";

// `text` (ASCII) as an I18NString.
I18NString Marker(const char* text);

// True when `text` holds the ASCII `marker`.
bool Contains(const I18NString& text, const char* marker);

// True when `text` holds a database error or a log-in prompt, tested in the
// client's order of precedence: missing database, incompatible database,
// then either prompt (both searched before either is looked at).
bool ReportsClientFailure(const I18NString& text);

// The client output cut after its heading "$/proj:": `heading` is everything
// up to the first colon, the colon and the one character after it (the
// heading's line feed), `listing` the rest. A colon at the very end, or just
// before it, leaves the listing empty; without a colon (`hasColon` false) the
// heading is empty and the listing is the whole output.
struct HeadingCut {
  bool hasColon = false;
  I18NString heading;
  I18NString listing;
};

// Cuts `output` after the first colon, as HeadingCut describes.
HeadingCut CutAtHeadingColon(const I18NString& output);

}  // namespace client_messages

#endif  // PARSERS_CLIENTMESSAGES_H_
