// The handler's command line: COMMAND by name or identifier, options in any
// place, the errors and what they say, and how the client output is read and
// decoded.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <thread>
#include <vector>

#include "FormatterTestSupport.h"
#include "I18NEncoding.h"
#include "OrvCmdLineArg.h"
#include "OrvException.h"
#include "OrvMessage.h"

namespace {

using formatter_test::ReadFile;
using formatter_test::RedirectedDescriptor;
using formatter_test::TempFile;
using formatter_test::U;

class CmdLineTest : public testing::Test {
 protected:
  // --encoding changes the process's default encoding; every test starts
  // and ends with the one the process had.
  void SetUp() override { savedEncoding_ = I18NGetPlatformDefaultEncoding(); }
  void TearDown() override {
    I18NSetPlatformDefaultEncoding(savedEncoding_.c_str());
  }

  // Runs ProcessCmdParams on `arguments` (the program name is added).
  void Process(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "vss-handler");
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    parser_.ProcessCmdParams(static_cast<int>(arguments.size()), argv.data());
  }

  // The exception that ProcessCmdParams throws for `arguments`.
  OrvException FailureOf(const std::vector<std::string>& arguments) {
    try {
      Process(arguments);
    } catch (const OrvException& exception) {
      return exception;
    }
    ADD_FAILURE() << "no failure";
    return OrvException(0);
  }

  // What ProcessCmdParams prints on standard output for `arguments`.
  std::string PrintedBy(const std::vector<std::string>& arguments) {
    TempFile output("");
    {
      RedirectedDescriptor redirect(STDOUT_FILENO, output.path().c_str(),
                                    O_WRONLY | O_TRUNC);
      Process(arguments);
    }
    return ReadFile(output.path());
  }

  std::u16string ClientOutput() {
    return parser_.GetInputParams().GetClientOutput().units();
  }

  OrvCmdLineArg parser_;
  TempFile file_{"\n\nNo differences.\n"};

 private:
  std::string savedEncoding_;
};

TEST_F(CmdLineTest, CommandByNameOrIdentifier) {
  struct Case {
    const char* command;
    int id;
  };
  const Case cases[] = {
      {"exists", 1},   {"checkout", 3},   {"history", 4},
      {"children", 5}, {"properties", 8}, {"diff", 9},
      {"1", 1},        {"6", 6},          {"09", 9},
  };
  for (const Case& c : cases) {
    OrvCmdLineArg parser;
    std::string command = c.command;
    std::string path = file_.path();
    std::vector<char*> argv = {const_cast<char*>("vss-handler"), command.data(),
                               path.data()};
    parser.ProcessCmdParams(3, argv.data());
    EXPECT_EQ(parser.GetCommandID(), c.id) << c.command;
    EXPECT_EQ(parser.GetInputParams().GetCommandID(), c.id) << c.command;
    EXPECT_EQ(parser.GetInputParams().GetClientOutput().units(),
              u"\n\nNo differences.\n")
        << c.command;
    EXPECT_EQ(parser.GetInputParams().GetSourceName(), file_.path());
  }
}

TEST_F(CmdLineTest, IdentifierWithoutAQueryDoesNotReadTheFile) {
  struct Case {
    const char* command;
    int id;
  };
  const Case cases[] = {
      {"0", 0},
      {"2", 2},
      {"7", 7},
      {"-1", -1},
      {"10", 10},
      {"99999999999999999999", INT_MAX},
      {"-99999999999999999999", INT_MIN},
  };
  for (const Case& c : cases) {
    OrvCmdLineArg parser;
    std::string command = c.command;
    std::string missing = "/nonexistent/client-output.txt";
    std::vector<char*> argv = {const_cast<char*>("vss-handler"), command.data(),
                               missing.data()};
    parser.ProcessCmdParams(3, argv.data());
    EXPECT_EQ(parser.GetCommandID(), c.id) << c.command;
    EXPECT_TRUE(parser.GetInputParams().GetClientOutput().empty());
  }
}

TEST_F(CmdLineTest, OptionsMayStandAnywhere) {
  const std::vector<std::vector<std::string>> lines = {
      {"--encoding", "windows-1252", "diff", file_.path()},
      {"diff", "--encoding", "windows-1252", file_.path()},
      {"diff", file_.path(), "--encoding", "windows-1252"},
      {"diff", file_.path(), "--encoding=windows-1252"},
      {"--encoding=UTF-8", "9", "--", file_.path()},
  };
  for (const std::vector<std::string>& line : lines) {
    OrvCmdLineArg parser;
    std::vector<std::string> arguments = line;
    arguments.insert(arguments.begin(), "vss-handler");
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    parser.ProcessCmdParams(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(parser.GetCommandID(), 9) << line[0];
    EXPECT_EQ(parser.GetInputParams().GetClientOutput().units(),
              u"\n\nNo differences.\n");
  }
  EXPECT_STREQ(I18NGetPlatformDefaultEncoding(), "UTF-8");
}

TEST_F(CmdLineTest, NegativeIntegerIsTheCommand) {
  Process({"-1", "--encoding", "UTF-8"});
  EXPECT_EQ(parser_.GetCommandID(), -1);
}

TEST_F(CmdLineTest, CommandLineErrorsSayWhatWasWrong) {
  struct Case {
    std::vector<std::string> arguments;
    std::string detail;
  };
  const std::string path = file_.path();
  const std::string known = " (--help lists the known ones)";
  const std::string names =
      "; COMMAND is an identifier or one of exists, checkout, history, "
      "children, properties, diff";
  const Case cases[] = {
      {{"9", "--foo", path}, "unknown option '--foo'"},
      {{"-x", "9", path}, "unknown option '-x'"},
      {{"-1x", path}, "unknown option '-1x'"},
      {{}, "missing COMMAND"},
      {{"--encoding", "UTF-8"}, "missing COMMAND"},
      {{"xyz", path}, "unknown COMMAND 'xyz'" + names},
      {{"Diff", path}, "unknown COMMAND 'Diff'; did you mean 'diff'?"},
      {{"histroy", path}, "unknown COMMAND 'histroy'; did you mean 'history'?"},
      {{"propertys", path},
       "unknown COMMAND 'propertys'; did you mean 'properties'?"},
      {{"dif", path}, "unknown COMMAND 'dif'; did you mean 'diff'?"},
      {{"hi", path}, "unknown COMMAND 'hi'" + names},
      {{"+4", path}, "unknown COMMAND '+4'" + names},
      {{"4x", path}, "unknown COMMAND '4x'" + names},
      {{"", path}, "unknown COMMAND ''" + names},
      {{"-", path}, "unknown COMMAND '-'" + names},
      {{"--", "--help"}, "unknown COMMAND '--help'" + names},
      {{"9", path, "--encoding"}, "option '--encoding' needs a value"},
      {{"9", "--encoding=", path}, "option '--encoding' needs a value"},
      {{"9", "--encoding", "", path}, "option '--encoding' needs a value"},
      {{"9", "a", "b"}, "more than one FILE: 'a' and 'b'"},
      {{"9", "--", path, "--version"},
       "more than one FILE: '" + path + "' and '--version'"},
      {{"9", "--encoding", "NO-SUCH-ENCODING", path},
       "unknown encoding 'NO-SUCH-ENCODING'" + known},
      // Names that name nothing, or an encoding with a suffix that another
      // library would read.
      {{"9", "--encoding", "*", path}, "unknown encoding '*'" + known},
      {{"9", "--encoding", "//", path}, "unknown encoding '//'" + known},
      {{"9", "--encoding", ",", path}, "unknown encoding ','" + known},
      {{"9", "--encoding", "(", path}, "unknown encoding '('" + known},
      {{"9", "--encoding", "\x01", path}, "unknown encoding '\x01'" + known},
      {{"9", "--encoding", "UTF-8\t", path},
       "unknown encoding 'UTF-8\t'" + known},
      {{"9", "--encoding", "UTF-8//TRANSLIT", path},
       "unknown encoding 'UTF-8//TRANSLIT'" + known},
      // Encodings the client never writes in.
      {{"9", "--encoding", "UTF-16", path},
       "unknown encoding 'UTF-16'" + known},
      {{"9", "--encoding", "CP0", path}, "unknown encoding 'CP0'" + known},
  };
  for (const Case& c : cases) {
    OrvException failure = FailureOf(c.arguments);
    EXPECT_EQ(failure.getCode(), static_cast<long>(ORV_MSG_COMMAND_LINE_ERROR));
    EXPECT_EQ(failure.getText().toUTF8(),
              "The command line is not valid: " + c.detail);
    EXPECT_EQ(parser_.GetCommandID(), 0);
  }
}

TEST_F(CmdLineTest, UnreadableFileNamesItsReason) {
  char directory[] = "/tmp/vss-formatter-dir-XXXXXX";
  ASSERT_NE(mkdtemp(directory), nullptr);
  struct Case {
    std::string path;
    std::string reason;
  };
  const Case cases[] = {
      {"/nonexistent/client-output.txt", "No such file or directory"},
      {directory, "Is a directory"},
  };
  for (const Case& c : cases) {
    OrvException failure = FailureOf({"9", c.path});
    EXPECT_EQ(failure.getCode(), static_cast<long>(ORV_MSG_INPUT_UNREADABLE));
    EXPECT_EQ(
        failure.getText().toUTF8(),
        "The client output cannot be read: '" + c.path + "': " + c.reason);
  }
  rmdir(directory);
}

TEST_F(CmdLineTest, InputOverOneGibibyteIsRefusedUnread) {
  TempFile huge("");
  // A sparse file: its size is known without a byte on disk.
  ASSERT_EQ(truncate(huge.path().c_str(), (off_t{1} << 30) + 1), 0);
  OrvException failure = FailureOf({"9", huge.path()});
  EXPECT_EQ(failure.getCode(), static_cast<long>(ORV_MSG_INPUT_TOO_LARGE));
  EXPECT_NE(failure.getText().toUTF8().find("1073741824"), std::string::npos);
}

TEST_F(CmdLineTest, HelpAndVersionPrintAndSelectNothing) {
  std::string help = PrintedBy({"--help"});
  EXPECT_EQ(
      help.rfind(
          "Usage: vss-handler COMMAND [--encoding NAME] [--explain] [FILE]\n",
          0),
      0u)
      << help;
  for (const char* word :
       {"exists", "checkout", "history", "children", "properties", "diff",
        "--encoding", "--explain", "Exit status"}) {
    EXPECT_NE(help.find(word), std::string::npos) << word;
  }
  // The default where the handler runs, not a description of one.
  EXPECT_NE(help.find(std::string("Default here: ") +
                      I18NGetPlatformDefaultEncoding() +
                      " (the locale's encoding).\n"),
            std::string::npos)
      << help;
  // Completion scripts read the names from these lines.
  EXPECT_NE(help.find("\n  4  history     the versions of an item\n"
                      "  5  children    the files and sub-projects of a "
                      "project (6: the same)\n"),
            std::string::npos)
      << help;
  // Made from the table's identifiers: those that select no query.
  EXPECT_NE(help.find("\nAny other integer (0, 2, 7, -1, 10, ...) selects no "
                      "query: FILE is not\nread and nothing is printed.\n"),
            std::string::npos)
      << help;
  EXPECT_EQ(PrintedBy({"-h"}), help);
  EXPECT_EQ(parser_.GetCommandID(), 0);

  OrvCmdLineArg versionParser;
  std::string version;
  {
    TempFile output("");
    {
      RedirectedDescriptor redirect(STDOUT_FILENO, output.path().c_str(),
                                    O_WRONLY | O_TRUNC);
      std::vector<char*> argv = {const_cast<char*>("vss-handler"),
                                 const_cast<char*>("9"),
                                 const_cast<char*>("--version")};
      versionParser.ProcessCmdParams(3, argv.data());
    }
    version = ReadFile(output.path());
  }
  EXPECT_EQ(version.rfind("vss-handler ", 0), 0u) << version;
  EXPECT_NE(version.find("\nXerces-C 3."), std::string::npos) << version;
  EXPECT_EQ(version.back(), '\n');
  EXPECT_EQ(versionParser.GetCommandID(), 0);
}

TEST_F(CmdLineTest, HelpAndVersionWinWhereverTheyStand) {
  // Before or after words that are errors on their own, but not after "--"
  // or as the value of --encoding.
  const std::vector<std::vector<std::string>> helps = {
      {"9", "--help", "--foo", "a", "b"},
      {"--foo", "--help"},
      {"a", "b", "c", "--help"},
      {"histroy", "-h"},
      {"9", "--encoding", "X", "--help"}};
  for (const std::vector<std::string>& words : helps) {
    EXPECT_EQ(PrintedBy(words).rfind("Usage:", 0), 0u) << words.back();
  }
  EXPECT_EQ(PrintedBy({"a", "b", "c", "--version", "--help"})
                .rfind("vss-handler ", 0),
            0u);
  EXPECT_EQ(FailureOf({"9", "--encoding", "--help"}).getText().toUTF8(),
            "The command line is not valid: unknown encoding '--help'" +
                std::string(" (--help lists the known ones)"));
}

TEST_F(CmdLineTest, ClientOutputIsDecodedAndItsLineEndsMadeLf) {
  struct Case {
    const char* encoding;
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {"UTF-8",
       "\xEF\xBB\xBF"
       "abc",
       u"abc"},
      {"UTF-8", "a\xEF\xBB\xBF", u"a\uFEFF"},
      {"UTF-8", "a\r\nb\rc\r\r\nd\n\r", u"a\nb\rc\r\nd\n\r"},
      {"UTF-8",
       "a\xFF"
       "b\xC3",
       u"a\uFFFDb\uFFFD"},
      {"UTF-8", "", u""},
      {"windows-1252", "caf\xE9 \x80\r\n", u"caf\u00E9 \u20AC\n"},
      {"IBM437", "\x82t\xE9", u"\u00E9t\u0398"},
  };
  for (const Case& c : cases) {
    TempFile input(c.bytes);
    OrvCmdLineArg parser;
    std::string encoding = c.encoding;
    std::string path = input.path();
    std::vector<char*> argv = {
        const_cast<char*>("vss-handler"), const_cast<char*>("9"),
        const_cast<char*>("--encoding"), encoding.data(), path.data()};
    parser.ProcessCmdParams(5, argv.data());
    EXPECT_EQ(parser.GetInputParams().GetClientOutput().units(), c.text)
        << c.bytes;
  }
}

TEST_F(CmdLineTest, StandardInputIsReadWhole) {
  // Larger than any first chunk, and written through a pipe, so the reader
  // must grow its buffer and wait for the writer.
  std::string bytes;
  for (int line = 0; line < 20000; ++line) {
    bytes += "line " + std::to_string(line) + "\r\n";
  }
  std::u16string expected;
  for (int line = 0; line < 20000; ++line) {
    std::string text = "line " + std::to_string(line) + "\n";
    expected.append(text.begin(), text.end());
  }
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"9", "--encoding", "UTF-8"},
        std::vector<std::string>{"9", "--encoding", "UTF-8", "-"}}) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    std::thread writer([&bytes, fd = pipeEnds[1]] {
      EXPECT_EQ(write(fd, bytes.data(), bytes.size()),
                static_cast<ssize_t>(bytes.size()));
      close(fd);
    });
    int saved = dup(STDIN_FILENO);
    dup2(pipeEnds[0], STDIN_FILENO);
    close(pipeEnds[0]);
    OrvCmdLineArg parser;
    std::vector<std::string> line = arguments;
    line.insert(line.begin(), "vss-handler");
    std::vector<char*> argv;
    for (std::string& word : line) argv.push_back(word.data());
    parser.ProcessCmdParams(static_cast<int>(argv.size()), argv.data());
    writer.join();
    dup2(saved, STDIN_FILENO);
    close(saved);
    EXPECT_EQ(parser.GetInputParams().GetClientOutput().units(), expected);
    EXPECT_EQ(parser.GetInputParams().GetSourceName(), "-");
  }
}

}  // namespace
