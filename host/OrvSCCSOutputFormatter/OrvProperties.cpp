#include "OrvProperties.h"

#include "OrvXmlWriter.h"

OrvProperties::OrvProperties(OrvInputParams& params)
    : OrvCmdObject(params),
      isProject(false),
      clientOutput_(params.GetClientOutput()) {}

OrvProperties::~OrvProperties() {}

I18NString OrvProperties::ConverToOrvFormat() {
  OrvXmlWriter writer;
  OrvOpenResult(writer, GetCommandID(), kQueryName);
  writer.AddAttribute(u"project", isProject);
  return writer.Finish();
}

I18NString OrvProperties::GetPathInRepository() const { return clientOutput_; }
