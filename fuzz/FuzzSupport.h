#ifndef FUZZ_FUZZSUPPORT_H_
#define FUZZ_FUZZSUPPORT_H_

// What every query's fuzz target shares: turning the fuzzer's bytes into the
// decoded input of one query, and checking the document that the query
// produced. Linking this file also provides LLVMFuzzerInitialize, which starts
// the XML platform and loads schema/result.xsd once per process. Every failed
// check ends the process with __builtin_trap(), which libFuzzer reports as a
// finding together with the input.

#include <cstddef>
#include <cstdint>
#include <string>
#include <xercesc/dom/DOMElement.hpp>

#include "I18NString.h"
#include "OrvInputParams.h"

namespace fuzz {

// Builds the input of query `commandId` from the fuzzer's bytes, as the
// command-line reader does for a client-output file: the first byte picks
// the encoding (UTF-8, windows-1252 or IBM437), which becomes the process's
// default encoding, as --encoding makes it; the other bytes are decoded by
// the reader's own OrvDecodeClientOutput. An empty input gives an empty
// client output in UTF-8. Every other first byte's input is explained too,
// into an explanation that traps on a line that is not one line of text
// beginning with its place.
OrvInputParams MakeInput(const uint8_t* data, size_t size, int commandId);

// Parses `document` back with Xerces, validating it against the result
// schema, checks the declaration and the final line feed, and returns its
// root element. Traps on any error. The element lives until the next call.
const xercesc::DOMElement& ParseDocument(const I18NString& document);

// Traps unless `element` has attribute `name` whose value, as an XML parser
// reads it, is `expected` after the characters that XML cannot carry have
// been replaced with U+FFFD.
void ExpectAttribute(const xercesc::DOMElement& element, const char* name,
                     const std::u16string& expected);

// The same for an ASCII value such as "true" or a decimal number.
void ExpectAttribute(const xercesc::DOMElement& element, const char* name,
                     const char* expected);

// True when `text` holds the ASCII `marker` (one of the client's texts).
bool HoldsMarker(const std::u16string& text, const char* marker);

// "true" or "false".
const char* BoolText(bool value);

// `held` as an XML parser reads it back: every code unit that XML 1.0 cannot
// carry (controls other than tab, line feed and carriage return, U+FFFE,
// U+FFFF, an unpaired surrogate) replaced with U+FFFD.
std::u16string XmlVisible(const std::u16string& held);

// `escaped` with the five references &amp; &lt; &gt; &quot; &apos; decoded,
// left to right; the reverse of the formatter's escaping.
std::u16string Unescape(const std::u16string& escaped);

// The text content of `element`.
std::u16string TextOf(const xercesc::DOMElement& element);

// Traps unless `element` is named `name`.
void ExpectName(const xercesc::DOMElement& element, const char* name);

// Traps with `what` on standard error unless `condition` holds.
void Require(bool condition, const char* what);

}  // namespace fuzz

#endif  // FUZZ_FUZZSUPPORT_H_
