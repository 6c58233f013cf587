#ifndef WEXCORE_WEXEXCEPTION_H_
#define WEXCORE_WEXEXCEPTION_H_

#include <cstdint>

#include "I18NString.h"

// Where an exception was raised: the source file's name without its
// directory, and the line. Plain data; `file` points to static text.
struct WexSourceLocation {
  const char* file;
  int32_t line;
};

// A host message: a code and the text for a person that it stands for.
class WexMessageBase {
 public:
  virtual ~WexMessageBase();

  // The message code; 0 when the message has none.
  virtual unsigned long getCode() const = 0;

  // The message text, ready to show to a person.
  virtual I18NString getText() const = 0;
};

// The root of the host's exceptions. It carries an optional message code,
// the text of the message streamed into it, and the throw site that raise()
// recorded. Copies are independent values; the site's texts point to static
// storage.
class WexException {
 public:
  // An exception without a message code.
  WexException();

  // An exception with message code `code`.
  explicit WexException(long code);

  virtual ~WexException();

  // Attaches the text of `message`; when this exception has no code yet, it
  // takes the message's code too. Returns this exception.
  WexException& operator<<(const WexMessageBase& message);

  // Appends `text` to the message text. Returns this exception.
  WexException& operator<<(const I18NString& text);

  // Records the throw site (`location` may be null; `function` and `macro`
  // must point to static text or be null) and throws a copy of this exception
  // of its dynamic type. Never returns.
  [[noreturn]] virtual void raise(const WexSourceLocation* location,
                                  const char* function, const char* macro);

  // True when the exception carries a message code.
  bool hasCode() const { return hasCode_; }
  long getCode() const { return code_; }

  // The message text; empty when nothing was streamed in.
  const I18NString& getText() const { return text_; }

  // The throw site; empty texts and line 0 before raise().
  const char* getFile() const { return file_; }
  int32_t getLine() const { return line_; }
  const char* getFunction() const { return function_; }
  const char* getMacro() const { return macro_; }

 protected:
  // Stores the throw site; used by raise() and by overriding raise()s.
  void recordSite(const WexSourceLocation* location, const char* function,
                  const char* macro);

 private:
  bool hasCode_;
  long code_;
  I18NString text_;
  const char* file_ = "";
  int32_t line_ = 0;
  const char* function_ = "";
  const char* macro_ = "";
};

// Streams `text` into `exception` and raises it at `file`:`line` in
// `function` (static texts); what WEX_RAISE expands to.
[[noreturn]] void WexRaise(WexException&& exception, const I18NString& text,
                           const char* file, int line, const char* function);

// Raises `exception` carrying `text` from `function` ("Class::Operation()",
// a static text), with the file and line it is written on as the throw site.
#define WEX_RAISE(exception, text, function) \
  WexRaise((exception), (text), __FILE__, __LINE__, (function))

#endif  // WEXCORE_WEXEXCEPTION_H_
