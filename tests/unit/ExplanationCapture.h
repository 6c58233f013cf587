// An explanation whose lines a test reads back instead of standard error.
#ifndef TESTS_UNIT_EXPLANATIONCAPTURE_H_
#define TESTS_UNIT_EXPLANATIONCAPTURE_H_

#include <cstddef>
#include <string>

#include "OrvExplanation.h"

class CapturedExplanation {
 public:
  CapturedExplanation() { explanation_.Enable(&Append, this); }
  CapturedExplanation(const CapturedExplanation&) = delete;
  CapturedExplanation& operator=(const CapturedExplanation&) = delete;

  OrvExplanation& explanation() { return explanation_; }

  // Every line said so far, and how many pieces the writer was given.
  const std::string& Text() {
    explanation_.Flush();
    return text_;
  }
  int Writes() const { return writes_; }

 private:
  static void Append(const char* text, std::size_t count, void* context) {
    CapturedExplanation* self = static_cast<CapturedExplanation*>(context);
    self->text_.append(text, count);
    ++self->writes_;
  }

  // Before the explanation, which hands over what it holds as it goes.
  std::string text_;
  int writes_ = 0;
  OrvExplanation explanation_;
};

#endif  // TESTS_UNIT_EXPLANATIONCAPTURE_H_
