#ifndef WEXCORE_I18NSCAN_H_
#define WEXCORE_I18NSCAN_H_

#include "I18NString.h"

// A formatted-input scanner over I18NString text, in place of the runtime's
// wide scanf: on this platform wchar_t is 32 bits, while the host's text is
// 16-bit code units, and the standard wide scanf reads %s and %[ as narrow
// text. The scanner follows swscanf's rules for the directives it knows.
// It copies nothing: each storing conversion reports where its field stands
// in the text, and the caller takes the field as a substring, which shares
// the text's storage.
//
// Directives:
//   - white space (blank, tab, LF, VT, FF, CR) in the format: skips any
//     amount of white space in the text, none included; never fails.
//   - %s: skips leading white space, then stores one or more characters that
//     are not white space.
//   - %[^set]: stores one or more characters that are not in `set` (the
//     characters up to the closing bracket; at least one). No white space is
//     skipped first.
//   - %*s, %*[^set]: the same, storing nothing and not counted.
//   - any other character: must stand next in the text.
// White space means exactly blank, tab, line feed, vertical tab, form feed
// and carriage return. The text ends at its first zero code unit, as a
// zero-terminated buffer handed to swscanf would.
//
// Cost: linear in the length of the text plus the length of the format.

// One storing conversion's field. A field of `capacity` code units or more
// is refused: it would not fit, with its terminator, in a buffer of
// `capacity` units. A stored field's `start` and `length` (in code units)
// say where it stands in the text; they are not touched otherwise.
struct I18NScanField {
  int capacity;
  int start;
  int length;
};

// Why a scan ended.
enum I18NScanStop {
  // Every directive of the format was carried out.
  I18N_SCAN_COMPLETE = 0,
  // The text ended where a directive needed a character (swscanf's input
  // failure).
  I18N_SCAN_INPUT_FAILURE = 1,
  // The next character did not fit a literal or a conversion (swscanf's
  // matching failure).
  I18N_SCAN_MATCHING_FAILURE = 2,
  // A field was as long as its capacity or longer; it was not stored.
  I18N_SCAN_FIELD_TOO_LONG = 3,
  // The format holds a directive the scanner does not know, or more storing
  // conversions than there are fields.
  I18N_SCAN_FORMAT_ERROR = 4,
};

// The whole account of a scan, for callers that must know where it stopped.
struct I18NScanOutcome {
  // What swscanf would return: the number of fields stored, or -1 when the
  // text ended before the first conversion (stored or not) was completed. A
  // field too long for its capacity ends the scan like a matching failure,
  // so the count stays below the number of storing conversions.
  int result;
  // Why the scan ended.
  I18NScanStop stop;
  // Index into the fields of the storing conversion that ended the scan, or
  // -1 when the scan ended elsewhere (complete, at a literal, at a white-space
  // directive, at a conversion that stores nothing, or at a format error).
  int stopField;
  // Where the scan ended, for callers that say why: the position in the text
  // of the unit the failing directive looked at (after the white space a
  // conversion skips; the text's length when it had ended), and the offset
  // in the format of the literal character that did not match or of the '%'
  // of the conversion that failed. After a complete scan, where the text
  // was left and the format's length.
  int textPosition;
  int formatPosition;
};

// Scans `text` by `format` into `fields` (`fieldCount` of them, used in the
// order of the storing conversions). Stops at the first directive that fails;
// fields stored before it keep their places, later ones are not touched.
// REQUIRES: format is zero-terminated; `fields` holds `fieldCount` fields.
I18NScanOutcome I18NScanText(const I18NString& text, const char16_t* format,
                             I18NScanField* fields, int fieldCount);

#endif  // WEXCORE_I18NSCAN_H_
