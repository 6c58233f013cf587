#include "OrvSSProperties.h"

#include "ClientMessages.h"

void OrvSSProperties::ProceesOutPut() {
  const I18NString& properties = ClientOutput();
  const int contents =
      client_messages::Find(properties, client_messages::kProjectContents);
  isProject = contents > -1;

  Explanation().Explain([&] { ExplainAnswer(properties, contents); });
}

void OrvSSProperties::ExplainAnswer(const I18NString& properties,
                                    int contents) const {
  OrvExplanation& explanation = Explanation();
  if (contents == -1) {
    explanation.Say(OrvPlace::ClientOutput(), "no ",
                    OrvQuotedText(client_messages::kProjectContents),
                    " (a file's properties, or a client message); project "
                    "false");
    return;
  }
  OrvLineCounter lines(properties);
  explanation.Say(OrvPlace::Line(lines.LineOf(contents)),
                  OrvQuotedText(client_messages::kProjectContents),
                  ": only a project's properties list its contents; project "
                  "true");
}
