#include "OrvSSIsFileDifferent.h"

#include "OrvException.h"
#include "OrvMessage.h"

namespace {

// The sentences stand on a line of their own after an empty line; the line
// feeds are part of the match, so a sentence quoted inside other text is not
// taken for the client's verdict.
const char kDifferentMarker[] = "\n\nThe files are different.\n";
const char kSameMarker[] = "\n\nNo differences.\n";

const unsigned long kUnrecognisedComparison = 0x56177B77UL;

bool Contains(const I18NString& text, const char* marker) {
  return text.find(I18NString(marker, nullptr, -1, nullptr, nullptr), 0) != -1;
}

}  // namespace

OrvSSIsFileDifferent::OrvSSIsFileDifferent(OrvInputParams& params)
    : OrvIsFileDifferent(params) {}

OrvSSIsFileDifferent::~OrvSSIsFileDifferent() {}

void OrvSSIsFileDifferent::ProceesOutPut() {
  // "different" is tested first and decides alone: a report that holds both
  // sentences is an answer of "different".
  if (Contains(clientOutput, kDifferentMarker)) {
    isDifferent = true;
    return;
  }
  if (Contains(clientOutput, kSameMarker)) {
    isDifferent = false;
    return;
  }
  OrvMessage message(kUnrecognisedComparison);
  OrvException exception(kUnrecognisedComparison);
  static const WexSourceLocation kLocation = {"OrvSSIsFileDifferent", 94};
  (exception << message)
      .raise(&kLocation, "OrvSSIsFileDifferent::ProceesOutPut()", "WEX_THROW");
}
