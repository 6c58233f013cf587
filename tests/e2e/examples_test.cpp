// Runs every example in examples/ through the built handler: NAME.txt is the
// client output, NAME.args the arguments before FILE, NAME.xml the document
// the handler must print. Documents are compared by meaning and validated
// against the schema; a `result` document must end with exit status 1 and an
// `error` document with 0.
#include <gtest/gtest.h>

#include <filesystem>

#include "HandlerProcess.h"
#include "TestFiles.h"
#include "XmlMeaning.h"

namespace fs = std::filesystem;

namespace {

std::string TestName(const testing::TestParamInfo<std::string>& info) {
  return TestIdentifier(info.param);
}

class Example : public testing::TestWithParam<std::string> {};

TEST_P(Example, PrintsTheExpectedDocument) {
  const fs::path base = fs::path(VSS_EXAMPLES_DIR) / GetParam();
  const std::string expectedText = ReadFile(base.string() + ".xml");

  HandlerRun run = RunHandler(ExampleArguments(GetParam()));
  ASSERT_EQ(run.signal, 0) << "the handler was killed by a signal";

  XmlElement expected, actual;
  std::string error;
  ASSERT_TRUE(ParseXml(expectedText, expected, error))
      << GetParam() << ".xml: " << error;
  ASSERT_TRUE(ParseXml(run.standardOutput, actual, error))
      << "not well-formed: " << error << "\n"
      << run.standardOutput;
  EXPECT_EQ(expected, actual) << "expected:\n"
                              << Describe(expected) << "printed:\n"
                              << Describe(actual);
  EXPECT_EQ(ValidateXml(run.standardOutput, VSS_SCHEMA_PATH), "");
  EXPECT_EQ(run.exitStatus, actual.name == "result" ? 1 : 0);
  EXPECT_EQ(
      run.standardOutput.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"", 0),
      0u);
  EXPECT_EQ(run.standardOutput.back(), '\n');
}

INSTANTIATE_TEST_SUITE_P(Examples, Example, testing::ValuesIn(ExampleNames()),
                         TestName);

}  // namespace
