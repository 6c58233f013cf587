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

ExampleFiles ExampleFiles::Named(const std::string& name) {
  return {name, fs::path(VSS_EXAMPLES_DIR) / name};
}

std::vector<std::string> ExampleFiles::Arguments() const {
  std::istringstream words(ReadFile(base.string() + ".args"));
  std::vector<std::string> arguments;
  for (std::string word; words >> word;) arguments.push_back(word);
  arguments.push_back(ClientOutput().string());
  return arguments;
}

fs::path ExampleFiles::ClientOutput() const { return base.string() + ".txt"; }

std::string ExampleFiles::Document() const {
  return ReadFile(base.string() + ".xml");
}

std::vector<ExampleFiles> Examples() {
  std::vector<ExampleFiles> examples;
  for (const auto& entry : fs::directory_iterator(VSS_EXAMPLES_DIR)) {
    if (entry.path().extension() != ".args") continue;
    examples.push_back(ExampleFiles::Named(entry.path().stem().string()));
  }
  std::sort(examples.begin(), examples.end(),
            [](const ExampleFiles& a, const ExampleFiles& b) {
              return a.name < b.name;
            });
  return examples;
}

std::vector<std::string> ExampleNames() {
  std::vector<std::string> names;
  for (const ExampleFiles& example : Examples()) names.push_back(example.name);
  return names;
}

std::string TestIdentifier(std::string name) {
  std::replace_if(
      name.begin(), name.end(),
      [](unsigned char c) { return !std::isalnum(c); }, '_');
  return name;
}
