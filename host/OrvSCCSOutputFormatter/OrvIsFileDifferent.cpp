#include "OrvIsFileDifferent.h"

#include "OrvXmlWriter.h"

OrvIsFileDifferent::OrvIsFileDifferent(OrvInputParams& params)
    : OrvCmdObject(params),
      isDifferent(false),
      clientOutput(params.GetClientOutput()) {}

OrvIsFileDifferent::~OrvIsFileDifferent() {}

I18NString OrvIsFileDifferent::ConverToOrvFormat() {
  OrvXmlWriter writer;
  OrvOpenResult(writer, GetCommandID(), kQueryName);
  writer.AddAttribute(u"different", isDifferent);
  return writer.Finish();
}
