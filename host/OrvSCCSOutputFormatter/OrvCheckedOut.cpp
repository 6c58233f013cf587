#include "OrvCheckedOut.h"

#include "OrvXmlWriter.h"

OrvCheckedOut::OrvCheckedOut(OrvInputParams& params)
    : OrvCmdObject(params),
      clientOutput(params.GetClientOutput()),
      isCheckedOut(false) {}

OrvCheckedOut::~OrvCheckedOut() {}

I18NString OrvCheckedOut::ConverToOrvFormat() {
  OrvXmlWriter writer;
  OrvOpenResult(writer, GetCommandID(), kQueryName);
  writer.AddAttribute(u"checkedOut", isCheckedOut);
  writer.AddAttribute(u"user", checkedOutBy);
  return writer.Finish();
}
