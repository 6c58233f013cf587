#include "I18NScan.h"

#include <cstddef>

#include "I18NUnits.h"

namespace {

bool IsWhiteSpace(unsigned int unit) {
  // Blank, then tab, line feed, vertical tab, form feed, carriage return.
  return unit == 0x20 || (unit >= 0x09 && unit <= 0x0D);
}

// True for a format character that must stand as it is in the text.
bool IsLiteral(char16_t unit) {
  return unit != 0 && unit != u'%' && !IsWhiteSpace(unit);
}

// One conversion of the format: %s or %[^set], stored or suppressed.
struct Conversion {
  bool stores = true;
  bool skipsWhiteSpace = false;
  // The excluded characters of %[^set]; empty for %s, which stops at white
  // space instead.
  const char16_t* setBegin = nullptr;
  const char16_t* setEnd = nullptr;
};

// Where the run of units from `at` that `conversion` takes ends.
template <typename Unit>
const Unit* EndOfRun(const Conversion& conversion, const Unit* at,
                     const Unit* end) {
  if (conversion.setBegin == conversion.setEnd) {
    while (at != end && !IsWhiteSpace(*at)) ++at;
    return at;
  }
  // The templates' sets are one character (a line feed, a backspace), and
  // the runs they end are whole lines and comments: those are searched for.
  if (conversion.setEnd - conversion.setBegin == 1) {
    const char16_t excluded = *conversion.setBegin;
    // A unit that one-byte text cannot hold ends nothing there.
    if (excluded > static_cast<Unit>(~Unit{0})) return end;
    return i18n_units::FindUnit(at, end, static_cast<Unit>(excluded));
  }
  for (; at != end; ++at) {
    for (const char16_t* c = conversion.setBegin; c != conversion.setEnd; ++c) {
      if (*c == *at) return at;
    }
  }
  return at;
}

// Carries out one scan over the units [text, end) of one width; the text
// and format pointers only move forward, so every code unit of either is
// looked at a bounded number of times.
template <typename Unit>
class Scanner {
 public:
  Scanner(const Unit* text, const Unit* end, const char16_t* format,
          I18NScanField* fields, int fieldCount)
      : text_(text),
        at_(text),
        end_(i18n_units::FindUnit(text, end, Unit{0})),
        formatStart_(format),
        format_(format),
        fields_(fields),
        fieldCount_(fieldCount) {}

  I18NScanOutcome Run() {
    while (*format_ != 0) {
      if (IsWhiteSpace(*format_)) {
        SkipWhiteSpaceDirective();
      } else if (*format_ != u'%') {
        // A run of literal characters, up to white space or a conversion.
        do {
          if (at_ == end_) return Stop(I18N_SCAN_INPUT_FAILURE, -1, format_);
          if (*at_ != *format_)
            return Stop(I18N_SCAN_MATCHING_FAILURE, -1, format_);
          ++at_;
          ++format_;
        } while (IsLiteral(*format_));
      } else {
        directive_ = format_;
        Conversion conversion;
        if (!ReadConversion(&conversion)) {
          return Stop(I18N_SCAN_FORMAT_ERROR, -1, directive_);
        }
        I18NScanOutcome failure;
        if (!Convert(conversion, &failure)) return failure;
      }
    }
    return Stop(I18N_SCAN_COMPLETE, -1, format_);
  }

 private:
  void SkipWhiteSpaceDirective() {
    // A run of white space in the format is one directive.
    while (IsWhiteSpace(*format_)) ++format_;
    SkipWhiteSpaceInText();
  }

  void SkipWhiteSpaceInText() {
    while (at_ != end_ && IsWhiteSpace(*at_)) ++at_;
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
      *failure = Stop(I18N_SCAN_FORMAT_ERROR, -1, directive_);
      return false;
    }
    if (conversion.skipsWhiteSpace) SkipWhiteSpaceInText();
    if (at_ == end_) {
      *failure = Stop(I18N_SCAN_INPUT_FAILURE, field, directive_);
      return false;
    }
    const Unit* runEnd = EndOfRun(conversion, at_, end_);
    const std::ptrdiff_t length = runEnd - at_;
    if (length == 0) {
      *failure = Stop(I18N_SCAN_MATCHING_FAILURE, field, directive_);
      return false;
    }
    if (conversion.stores) {
      I18NScanField& target = fields_[field];
      if (length >= target.capacity) {
        *failure = Stop(I18N_SCAN_FIELD_TOO_LONG, field, directive_);
        return false;
      }
      target.start = static_cast<int>(at_ - text_);
      target.length = static_cast<int>(length);
      ++stored_;
    }
    at_ = runEnd;
    ++completed_;
    return true;
  }

  // The outcome of a scan that ended at the format directive at `where`.
  I18NScanOutcome Stop(I18NScanStop why, int field,
                       const char16_t* where) const {
    I18NScanOutcome outcome;
    // As in the C library: end of input before any conversion was completed
    // (a suppressed one counts) is reported as -1.
    outcome.result =
        (why == I18N_SCAN_INPUT_FAILURE && completed_ == 0) ? -1 : stored_;
    outcome.stop = why;
    outcome.stopField = field;
    outcome.textPosition = static_cast<int>(at_ - text_);
    outcome.formatPosition = static_cast<int>(where - formatStart_);
    return outcome;
  }

  const Unit* const text_;
  const Unit* at_;
  const Unit* const end_;
  const char16_t* const formatStart_;
  const char16_t* format_;
  // The '%' of the conversion being carried out.
  const char16_t* directive_ = nullptr;
  I18NScanField* fields_;
  int fieldCount_;
  int stored_ = 0;
  int completed_ = 0;
};

template <typename Unit>
I18NScanOutcome Scan(const Unit* units, int length, const char16_t* format,
                     I18NScanField* fields, int fieldCount) {
  return Scanner<Unit>(units, units + length, format, fields, fieldCount).Run();
}

}  // namespace

I18NScanOutcome I18NScanText(const I18NString& text, const char16_t* format,
                             I18NScanField* fields, int fieldCount) {
  // Read in the width the text is stored in: a copy in the other would cost
  // as much as the scan.
  if (text.isNarrow()) {
    return Scan(text.narrowData(), text.length(), format, fields, fieldCount);
  }
  return Scan(text.data(), text.length(), format, fields, fieldCount);
}
