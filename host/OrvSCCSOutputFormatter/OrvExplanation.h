#ifndef ORVSCCSOUTPUTFORMATTER_ORVEXPLANATION_H_
#define ORVSCCSOUTPUTFORMATTER_ORVEXPLANATION_H_

// Why an answer says what it says (--explain): one line per decision that a
// query made, written to standard error, each beginning with the place in the
// client output it concerns ("line 12: ...", "lines 1-2: ...",
// "client output: ...").
//
// Explaining never changes an answer: nothing here throws, a line that cannot
// be made (no memory) or written (standard error closed or full) is lost, and
// standard output and the exit status stay what they would be without it.
// A silent explanation (the default) does nothing at all: callers work out
// what to say inside Explain(), which runs only when lines are written.

#include <cstddef>
#include <string>
#include <type_traits>

#include "I18NString.h"

// Client text as a line quotes it: in double quotes, a backslash, a quote and
// every control character escaped (\n, \r, \t, \xNN), cut after `maxUnits`
// code units with "..." after the closing quote.
struct OrvQuoted {
  const I18NString& text;
  int maxUnits = 60;
};

// Bytes as a line quotes them: in double quotes, printable ASCII as it is,
// every other byte as \xNN.
struct OrvQuotedBytes {
  const char* bytes;
  std::size_t count;
};

// Text of the handler's own world (a marker, a file name) as a line quotes
// it: UTF-8, in double quotes, escaped as OrvQuoted escapes. It refers to
// the text, which must outlive it.
struct OrvQuotedText {
  OrvQuotedText(const char* text);         // NOLINT: stands for the text
  OrvQuotedText(const std::string& text);  // NOLINT
  // A piece that adds nothing to the line, not even the quotes.
  static OrvQuotedText Nothing() { return OrvQuotedText(nullptr, 0); }

  const char* utf8;
  std::size_t size;

 private:
  OrvQuotedText(const char* text, std::size_t length)
      : utf8(text), size(length) {}
};

// A number of things as a line counts them: "1 line", "3 lines".
struct OrvCount {
  long long number;
  const char* one;
  const char* many;
};

// `text` quoted as OrvQuoted quotes it.
std::string OrvQuote(const I18NString& text, int maxUnits = 60);

// `number` and the word for it: "1 line", "3 lines".
std::string OrvCountText(long long number, const char* one, const char* many);

// The place a line concerns.
struct OrvPlace {
  // Lines `first` to `last` of the client output, 1-based; 0 for the whole
  // client output, -1 for the command line.
  int first;
  int last;

  static OrvPlace Line(int line) { return {line, line}; }
  static OrvPlace Lines(int first, int last) { return {first, last}; }
  static OrvPlace ClientOutput() { return {0, 0}; }
  static OrvPlace CommandLine() { return {-1, -1}; }
};

// The lines of one run's explanation, held until Flush() or the end of the
// object and then written to standard error in one go per 64 KiB.
class OrvExplanation {
 public:
  // A silent explanation: Say() does nothing.
  OrvExplanation() = default;
  OrvExplanation(const OrvExplanation&) = delete;
  OrvExplanation& operator=(const OrvExplanation&) = delete;
  // Writes what is still held.
  ~OrvExplanation();

  // Where the lines go: `count` bytes of UTF-8 text at `text`, whole lines.
  using Writer = void (*)(const char* text, std::size_t count, void* context);

  // From now on, Say() writes its lines: to standard error, or through
  // `writer` with `context` when it is not null.
  void Enable(Writer writer = nullptr, void* context = nullptr) {
    enabled_ = true;
    writer_ = writer;
    context_ = context;
  }

  // True when lines are written: only then is there anything to work out.
  bool enabled() const { return enabled_; }

  // One line: the place, ": ", then the pieces one after the other. A piece
  // is a const char* (UTF-8 text of the handler's own), a std::string, an
  // integer, an OrvCount, an OrvQuoted, an OrvQuotedText or an
  // OrvQuotedBytes.
  template <typename... Pieces>
  void Say(const OrvPlace& place, const Pieces&... pieces) noexcept {
    if (!enabled_) return;
    const std::size_t start = lines_.size();
    try {
      AppendPlace(place);
      (Append(pieces), ...);
      lines_ += '\n';
    } catch (...) {
      // Out of memory: this line is lost, and the end says so.
      lines_.resize(start);
      lost_ = true;
      return;
    }
    if (lines_.size() >= kFlushSize) Flush();
  }

  // Runs `work`, which works out what to say and says it, when lines are
  // written, and does nothing otherwise. Whatever `work` throws (no memory
  // for a text it builds) ends that work and is not passed on.
  template <typename Work>
  void Explain(Work&& work) noexcept {
    if (!enabled_) return;
    try {
      work();
    } catch (...) {
      lost_ = true;
    }
  }

  // Writes the lines held so far; a failure to write loses them.
  void Flush() noexcept;

 private:
  static constexpr std::size_t kFlushSize = 64 * 1024;

  void AppendPlace(const OrvPlace& place);
  void Append(const char* text) { lines_ += text; }
  void Append(const std::string& text) { lines_ += text; }
  void Append(const OrvCount& count);
  void Append(const OrvQuoted& quoted);
  void Append(const OrvQuotedText& quoted);
  void Append(const OrvQuotedBytes& quoted);
  template <typename Integer,
            typename = std::enable_if_t<std::is_integral<Integer>::value>>
  void Append(Integer number) {
    lines_ += std::to_string(number);
  }

  // Hands `count` bytes at `text` to the writer.
  void Write(const char* text, std::size_t count) noexcept;

  bool enabled_ = false;
  bool lost_ = false;
  Writer writer_ = nullptr;
  void* context_ = nullptr;
  std::string lines_;
};

// Line numbers (1-based) of positions in a text, every line but the last
// ended by a line feed. Asked in increasing order of position, it reads the
// text once in all; asked for an earlier position, it counts from the start
// again.
class OrvLineCounter {
 public:
  // REQUIRES: `text` outlives the counter and does not change.
  explicit OrvLineCounter(const I18NString& text) : text_(text) {}

  // The line that holds `position`; a position past the end counts as the
  // end of the text.
  int LineOf(int position);

 private:
  const I18NString& text_;
  int counted_ = 0;  // the line feeds before this position are counted
  int line_ = 1;
};

#endif  // ORVSCCSOUTPUTFORMATTER_ORVEXPLANATION_H_
