#include "I18NScan.h"

namespace {

bool IsWhiteSpace(unsigned int unit) {
  // Blank, then tab, line feed, vertical tab, form feed, carriage return.
  return unit == 0x20 || (unit >= 0x09 && unit <= 0x0D);
}

// One conversion of the format: %s or %[^set], stored or suppressed.
struct Conversion {
  bool stores = true;
  bool skipsWhiteSpace = false;
  // The excluded characters of %[^set]; empty for %s, which stops at white
  // space instead.
  const char16_t* setBegin = nullptr;
  const char16_t* setEnd = nullptr;

  bool Excludes(unsigned int unit) const {
    if (setBegin == setEnd) return IsWhiteSpace(unit);
    for (const char16_t* c = setBegin; c != setEnd; ++c) {
      if (*c == unit) return true;
    }
    return false;
  }
};

// Carries out one scan; the text and format pointers only move forward, so
// every code unit of either is looked at a bounded number of times.
class Scanner {
 public:
  Scanner(const unsigned short* text, const char16_t* format,
          const I18NScanField* fields, int fieldCount)
      : text_(text),
        format_(format),
        fields_(fields),
        fieldCount_(fieldCount) {}

  I18NScanOutcome Run() {
    while (*format_ != 0) {
      if (IsWhiteSpace(*format_)) {
        SkipWhiteSpaceDirective();
      } else if (*format_ != u'%') {
        if (*text_ == 0) return Stop(I18N_SCAN_INPUT_FAILURE, -1);
        if (*text_ != *format_) return Stop(I18N_SCAN_MATCHING_FAILURE, -1);
        ++text_;
        ++format_;
      } else {
        Conversion conversion;
        if (!ReadConversion(&conversion)) {
          return Stop(I18N_SCAN_FORMAT_ERROR, -1);
        }
        I18NScanOutcome failure;
        if (!Convert(conversion, &failure)) return failure;
      }
    }
    return Stop(I18N_SCAN_COMPLETE, -1);
  }

 private:
  void SkipWhiteSpaceDirective() {
    // A run of white space in the format is one directive.
    while (IsWhiteSpace(*format_)) ++format_;
    SkipWhiteSpaceInText();
  }

  void SkipWhiteSpaceInText() {
    while (*text_ != 0 && IsWhiteSpace(*text_)) ++text_;
  }

  // Reads the conversion after '%'; false when it is not one this scanner
  // knows.
  bool ReadConversion(Conversion* conversion) {
    ++format_;
    if (*format_ == u'*') {
      conversion->stores = false;
      ++format_;
    }
    if (*format_ == u's') {
      conversion->skipsWhiteSpace = true;
      ++format_;
      return true;
    }
    if (format_[0] != u'[' || format_[1] != u'^') return false;
    format_ += 2;
    conversion->setBegin = format_;
    while (*format_ != 0 && *format_ != u']') ++format_;
    conversion->setEnd = format_;
    if (*format_ != u']' || conversion->setBegin == conversion->setEnd) {
      return false;
    }
    ++format_;
    return true;
  }

  // Carries out `conversion`; on failure fills `failure` and returns false.
  bool Convert(const Conversion& conversion, I18NScanOutcome* failure) {
    const int field = conversion.stores ? stored_ : -1;
    if (conversion.stores && stored_ >= fieldCount_) {
      *failure = Stop(I18N_SCAN_FORMAT_ERROR, -1);
      return false;
    }
    if (conversion.skipsWhiteSpace) SkipWhiteSpaceInText();
    if (*text_ == 0) {
      *failure = Stop(I18N_SCAN_INPUT_FAILURE, field);
      return false;
    }
    int length = 0;
    while (text_[length] != 0 && !conversion.Excludes(text_[length])) {
      ++length;
    }
    if (length == 0) {
      *failure = Stop(I18N_SCAN_MATCHING_FAILURE, field);
      return false;
    }
    if (conversion.stores) {
      const I18NScanField& target = fields_[field];
      // Measured before anything is written, so a field that does not fit
      // leaves its buffer as it was.
      if (length >= target.capacity) {
        *failure = Stop(I18N_SCAN_FIELD_TOO_LONG, field);
        return false;
      }
      for (int i = 0; i < length; ++i) target.buffer[i] = text_[i];
      target.buffer[length] = 0;
      ++stored_;
    }
    text_ += length;
    ++completed_;
    return true;
  }

  I18NScanOutcome Stop(I18NScanStop why, int field) const {
    I18NScanOutcome outcome;
    // As in the C library: end of input before any conversion was completed
    // (a suppressed one counts) is reported as -1.
    outcome.result =
        (why == I18N_SCAN_INPUT_FAILURE && completed_ == 0) ? -1 : stored_;
    outcome.stop = why;
    outcome.stopField = field;
    return outcome;
  }

  const unsigned short* text_;
  const char16_t* format_;
  const I18NScanField* fields_;
  int fieldCount_;
  int stored_ = 0;
  int completed_ = 0;
};

}  // namespace

I18NScanOutcome I18NScanUTF16Outcome(const unsigned short* text,
                                     const char16_t* format,
                                     const I18NScanField* fields,
                                     int fieldCount) {
  return Scanner(text, format, fields, fieldCount).Run();
}

int I18NScanUTF16(const unsigned short* text, const char16_t* format,
                  const I18NScanField* fields, int fieldCount) {
  return I18NScanUTF16Outcome(text, format, fields, fieldCount).result;
}
