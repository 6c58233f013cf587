// Runs the handler under locale settings a host machine may have: unset,
// the C locale, locales that are not installed, names with a modifier or an
// unknown codeset, a bare codeset, garbage and a very long name, each in
// LANG, LC_CTYPE and LC_ALL. No setting may stop a run or reach standard
// error: with --encoding every example prints exactly what it prints under
// C.UTF-8; without it the run still prints a document; --help still works.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "HandlerProcess.h"
#include "TestFiles.h"
#include "XmlMeaning.h"

namespace fs = std::filesystem;

namespace {

// The arguments of every example: NAME.args, then NAME.txt.
std::vector<std::vector<std::string>> EveryExampleArguments() {
  std::vector<std::vector<std::string>> runs;
  for (const std::string& name : ExampleNames()) {
    runs.push_back(ExampleArguments(name));
  }
  return runs;
}

bool NamesAnEncoding(const std::vector<std::string>& arguments) {
  return std::find(arguments.begin(), arguments.end(), "--encoding") !=
         arguments.end();
}

// One locale setting: the variable ("" for none at all) and its value.
struct LocaleSetting {
  const char* variable;
  std::string value;
};

// For gtest's messages and test list: the setting, cut short.
void PrintTo(const LocaleSetting& setting, std::ostream* out) {
  *out << setting.variable << "="
       << testing::PrintToString(setting.value.substr(0, 40));
}

std::vector<std::string> EnvironmentOf(const LocaleSetting& setting) {
  if (*setting.variable == 0) return {};
  return {std::string(setting.variable) + "=" + setting.value};
}

const LocaleSetting kReference = {"LC_ALL", "C.UTF-8"};

std::vector<LocaleSetting> LocaleSettings() {
  const std::vector<std::string> values = {
      "sr_RS.UTF-8@latin",
      "ca_ES.UTF-8@valencia",
      "de_DE.ISO-8859-15@euro",
      "C.UTF-8@x",
      "xx_YY.FOO",
      "C",
      "POSIX",
      "UTF-8",
      "",
      ".@.\x01\xFF%s",
      std::string(5000, 'a') + ".UTF-8",
  };
  std::vector<LocaleSetting> settings = {{"", ""}};
  for (const char* variable : {"LANG", "LC_CTYPE", "LC_ALL"}) {
    for (const std::string& value : values) {
      settings.push_back({variable, value});
    }
  }
  return settings;
}

class Locale : public testing::TestWithParam<LocaleSetting> {};

TEST_P(Locale, NeverStopsARunNorWritesToStandardError) {
  const std::vector<std::string> environment = EnvironmentOf(GetParam());
  for (const std::vector<std::string>& arguments : EveryExampleArguments()) {
    SCOPED_TRACE(arguments.back());
    const HandlerRun run = RunHandlerIn(environment, arguments);
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.standardError, "");
    if (NamesAnEncoding(arguments)) {
      const HandlerRun reference =
          RunHandlerIn(EnvironmentOf(kReference), arguments);
      EXPECT_EQ(run.standardOutput, reference.standardOutput);
      EXPECT_EQ(run.exitStatus, reference.exitStatus);
      continue;
    }
    XmlElement document;
    std::string error;
    ASSERT_TRUE(ParseXml(run.standardOutput, document, error))
        << error << ": " << run.standardOutput;
    EXPECT_EQ(run.exitStatus, document.name == "result" ? 1 : 0);
  }
  const HandlerRun help = RunHandlerIn(environment, {"--help"});
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_NE(help.standardOutput, "");
  EXPECT_EQ(help.standardError, "");
}

std::string SettingName(const testing::TestParamInfo<LocaleSetting>& info) {
  const std::string variable = info.param.variable;
  return (variable.empty() ? "Unset" : variable) + "_" +
         std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Settings, Locale, testing::ValuesIn(LocaleSettings()),
                         SettingName);

}  // namespace
