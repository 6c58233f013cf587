#include "OrvCmdLineArg.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>
#include <xercesc/util/XercesVersion.hpp>

#include "I18NCodePages.h"
#include "I18NEncoding.h"
#include "OrvClientInput.h"
#include "OrvFormatterErrors.h"
#include "OrvMessage.h"
#include "OrvStdOut.h"

#ifndef VSS_HANDLER_VERSION
#define VSS_HANDLER_VERSION "unknown"
#endif

namespace {

const char kEncodingOption[] = "--encoding";
const char kExplainOption[] = "--explain";
const char kStandardInput[] = "-";

const char kUsageHead[] =
    "Usage: vss-handler COMMAND [--encoding NAME] [--explain] [FILE]\n"
    "       vss-handler --help\n"
    "       vss-handler --version\n"
    "\n"
    "Reads the text that the VSS command-line client printed for one query\n"
    "from FILE (standard input when FILE is absent or \"-\") and prints the\n"
    "answer as one XML document on standard output.\n"
    "\n"
    "COMMAND names the query, by identifier or by name:\n";

// After the line of the identifiers that select no query.
const char kUsageOptions[] =
    "read and nothing is printed.\n"
    "\n"
    "Options may stand before or after COMMAND and FILE; \"--\" ends them.\n"
    "  --encoding NAME, --encoding=NAME\n"
    "              the encoding of the client output's bytes, in any case:\n";

// The usage text's lines of encoding names start in this column and end
// before the next.
const std::size_t kDescriptionColumn = 14;
const std::size_t kLineWidth = 76;

// After the default encoding's line.
const char kUsageTail[] =
    "  --explain   also write to standard error, one line per decision, why\n"
    "              the answer says what it says, with the line of the client\n"
    "              output each concerns; standard output and the exit status\n"
    "              stay the same\n"
    "  -h, --help  print this text and exit\n"
    "  --version   print the version and exit\n"
    "\n"
    "Exit status: 1 when a result document was written; 0 otherwise (no\n"
    "query selected, a failure reported by an error document, --help,\n"
    "--version).\n";

const char kVersion[] =
    "vss-"
    "handler " VSS_HANDLER_VERSION "\nXerces-C " XERCES_FULLVERSIONDOT "\n";

// The usage text pads query names to this width.
const std::size_t kNameColumnWidth = 10;

// One line of the usage text per named query: "  ID  NAME  SUMMARY", the
// further identifiers of the same query after the summary. Completion
// scripts read the names from these lines.
std::string QueryLines(const OrvQueryTable& queries) {
  std::string lines;
  for (const CommandDispatch& query : queries) {
    if (query.name == nullptr) continue;
    std::string aliases;
    for (const CommandDispatch& alias : queries) {
      if (alias.name != nullptr || alias.runQuery != query.runQuery) continue;
      if (!aliases.empty()) aliases += ", ";
      aliases += std::to_string(alias.commandId);
    }
    std::string name = query.name;
    name.resize(std::max(name.size(), kNameColumnWidth), ' ');
    lines += "  " + std::to_string(query.commandId) + "  " + name + "  " +
             query.summary;
    if (!aliases.empty()) lines += " (" + aliases + ": the same)";
    lines += '\n';
  }
  return lines;
}

// The usage text's line of the identifiers that select no query: those from
// 0 to the highest query's that no row names, -1 and the one above it.
std::string IdleIdentifierLine(const OrvQueryTable& queries) {
  int highest = 0;
  for (const CommandDispatch& query : queries) {
    highest = std::max(highest, query.commandId);
  }
  std::string line = "Any other integer (";
  for (int id = 0; id < highest; ++id) {
    if (queries.Find(id) == nullptr) line += std::to_string(id) + ", ";
  }
  return line + "-1, " + std::to_string(highest + 1) +
         ", ...) selects no query: FILE is not\n";
}

[[noreturn]] void RaiseCommandLineError(const std::string& detail) {
  ORV_RAISE(ORV_MSG_COMMAND_LINE_ERROR, OrvFromUtf8(detail),
            "OrvCmdLineArg::ProcessCmdParams()");
}

// The words of the command line, sorted by what they are.
struct CommandLineWords {
  bool help = false;
  bool version = false;
  bool explain = false;
  const char* command = nullptr;
  const char* file = nullptr;
  const char* encoding = nullptr;
};

// "-" followed by digits only: an identifier such as -1, not an option.
bool IsNegativeNumber(const char* word) {
  if (word[0] != '-' || word[1] == '\0') return false;
  for (const char* digit = word + 1; *digit != '\0'; ++digit) {
    if (*digit < '0' || *digit > '9') return false;
  }
  return true;
}

bool IsOption(const char* word) {
  return word[0] == '-' && word[1] != '\0' && !IsNegativeNumber(word);
}

void TakePositional(const char* word, CommandLineWords& words) {
  if (words.command == nullptr) {
    words.command = word;
  } else if (words.file == nullptr) {
    words.file = word;
  } else {
    RaiseCommandLineError(std::string("more than one FILE: '") + words.file +
                          "' and '" + word + "'");
  }
}

// Stands where --help or --version may: before "--", and not as the value of
// --encoding.
bool IsHelp(const char* word) {
  return std::strcmp(word, "--help") == 0 || std::strcmp(word, "-h") == 0;
}

bool IsVersion(const char* word) { return std::strcmp(word, "--version") == 0; }

// Marks in `words` the first --help or --version among the options, and
// returns true when there is one: either prints its text whatever else the
// command line holds, even words that would be an error.
bool FindHelpOrVersion(int argc, char** argv, CommandLineWords& words) {
  for (int index = 1; index < argc; ++index) {
    const char* word = argv[index];
    if (std::strcmp(word, "--") == 0) return false;
    if (std::strcmp(word, kEncodingOption) == 0) {
      ++index;
    } else if (IsHelp(word)) {
      words.help = true;
      return true;
    } else if (IsVersion(word)) {
      words.version = true;
      return true;
    }
  }
  return false;
}

// A later --encoding replaces an earlier one.
void TakeEncoding(const char* name, CommandLineWords& words) {
  if (*name == '\0') RaiseCommandLineError("option '--encoding' needs a value");
  words.encoding = name;
}

// Takes the option at argv[index]; returns the index of its last word (the
// value of "--encoding NAME" is a word of its own).
int TakeOption(int argc, char** argv, int index, CommandLineWords& words) {
  const char* word = argv[index];
  const std::size_t prefixLength = sizeof(kEncodingOption) - 1;
  if (std::strcmp(word, kExplainOption) == 0) {
    words.explain = true;
  } else if (std::strcmp(word, kEncodingOption) == 0) {
    if (index + 1 >= argc) {
      RaiseCommandLineError("option '--encoding' needs a value");
    }
    TakeEncoding(argv[++index], words);
  } else if (std::strncmp(word, kEncodingOption, prefixLength) == 0 &&
             word[prefixLength] == '=') {
    TakeEncoding(word + prefixLength + 1, words);
  } else {
    RaiseCommandLineError(std::string("unknown option '") + word + "'");
  }
  return index;
}

// Sorts the words of argv; with --help or --version among them, only that.
CommandLineWords SortWords(int argc, char** argv) {
  CommandLineWords words;
  if (FindHelpOrVersion(argc, argv, words)) return words;
  bool optionsEnded = false;
  for (int index = 1; index < argc; ++index) {
    const char* word = argv[index];
    if (!optionsEnded && std::strcmp(word, "--") == 0) {
      optionsEnded = true;
    } else if (!optionsEnded && IsOption(word)) {
      index = TakeOption(argc, argv, index, words);
    } else {
      TakePositional(word, words);
    }
  }
  return words;
}

// An integer too large for int names no query, so it is clamped to the
// nearest int, which names none either.
int ParseIdentifier(const char* digits, bool negative) {
  long long value = 0;
  for (const char* digit = digits; *digit != '\0'; ++digit) {
    value = value * 10 + (*digit - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

bool IsDigits(const char* word) {
  if (*word == '\0') return false;
  for (; *word != '\0'; ++word) {
    if (*word < '0' || *word > '9') return false;
  }
  return true;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

// The edit distance between `word` and `name` (insertions, deletions,
// substitutions and swaps of neighbours; letters compared without case),
// or a number above `limit` when it is surely above it. Cost grows with the
// length of `name` times that of `word`, and a word much longer than `name`
// is answered from the lengths alone.
std::size_t Distance(const std::string& word, const std::string& name,
                     std::size_t limit) {
  const std::size_t longer = std::max(word.size(), name.size());
  if (longer - std::min(word.size(), name.size()) > limit) return limit + 1;
  // Three rows of the distance matrix: two rows back, the last and this one.
  std::vector<std::size_t> older(name.size() + 1);
  std::vector<std::size_t> last(name.size() + 1);
  std::vector<std::size_t> row(name.size() + 1);
  for (std::size_t j = 0; j <= name.size(); ++j) last[j] = j;
  for (std::size_t i = 1; i <= word.size(); ++i) {
    row[0] = i;
    for (std::size_t j = 1; j <= name.size(); ++j) {
      const char w = LowerAscii(word[i - 1]);
      const char n = LowerAscii(name[j - 1]);
      row[j] = std::min(
          {last[j] + 1, row[j - 1] + 1, last[j - 1] + (w == n ? 0 : 1)});
      if (i > 1 && j > 1 && w == LowerAscii(name[j - 2]) &&
          LowerAscii(word[i - 2]) == n) {
        row[j] = std::min(row[j], older[j - 2] + 1);
      }
    }
    std::swap(older, last);
    std::swap(last, row);
  }
  return last[name.size()];
}

// The query name closest to `word`, or null when none is close: within one
// edit for a short name, a third of its length for a longer one.
const char* ClosestName(const OrvQueryTable& queries, const std::string& word) {
  const char* closest = nullptr;
  std::size_t best = 0;
  for (const CommandDispatch& query : queries) {
    if (query.name == nullptr) continue;
    const std::string name = query.name;
    const std::size_t limit = std::max<std::size_t>(1, name.size() / 3);
    const std::size_t distance = Distance(word, name, limit);
    if (distance <= limit && (closest == nullptr || distance < best)) {
      closest = query.name;
      best = distance;
    }
  }
  return closest;
}

[[noreturn]] void RaiseUnknownCommand(const OrvQueryTable& queries,
                                      const std::string& word) {
  std::string detail = "unknown COMMAND '" + word + "'";
  if (const char* closest = ClosestName(queries, word)) {
    RaiseCommandLineError(detail + "; did you mean '" + closest + "'?");
  }
  std::string names;
  for (const CommandDispatch& query : queries) {
    if (query.name == nullptr) continue;
    names += (names.empty() ? "" : ", ") + std::string(query.name);
  }
  RaiseCommandLineError(detail + "; COMMAND is an identifier or one of " +
                        names);
}

int ResolveCommand(const OrvQueryTable& queries, const char* command) {
  if (command == nullptr) RaiseCommandLineError("missing COMMAND");
  for (const CommandDispatch& query : queries) {
    if (query.name != nullptr && std::strcmp(command, query.name) == 0) {
      return query.commandId;
    }
  }
  if (IsDigits(command)) return ParseIdentifier(command, false);
  if (command[0] == '-' && IsDigits(command + 1)) {
    return ParseIdentifier(command + 1, true);
  }
  RaiseUnknownCommand(queries, command);
}

void UseEncoding(const char* encoding) {
  if (encoding == nullptr) {
    // Read in the environment's encoding only when the handler knows it: a
    // misreading would give a wrong answer without a word.
    const char* environment = I18NEnvironmentEncoding();
    if (!I18NIsKnownEncoding(environment)) {
      RaiseCommandLineError(std::string(I18NEnvironmentEncodingOrigin()) +
                            " '" + environment +
                            "' is not an encoding that the handler knows; "
                            "give --encoding (--help lists them)");
    }
    return;
  }
  if (!I18NIsKnownEncoding(encoding)) {
    RaiseCommandLineError(std::string("unknown encoding '") + encoding +
                          "' (--help lists the known ones)");
  }
  I18NSetPlatformDefaultEncoding(encoding);
}

// The handler's own names of the encodings, wrapped into the usage text's
// description column.
std::string EncodingLines() {
  const std::string indent(kDescriptionColumn, ' ');
  std::string lines;
  std::string line = indent;
  const std::vector<I18NCodePageNames> encodings = I18NListCodePages();
  for (std::size_t i = 0; i < encodings.size(); ++i) {
    std::string name = encodings[i].encoding->name;
    name += i + 1 < encodings.size() ? "," : ";";
    if (line.size() > indent.size() &&
        line.size() + 1 + name.size() > kLineWidth) {
      lines += line + '\n';
      line = indent;
    }
    if (line.size() > indent.size()) line += ' ';
    line += name;
  }
  return lines + line + '\n' + indent + "the manual gives their other names.\n";
}

// The --encoding option's last line: the default in force where it runs.
std::string DefaultEncodingLine() {
  const std::string start =
      std::string(kDescriptionColumn, ' ') + "Default here: ";
  const char* environment = I18NEnvironmentEncoding();
  const std::string origin = I18NEnvironmentEncodingOrigin();
  if (!I18NIsKnownEncoding(environment)) {
    return start + "none: " + origin + ", " + environment +
           ", is not one of them.\n";
  }
  return start + I18NGetPlatformDefaultEncoding() + " (" + origin + ").\n";
}

// Says where the client output came from, how it was decoded and why, and
// what decoding had to replace.
void ExplainInput(OrvExplanation& explanation, const std::string& source,
                  bool encodingNamed, const OrvClientInputFacts& facts) {
  const bool standardInput = source == kStandardInput;
  const char* const encoding = I18NGetPlatformDefaultEncoding();
  const char* const origin =
      encodingNamed ? "named by --encoding" : I18NEnvironmentEncodingOrigin();
  const char* const from = standardInput ? "standard input" : "the file ";
  const OrvQuotedText name =
      standardInput ? OrvQuotedText::Nothing() : OrvQuotedText(source);
  const OrvCount bytes{static_cast<long long>(facts.bytes), "byte", "bytes"};
  if (facts.invalidSequences == 0) {
    explanation.Say(OrvPlace::ClientOutput(), bytes, " from ", from, name,
                    ", decoded as ", encoding, " (", origin,
                    "): every byte is valid in it");
  } else {
    explanation.Say(OrvPlace::ClientOutput(), bytes, " from ", from, name,
                    ", decoded as ", encoding, " (", origin, "): ",
                    OrvCount{static_cast<long long>(facts.invalidSequences),
                             "byte sequence", "byte sequences"},
                    " invalid in it became U+FFFD (if the client wrote another "
                    "code page, --encoding names it)");
  }
  if (facts.byteOrderMark)
    explanation.Say(OrvPlace::Line(1), "a leading byte-order mark was dropped");
}

void PrintText(const std::string& text) {
  // --help and --version exit 0 whether or not their text got out.
  OrvWriteToStdOut(OrvFromUtf8(text));
}

}  // namespace

const CommandDispatch* OrvQueryTable::Find(int commandId) const {
  for (const CommandDispatch& query : *this) {
    if (query.commandId == commandId) return &query;
  }
  return nullptr;
}

OrvCmdLineArg::OrvCmdLineArg()
    : OrvCmdLineArg(kHandlerCommands, kHandlerCommandCount) {}

OrvCmdLineArg::OrvCmdLineArg(const CommandDispatch* queries, std::size_t rows)
    : queries_{queries, rows} {}

OrvCmdLineArg::~OrvCmdLineArg() {}

void OrvCmdLineArg::ProcessCmdParams(int argc, char** argv) {
  CommandLineWords words = SortWords(argc, argv);
  if (words.help) {
    PrintText(kUsageHead + QueryLines(queries_) + IdleIdentifierLine(queries_) +
              kUsageOptions + EncodingLines() + DefaultEncodingLine() +
              kUsageTail);
    return;
  }
  if (words.version) {
    PrintText(kVersion);
    return;
  }
  int id = ResolveCommand(queries_, words.command);
  UseEncoding(words.encoding);
  std::string source = words.file != nullptr ? words.file : kStandardInput;
  params_.SetCommandID(id);
  params_.SetSourceName(source);
  if (words.explain) {
    explanation_.Enable();
    params_.SetExplanation(&explanation_);
  }
  // An identifier without a query answers nothing, so its input is not read:
  // a missing file then is no failure either.
  const CommandDispatch* query = queries_.Find(id);
  if (query == nullptr) {
    explanation_.Say(OrvPlace::CommandLine(), "identifier ", id,
                     " selects no query: nothing is read or printed");
  } else if (!explanation_.enabled()) {
    params_.SetClientOutput(OrvReadClientOutput(source));
  } else {
    OrvClientInputFacts facts;
    params_.SetClientOutput(OrvReadClientOutput(source, &facts));
    explanation_.Explain([&] {
      ExplainInput(explanation_, source, words.encoding != nullptr, facts);
    });
  }
  query_ = query;
}
