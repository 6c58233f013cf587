#include "OrvCmdObject.h"

#include <string>

#include "OrvFormatterErrors.h"
#include "OrvMessage.h"
#include "OrvStdOut.h"
#include "OrvXmlWriter.h"
#include "PortSystem.h"

OrvCmdObject::OrvCmdObject(OrvInputParams& params, const char* queryName)
    : commandId_(params.GetCommandID()),
      queryName_(queryName),
      clientOutput_(params.GetClientOutput()),
      explanation_(params.GetExplanation()) {}

OrvCmdObject::~OrvCmdObject() {}

void OrvCmdObject::WriteToStdOut(I18NString& document) {
  uint32_t error = OrvWriteToStdOut(document);
  if (error == 0) return;
  ORV_RAISE(ORV_MSG_OUTPUT_FAILED,
            OrvFromUtf8(std::string("(") + PortErrorText(error) + ")"),
            "OrvCmdObject::WriteToStdOut()");
}

I18NString OrvCmdObject::ConverToOrvFormat() {
  OrvXmlWriter writer;
  writer.OpenElement(u"result");
  writer.AddAttribute(u"command", static_cast<long>(commandId_));
  writer.AddAttribute(u"query", queryName_);
  for (const OrvResultAttribute& attribute : ResultAttributes()) {
    if (attribute.text != nullptr) {
      writer.AddAttribute(attribute.name, *attribute.text);
    } else {
      writer.AddAttribute(attribute.name, attribute.flag);
    }
  }
  AddResultContent(writer);
  return writer.Finish();
}

std::vector<OrvResultAttribute> OrvCmdObject::ResultAttributes() const {
  return {};
}

void OrvCmdObject::AddResultContent(OrvXmlWriter&) const {}
