#include "OrvSSProperties.h"

#include "ClientMessages.h"

OrvSSProperties::OrvSSProperties(OrvInputParams& params)
    : OrvProperties(params) {}

OrvSSProperties::~OrvSSProperties() {}

void OrvSSProperties::ProceesOutPut() {
  isProject = client_messages::Contains(GetPathInRepository(),
                                        client_messages::kProjectContents);
}
