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
// A label record names its label on a line of this beginning; one without
// a Version header follows a line of asterisks of its own.
inline constexpr char kLabelLine[] = "Label:";
// History -R opens the records of each item of the project with a line of
// this beginning, "*****  cart.c  *****", then "Version 7" on a line alone.
inline constexpr char kChildHeader[] = "*****  ";
// The words that tell the history record layouts apart.
inline constexpr char kCreatedWord[] = "Created";
inline constexpr char kCommentWord[] = "Comment:";
inline constexpr char kCheckedInWord[] = "Checked in";

// `text` (ASCII) as an I18NString.
I18NString Marker(const char* text);

// True when `text` holds the ASCII `marker`.
bool Contains(const I18NString& text, const char* marker);

// Inside this prefix, the text that follows is a project comparison's
// (folder by folder), not a file comparison's.
inline constexpr char kProjectComparison[] = "Diffing:";

// A database error or a log-in prompt that a client output reports: the
// marker that decided and where it stands, or no marker (null) at -1.
struct ClientFailure {
  const char* marker = nullptr;
  int position = -1;
  // What the marker means, for a person.
  const char* meaning = nullptr;
};

// The database error or log-in prompt that `text` holds, tested in the
// client's order of precedence: missing database, incompatible database,
// then either prompt (both searched before either is looked at; the first
// in the text is reported).
ClientFailure FindClientFailure(const I18NString& text);

// True when `text` holds a database error or a log-in prompt.
bool ReportsClientFailure(const I18NString& text);

// The position of the ASCII `marker` in `text`, or -1.
int Find(const I18NString& text, const char* marker);

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

// Where the listing starts after the heading colon at `colon`: two
// characters after it, or -1 when that is past the end of `output`.
int HeadingCutPosition(const I18NString& output, int colon);

}  // namespace client_messages

#endif  // PARSERS_CLIENTMESSAGES_H_
