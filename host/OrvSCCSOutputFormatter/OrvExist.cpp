#include "OrvExist.h"

#include "OrvXmlWriter.h"

OrvExist::OrvExist(OrvInputParams& params)
    : OrvCmdObject(params),
      succeeded(false),
      exists(false),
      clientOutput_(params.GetClientOutput()) {}

OrvExist::~OrvExist() {}

I18NString OrvExist::ConverToOrvFormat() {
  OrvXmlWriter writer;
  OrvOpenResult(writer, GetCommandID(), kQueryName);
  writer.AddAttribute(u"succeeded", succeeded);
  writer.AddAttribute(u"exists", exists);
  return writer.Finish();
}

I18NString OrvExist::GetPathInRepository() const { return clientOutput_; }
