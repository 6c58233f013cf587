#include "OrvSSIsFileDifferent.h"

#include "ClientMessages.h"
#include "OrvFormatterErrors.h"
#include "OrvMessage.h"

namespace {

using client_messages::Find;
using client_messages::kFilesDifferent;
using client_messages::kFilesSame;

// The host reports this failure at the throw site it has always named, so
// its logs match whichever handler wrote them.
const char kThrowSiteFile[] = "OrvSSIsFileDifferent";
const int kThrowSiteLine = 94;

// Where a verdict's sentence starts: after the empty line its marker opens
// with.
const int kEmptyLineBefore = 2;

// The sentence of a verdict `marker` alone, without the line feeds around it.
I18NString Sentence(const char* marker) {
  const I18NString text = client_messages::Marker(marker);
  return text.substring(kEmptyLineBefore, text.length() - 1);
}

}  // namespace

void OrvSSIsFileDifferent::ProceesOutPut() {
  // "different" is tested first and decides alone: a report that holds both
  // sentences is an answer of "different".
  const int different = Find(ClientOutput(), kFilesDifferent);
  if (different != -1) {
    isDifferent = true;
    Explanation().Explain(
        [&] { ExplainVerdict(kFilesDifferent, different, "different true"); });
    return;
  }
  const int same = Find(ClientOutput(), kFilesSame);
  if (same != -1) {
    isDifferent = false;
    Explanation().Explain(
        [&] { ExplainVerdict(kFilesSame, same, "different false"); });
    return;
  }
  Explanation().Explain([&] { ExplainNoVerdict(); });
  OrvRaiseAt(ORV_MSG_DIFF_UNRECOGNISED, I18NString(), kThrowSiteFile,
             kThrowSiteLine, "OrvSSIsFileDifferent::ProceesOutPut()");
}

void OrvSSIsFileDifferent::ExplainVerdict(const char* marker, int position,
                                          const char* answer) const {
  OrvLineCounter lines(ClientOutput());
  Explanation().Say(OrvPlace::Line(lines.LineOf(position + kEmptyLineBefore)),
                    OrvQuoted{Sentence(marker)},
                    " on a line of its own after an empty line; ", answer);
}

void OrvSSIsFileDifferent::ExplainNoVerdict() const {
  OrvExplanation& explanation = Explanation();
  OrvLineCounter lines(ClientOutput());
  const int project = Find(ClientOutput(), client_messages::kProjectComparison);
  if (project != -1) {
    explanation.Say(OrvPlace::Line(lines.LineOf(project)),
                    OrvQuotedText(client_messages::kProjectComparison),
                    ": a project comparison, folder by folder, not the "
                    "comparison of one file");
  }
  // A verdict that stands elsewhere than on a line of its own after an
  // empty line is not the client's: a comparison can quote it.
  for (const char* marker : {kFilesDifferent, kFilesSame}) {
    const I18NString sentence = Sentence(marker);
    const int quoted = ClientOutput().find(sentence, 0);
    if (quoted == -1) continue;
    explanation.Say(OrvPlace::Line(lines.LineOf(quoted)), OrvQuoted{sentence},
                    " stands here, but not on a line of its own after an "
                    "empty line: it is not taken for the verdict");
  }
  explanation.Say(OrvPlace::ClientOutput(), "neither ",
                  OrvQuoted{Sentence(kFilesDifferent)}, " nor ",
                  OrvQuoted{Sentence(kFilesSame)},
                  " on a line of its own after an empty line: no answer, "
                  "the error document follows");
}
