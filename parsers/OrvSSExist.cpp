#include "OrvSSExist.h"

#include "ClientMessages.h"

using client_messages::ClientFailure;
using client_messages::FindClientFailure;

void OrvSSExist::ProceesOutPut() {
  const I18NString& answer = ClientOutput();
  const ClientFailure failure = FindClientFailure(answer);
  if (failure.marker != nullptr) {
    succeeded = false;
    exists = false;
    Explanation().Explain([&] { ExplainClientFailure(answer, failure); });
    return;
  }
  succeeded = true;
  const int missing =
      client_messages::Find(answer, client_messages::kMissingItem);
  const int deleted =
      client_messages::Find(answer, client_messages::kDeletedItem);
  exists = missing == -1;
  if (deleted != -1) exists = false;
  Explanation().Explain([&] { ExplainAnswer(answer, missing, deleted); });
}

void OrvSSExist::ExplainClientFailure(const I18NString& answer,
                                      const ClientFailure& failure) const {
  OrvLineCounter lines(answer);
  Explanation().Say(OrvPlace::Line(lines.LineOf(failure.position)),
                    OrvQuotedText(failure.marker), ": ", failure.meaning,
                    "; succeeded false, exists false");
}

void OrvSSExist::ExplainAnswer(const I18NString& answer, int missing,
                               int deleted) const {
  OrvExplanation& explanation = Explanation();
  OrvLineCounter lines(answer);
  if (missing != -1) {
    explanation.Say(OrvPlace::Line(lines.LineOf(missing)),
                    OrvQuotedText(client_messages::kMissingItem),
                    ": the item is not in the database; exists false");
  }
  if (deleted != -1) {
    explanation.Say(OrvPlace::Line(lines.LineOf(deleted)),
                    OrvQuotedText(client_messages::kDeletedItem),
                    ": the item was deleted; exists false");
  }
  if (missing == -1 && deleted == -1) {
    explanation.Say(OrvPlace::ClientOutput(),
                    "no message that the item is missing or deleted, no "
                    "database error and no log-in prompt; exists true");
  }
}
