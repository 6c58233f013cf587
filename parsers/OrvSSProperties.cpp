#include "OrvSSProperties.h"

namespace {

const char kProjectContents[] = "Contains:";

}  // namespace

OrvSSProperties::OrvSSProperties(OrvInputParams& params)
    : OrvProperties(params) {}

OrvSSProperties::~OrvSSProperties() {}

void OrvSSProperties::ProceesOutPut() {
  const I18NString marker(kProjectContents, nullptr, -1, nullptr, nullptr);
  const I18NString properties = GetPathInRepository();
  isProject = properties.find(marker, 0) > -1;
}
