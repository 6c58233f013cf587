#ifndef ORVUTIL_ORVEXCEPTION_H_
#define ORVUTIL_ORVEXCEPTION_H_

#include "WexException.h"

// The utility library's exception: a WexException that always carries a
// message code. raise() throws it as an OrvException.
class OrvException : public WexException {
 public:
  explicit OrvException(long code);
  ~OrvException() override;

  [[noreturn]] void raise(const WexSourceLocation* location,
                          const char* function, const char* macro) override;
};

#endif  // ORVUTIL_ORVEXCEPTION_H_
