// The driver's sequence: which calls it makes, in which order, what it
// prints and which exit status it returns.
#include "CommandDriver.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "OrvCmdObject.h"
#include "PortSystem.h"

namespace {

// What happened, in order, across the probe objects of one run.
std::vector<std::string> events;

enum class FailAt { kNowhere, kConstructor, kProcess, kConvert, kAfterWrite };

// The answer every probe command writes.
const char kProbeAnswer[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
    "<result command=\"9\" query=\"diff\" different=\"true\"/>\n";
FailAt failAt = FailAt::kNowhere;

// An exception that notes when the exception document asks what it says,
// so the test can tell whether the command object was gone by then.
class ProbeFailure : public std::exception {
 public:
  const char* what() const noexcept override {
    if (events.empty() || events.back() != "what") events.push_back("what");
    return "probe failure";
  }
};

class ProbeCommand : public OrvCmdObject {
 public:
  explicit ProbeCommand(OrvInputParams& params)
      : OrvCmdObject(params, "probe") {
    if (failAt == FailAt::kConstructor) throw ProbeFailure();
    events.push_back("construct");
  }
  ~ProbeCommand() override { events.push_back("destroy"); }
  void ProceesOutPut() override {
    events.push_back("process");
    if (failAt == FailAt::kProcess) throw ProbeFailure();
  }
  I18NString ConverToOrvFormat() override {
    events.push_back("convert");
    if (failAt == FailAt::kConvert) throw ProbeFailure();
    return I18NString(kProbeAnswer, nullptr);
  }
  void WriteToStdOut(I18NString& document) override {
    events.push_back("write");
    OrvCmdObject::WriteToStdOut(document);
    if (failAt == FailAt::kAfterWrite) throw ProbeFailure();
  }
};

const CommandDispatch kProbeTable[] = {{9, &RunQuery<ProbeCommand>}};

// A client output file that lives as long as the test.
class ClientOutputFile {
 public:
  ClientOutputFile() {
    char name[] = "/tmp/vss-driver-test-XXXXXX";
    int fd = mkstemp(name);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, "\n\nNo differences.\n", 18), 18);
    close(fd);
    path_ = name;
  }
  ~ClientOutputFile() { unlink(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Runs the driver with standard output sent to `outputPath` and returns the
// exit status; `printed` receives what was written there.
int RunDriver(std::vector<std::string> arguments, const CommandDispatch* table,
              size_t rows, std::string& printed,
              const char* outputPath = nullptr) {
  std::string capture = "/tmp/vss-driver-out-" + std::to_string(getpid());
  const char* target = outputPath != nullptr ? outputPath : capture.c_str();
  std::fflush(stdout);
  int saved = dup(1);
  int fd = open(target, O_WRONLY | O_CREAT | O_TRUNC, 0600);
  dup2(fd, 1);
  close(fd);
  // The standard streams as the program's main sets them up (binary where
  // the system would otherwise fold line ends).
  PortStartProcess();

  arguments.insert(arguments.begin(), "vss-handler");
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  int status = RunCommandDriver(static_cast<int>(arguments.size()), argv.data(),
                                table, rows);

  std::fflush(stdout);
  dup2(saved, 1);
  close(saved);
  printed.clear();
  if (outputPath == nullptr) {
    std::ifstream in(capture, std::ios::binary);
    printed.assign(std::istreambuf_iterator<char>(in), {});
    unlink(capture.c_str());
  }
  return status;
}

class CommandDriverTest : public testing::Test {
 protected:
  void SetUp() override {
    events.clear();
    failAt = FailAt::kNowhere;
  }
  ClientOutputFile file;
  std::string printed;
};

TEST_F(CommandDriverTest, AnsweredQueryRunsTheFourCallsAndExitsWithOne) {
  EXPECT_EQ(RunDriver({"9", file.path()}, kProbeTable, 1, printed), 1);
  EXPECT_EQ(events, (std::vector<std::string>{"construct", "process", "convert",
                                              "write", "destroy"}));
  EXPECT_NE(printed.find("different=\"true\""), std::string::npos);
}

TEST_F(CommandDriverTest, FailureAfterTheAnswerWentOutWritesNoSecondDocument) {
  failAt = FailAt::kAfterWrite;
  EXPECT_EQ(RunDriver({"9", file.path()}, kProbeTable, 1, printed), 0);
  EXPECT_EQ(printed, kProbeAnswer);
}

TEST_F(CommandDriverTest, FailureDestroysTheCommandBeforeTheExceptionDocument) {
  struct Case {
    FailAt where;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {FailAt::kConstructor, {"what"}},
      {FailAt::kProcess, {"construct", "process", "destroy", "what"}},
      {FailAt::kConvert,
       {"construct", "process", "convert", "destroy", "what"}},
  };
  for (const Case& c : cases) {
    events.clear();
    failAt = c.where;
    EXPECT_EQ(RunDriver({"9", file.path()}, kProbeTable, 1, printed), 0);
    EXPECT_EQ(events, c.expected);
    EXPECT_NE(printed.find("<error"), std::string::npos) << printed;
    EXPECT_NE(printed.find("probe failure"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("<result"), std::string::npos) << printed;
  }
}

TEST_F(CommandDriverTest, IdentifiersWithoutACommandObjectPrintNothing) {
  for (const char* id : {"0", "2", "7", "-1", "10", "4"}) {
    events.clear();
    EXPECT_EQ(RunDriver({id, file.path()}, kProbeTable, 1, printed), 0) << id;
    EXPECT_EQ(printed, "") << id;
    EXPECT_TRUE(events.empty()) << id;
  }
}

TEST_F(CommandDriverTest, HandlerTableSelectsNothingForUnusedIdentifiers) {
  for (const char* id : {"0", "2", "7", "-1", "10"}) {
    EXPECT_EQ(RunDriver({id, file.path()}, kHandlerCommands,
                        kHandlerCommandCount, printed),
              0)
        << id;
    EXPECT_EQ(printed, "") << id;
  }
}

TEST_F(CommandDriverTest, CommandLineErrorPrintsTheExceptionDocument) {
  EXPECT_EQ(RunDriver({"9", "--no-such-option", file.path()}, kProbeTable, 1,
                      printed),
            0);
  EXPECT_NE(printed.find("<error"), std::string::npos) << printed;
  EXPECT_NE(printed.find("--no-such-option"), std::string::npos) << printed;
  EXPECT_TRUE(events.empty());
}

TEST_F(CommandDriverTest, UnwritableResultIsNotReportedAsAnswered) {
  EXPECT_EQ(RunDriver({"9", file.path()}, kProbeTable, 1, printed, "/dev/full"),
            0);
  EXPECT_EQ(events.back(), "destroy");
}

}  // namespace
