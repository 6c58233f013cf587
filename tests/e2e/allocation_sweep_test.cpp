// Runs every example in examples/ once for every allocation it makes, with
// exactly that allocation failing (the failing allocator, preloaded). Each
// run must end with the complete expected document and its exit status, or
// with an exception document and exit status 0; never a shorter answer,
// never a signal, never nothing, never a word on standard error. One example
// is swept with --explain as well: its explanation may lose lines, never the
// answer. The runs
// are counted by how they ended and the counts printed.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "HandlerProcess.h"
#include "TestFiles.h"
#include "XmlMeaning.h"

namespace fs = std::filesystem;

namespace {

// A scratch folder for the allocator's count, removed with the object.
class Scratch {
 public:
  Scratch() {
    std::string pattern = fs::temp_directory_path() / "vss-sweep-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    dir_ = pattern;
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::string Path(const char* name) const { return (dir_ / name).string(); }

 private:
  fs::path dir_;
};

// Runs the handler with `arguments` and the failing allocator preloaded,
// configured by `setting` ("VSS_FAIL_AT=N", ...).
HandlerRun RunWithAllocator(const std::vector<std::string>& arguments,
                            const std::string& setting) {
  return RunHandlerIn({std::string("LD_PRELOAD=") + VSS_FAILING_ALLOCATOR,
                       setting, "LC_ALL=C.UTF-8"},
                      arguments);
}

// How a run under a failing allocation ended.
enum class Ending { kExpectedDocument, kExceptionDocument, kWrong };

// Sorts `run` into its ending; for a wrong one, `why` says what was wrong.
// Only a run that explains itself may write to standard error.
Ending Judge(const HandlerRun& run, const XmlElement& expected,
             int expectedStatus, bool explained, std::string& why) {
  if (run.signal != 0) {
    why = "killed by signal " + std::to_string(run.signal);
    return Ending::kWrong;
  }
  if (!explained && !run.standardError.empty()) {
    why = "wrote to standard error: " + run.standardError.substr(0, 200);
    return Ending::kWrong;
  }
  XmlElement printed;
  std::string error;
  if (run.standardOutput.empty() || run.standardOutput.back() != '\n' ||
      !ParseXml(run.standardOutput, printed, error)) {
    why = "no whole document (" + error +
          "): " + run.standardOutput.substr(0, 200);
    return Ending::kWrong;
  }
  if (printed == expected && run.exitStatus == expectedStatus) {
    return Ending::kExpectedDocument;
  }
  if (printed.name == "error" && run.exitStatus == 0) {
    return Ending::kExceptionDocument;
  }
  why = "exit status " + std::to_string(run.exitStatus) + " with\n" +
        Describe(printed);
  return Ending::kWrong;
}

// How the allocations are made to fail: the Nth alone, or every one from
// the Nth on (memory exhausted for the rest of the run); with --explain, the
// Nth alone, so that the explanation's own allocations fail too.
struct SweepMode {
  const char* name;
  const char* variable;
  // The first N swept. With every allocation failing from the first, not
  // even the C++ runtime's reserve for exceptions exists (it is the first
  // allocation, made before the handler runs), so nothing could be thrown.
  int firstN;
  bool explained;
};
const SweepMode kFailOne = {"one", "VSS_FAIL_AT", 1, false};
const SweepMode kFailFromOn = {"from", "VSS_FAIL_FROM", 2, false};
const SweepMode kFailOneExplained = {"explain", "VSS_FAIL_AT", 1, true};

struct SweepCase {
  std::string example;
  SweepMode mode;
};

// The sweeps are named in tests/CMakeLists.txt: EXAMPLE/MODE, one CTest
// test each; the parameter's name is that with "_" for every other sign.
std::string SweepName(const testing::TestParamInfo<SweepCase>& info) {
  return TestIdentifier(info.param.example + "_" + info.param.mode.name);
}

// For gtest's messages.
void PrintTo(const SweepCase& sweep, std::ostream* out) {
  *out << sweep.example << " " << sweep.mode.variable;
}

class AllocationSweep : public testing::TestWithParam<SweepCase> {};

TEST_P(AllocationSweep, EveryRunAnswersWhollyOrReportsTheFailure) {
  if (std::string(VSS_ALLOCATION_SWEEP_SKIP) != "") {
    GTEST_SKIP() << VSS_ALLOCATION_SWEEP_SKIP;
  }
  const SweepCase& sweep = GetParam();
  const ExampleFiles example = ExampleFiles::Named(sweep.example);
  std::vector<std::string> arguments = example.Arguments();
  if (sweep.mode.explained) arguments.insert(arguments.begin(), "--explain");
  XmlElement expected;
  std::string error;
  ASSERT_TRUE(ParseXml(example.Document(), expected, error)) << error;
  const int expectedStatus = expected.name == "result" ? 1 : 0;

  Scratch scratch;
  const std::string countFile = scratch.Path("count");
  const HandlerRun counted =
      RunWithAllocator(arguments, "VSS_COUNT_FILE=" + countFile);
  std::string why;
  ASSERT_EQ(Judge(counted, expected, expectedStatus, sweep.mode.explained, why),
            Ending::kExpectedDocument)
      << why;
  const int allocations = std::atoi(ReadFile(countFile).c_str());
  ASSERT_GT(allocations, sweep.mode.firstN) << "no count from the allocator";

  int endings[3] = {0, 0, 0};
  int reported = 0;
  for (int n = sweep.mode.firstN; n <= allocations; ++n) {
    const HandlerRun run = RunWithAllocator(
        arguments, std::string(sweep.mode.variable) + "=" + std::to_string(n));
    const Ending ending =
        Judge(run, expected, expectedStatus, sweep.mode.explained, why);
    ++endings[static_cast<int>(ending)];
    if (ending == Ending::kWrong && ++reported <= 3) {
      ADD_FAILURE() << sweep.mode.variable << "=" << n << ": " << why;
    }
  }
  std::printf(
      "%s, %s=%d..%d: %d runs, %d expected documents, %d exception "
      "documents, %d wrong\n",
      sweep.example.c_str(), sweep.mode.variable, sweep.mode.firstN,
      allocations, allocations - sweep.mode.firstN + 1,
      endings[static_cast<int>(Ending::kExpectedDocument)],
      endings[static_cast<int>(Ending::kExceptionDocument)],
      endings[static_cast<int>(Ending::kWrong)]);
  EXPECT_EQ(endings[static_cast<int>(Ending::kWrong)], 0);
}

// Every example with one allocation failing; memory exhausted for the
// example that allocates the most, VSS_EXHAUSTED_SWEEP_EXAMPLE.
std::vector<SweepCase> SweepCases() {
  std::vector<SweepCase> cases;
  for (const std::string& name : ExampleNames()) {
    cases.push_back({name, kFailOne});
  }
  cases.push_back({VSS_EXHAUSTED_SWEEP_EXAMPLE, kFailFromOn});
  cases.push_back({VSS_EXPLAINED_SWEEP_EXAMPLE, kFailOneExplained});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Examples, AllocationSweep,
                         testing::ValuesIn(SweepCases()), SweepName);

}  // namespace
