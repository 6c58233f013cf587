#include "OrvCmdLineArg.h"

#include <climits>
#include <cstring>
#include <string>

#include "I18NDecode.h"
#include "I18NEncoding.h"
#include "OrvClientInput.h"
#include "OrvFormatterErrors.h"
#include "OrvFormatterUtility.h"
#include "OrvMessage.h"

#ifndef VSS_HANDLER_VERSION
#define VSS_HANDLER_VERSION "unknown"
#endif

namespace {

const char kThisFile[] = "OrvCmdLineArg.cpp";
const char kFunction[] = "OrvCmdLineArg::ProcessCmdParams()";
const char kEncodingOption[] = "--encoding";
const char kStandardInput[] = "-";

const char16_t kUsage[] =
    u"Usage: vss-handler COMMAND [--encoding NAME] [FILE]\n"
    u"       vss-handler --help\n"
    u"       vss-handler --version\n"
    u"\n"
    u"Reads the text that the VSS command-line client printed for one query\n"
    u"from FILE (standard input when FILE is absent or \"-\") and prints the\n"
    u"answer as one XML document on standard output.\n"
    u"\n"
    u"COMMAND names the query, by identifier or by name:\n"
    u"  1  exists      does the item (file or project) exist\n"
    u"  3  checkout    is the file checked out, and by whom\n"
    u"  4  history     the versions of an item\n"
    u"  5  children    the files and sub-projects of a project (6: the same)\n"
    u"  8  properties  is the item a project\n"
    u"  9  diff        do the working copy and the stored copy differ\n"
    u"Any other integer (0, 2, 7, -1, 10, ...) selects no query: FILE is not\n"
    u"read and nothing is printed.\n"
    u"\n"
    u"Options may stand before or after COMMAND and FILE; \"--\" ends them.\n"
    u"  --encoding NAME, --encoding=NAME\n"
    u"              the encoding of the client output's bytes (UTF-8,\n"
    u"              windows-1252, IBM437, ISO-8859-1, ...); it must write\n"
    u"              ASCII as single bytes. Default: the locale's encoding.\n"
    u"  --help      print this text and exit\n"
    u"  --version   print the version and exit\n"
    u"\n"
    u"Exit status: 1 when a result document was written; 0 otherwise (no\n"
    u"query selected, a failure reported by an error document, --help,\n"
    u"--version).\n";

// The query names and the identifiers they stand for.
struct CommandName {
  const char* name;
  int id;
};
const CommandName kCommandNames[] = {
    {"exists", 1},   {"checkout", 3},   {"history", 4},
    {"children", 5}, {"properties", 8}, {"diff", 9},
};

// The identifiers that select a query (6 is the child listing's second
// identifier, without a name); every other one selects nothing.
const int kQueryIdentifiers[] = {1, 3, 4, 5, 6, 8, 9};

bool SelectsQuery(int id) {
  for (int queryId : kQueryIdentifiers) {
    if (queryId == id) return true;
  }
  return false;
}

[[noreturn]] void RaiseCommandLineError(const std::string& detail) {
  OrvRaiseFailure(ORV_MSG_COMMAND_LINE_ERROR, OrvFromUtf8(detail), kThisFile,
                  __LINE__, kFunction);
}

// The words of the command line, sorted by what they are.
struct CommandLineWords {
  bool help = false;
  bool version = false;
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
  if (std::strcmp(word, "--help") == 0) {
    words.help = true;
  } else if (std::strcmp(word, "--version") == 0) {
    words.version = true;
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

// Sorts the words of argv. Stops at --help or --version, which print their
// text whatever follows them.
CommandLineWords SortWords(int argc, char** argv) {
  CommandLineWords words;
  bool optionsEnded = false;
  for (int index = 1; index < argc && !words.help && !words.version; ++index) {
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

int ResolveCommand(const char* command) {
  if (command == nullptr) RaiseCommandLineError("missing COMMAND");
  for (const CommandName& known : kCommandNames) {
    if (std::strcmp(command, known.name) == 0) return known.id;
  }
  if (IsDigits(command)) return ParseIdentifier(command, false);
  if (command[0] == '-' && IsDigits(command + 1)) {
    return ParseIdentifier(command + 1, true);
  }
  RaiseCommandLineError(std::string("unknown COMMAND '") + command + "'");
}

void UseEncoding(const char* encoding) {
  if (encoding == nullptr) return;
  if (!I18NIsKnownEncoding(encoding)) {
    RaiseCommandLineError(std::string("unknown encoding '") + encoding + "'");
  }
  // The client's markers are ASCII text; in an encoding that writes ASCII
  // otherwise (UTF-16, EBCDIC) no answer could be right.
  if (!I18NIsAsciiCompatibleEncoding(encoding)) {
    RaiseCommandLineError(std::string("encoding '") + encoding +
                          "' does not keep ASCII as it is (" +
                          I18NDescribeAsciiChanges(encoding) +
                          "); the client output cannot be in it");
  }
  I18NSetPlatformDefaultEncoding(encoding);
}

void PrintText(const char16_t* text) {
  // --help and --version exit 0 whether or not their text got out.
  OrvFormatterUtility::WriteToStdOut(I18NString(std::u16string(text)));
}

}  // namespace

OrvCmdLineArg::OrvCmdLineArg() : _CmdId(0) {}

OrvCmdLineArg::~OrvCmdLineArg() {}

void OrvCmdLineArg::ProcessCmdParams(int argc, char** argv) {
  CommandLineWords words = SortWords(argc, argv);
  if (words.help) {
    PrintText(kUsage);
    return;
  }
  if (words.version) {
    PrintText(u"vss-handler " VSS_HANDLER_VERSION "\n");
    return;
  }
  int id = ResolveCommand(words.command);
  UseEncoding(words.encoding);
  std::string source = words.file != nullptr ? words.file : kStandardInput;
  params_.SetCommandID(id);
  params_.SetSourceName(source);
  // An identifier without a query answers nothing, so its input is not read:
  // a missing file then is no failure either.
  if (SelectsQuery(id)) {
    params_.SetClientOutput(OrvReadClientOutput(source));
  }
  _CmdId = id;
}
