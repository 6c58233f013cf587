#include "TestFiles.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
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

std::vector<std::string> ExampleArguments(const std::string& name) {
  const fs::path base = fs::path(VSS_EXAMPLES_DIR) / name;
  // The words stand without quoting, separated by white space.
  std::istringstream words(ReadFile(base.string() + ".args"));
  std::vector<std::string> arguments;
  for (std::string word; words >> word;) arguments.push_back(word);
  arguments.push_back(base.string() + ".txt");
  return arguments;
}

std::string TestIdentifier(std::string name) {
  std::replace_if(
      name.begin(), name.end(),
      [](unsigned char c) { return !std::isalnum(c); }, '_');
  return name;
}
