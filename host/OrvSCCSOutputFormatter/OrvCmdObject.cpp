#include "OrvCmdObject.h"

#include <string>

#include "OrvFormatterErrors.h"
#include "OrvMessage.h"
#include "OrvStdOut.h"
#include "PortSystem.h"

OrvCmdObject::OrvCmdObject(OrvInputParams& params)
    : commandId_(params.GetCommandID()),
      explanation_(params.GetExplanation()) {}

OrvCmdObject::~OrvCmdObject() {}

void OrvCmdObject::WriteToStdOut(I18NString& document) {
  uint32_t error = OrvWriteToStdOut(document);
  if (error == 0) return;
  ORV_RAISE(ORV_MSG_OUTPUT_FAILED,
            OrvFromUtf8(std::string("(") + PortErrorText(error) + ")"));
}
