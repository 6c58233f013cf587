#ifndef ORVSCCSOUTPUTFORMATTER_ORVERRORDOCUMENT_H_
#define ORVSCCSOUTPUTFORMATTER_ORVERRORDOCUMENT_H_

#include "I18NString.h"

// The exception document for a failure whose report cannot be built (no
// memory), as zero-terminated UTF-8 bytes: printing it needs no memory.
extern const char kOrvFixedFailureDocument[];

// The exception document for an XML platform that cannot start, when
// nothing that builds documents works; as kOrvFixedFailureDocument.
extern const char kOrvPlatformFailureDocument[];

// The exception document for the exception being handled: called inside a
// catch handler, it reports that exception's message code and text; outside
// one, or for an exception the host does not know, a generic failure.
// Never throws: when even that document cannot be built, a fixed one is
// returned.
I18NString OrvErrorDocument();

#endif  // ORVSCCSOUTPUTFORMATTER_ORVERRORDOCUMENT_H_
