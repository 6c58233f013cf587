// Runs every example in examples/ through the built handler: NAME.txt is the
// client output, NAME.args the arguments before FILE, NAME.xml the document
// the handler must print. Documents are compared by meaning and validated
// against the schema; a `result` document must end with exit status 1 and an
// `error` document with 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "HandlerProcess.h"
#include "TestFiles.h"
#include "XmlMeaning.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> SplitWords(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

std::vector<std::string> ExampleNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(VSS_EXAMPLES_DIR)) {
    if (entry.path().extension() == ".args") {
      names.push_back(entry.path().stem().string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string TestName(const testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  std::replace_if(
      name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
  return name;
}

class Example : public testing::TestWithParam<std::string> {};

TEST_P(Example, PrintsTheExpectedDocument) {
  const fs::path base = fs::path(VSS_EXAMPLES_DIR) / GetParam();
  std::vector<std::string> arguments =
      SplitWords(ReadFile(base.string() + ".args"));
  arguments.push_back(base.string() + ".txt");
  const std::string expectedText = ReadFile(base.string() + ".xml");

  HandlerRun run = RunHandler(arguments);
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
