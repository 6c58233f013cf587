// Runs every example in examples/ through the built handler: NAME.txt is the
// client output, NAME.args the arguments before FILE, NAME.xml the document
// the handler must print. Documents are compared by meaning and validated
// against the schema; a `result` document must end with exit status 1 and an
// `error` document with 0.
#include <gtest/gtest.h>

#include <algorithm>

#include "HandlerProcess.h"
#include "TestFiles.h"
#include "XmlMeaning.h"

namespace {

class Example : public testing::TestWithParam<std::string> {};

TEST_P(Example, PrintsTheExpectedDocument) {
  const ExampleFiles example = ExampleFiles::Named(GetParam());
  const std::string expectedText = example.Document();

  HandlerRun run = RunHandler(example.Arguments());
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
                         [](const testing::TestParamInfo<std::string>& info) {
                           return TestIdentifier(info.param);
                         });

}  // namespace
