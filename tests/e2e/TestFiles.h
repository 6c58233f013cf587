#ifndef TESTS_E2E_TESTFILES_H_
#define TESTS_E2E_TESTFILES_H_

#include <filesystem>
#include <string>
#include <vector>

// The whole content of the file at `path`, byte for byte; empty when it
// cannot be read.
std::string ReadFile(const std::filesystem::path& path);

// One example of examples/: NAME.txt is a client output, NAME.args the
// arguments it is run with before FILE, NAME.xml the document the handler
// must print for it.
struct ExampleFiles {
  // The example NAME.
  static ExampleFiles Named(const std::string& name);

  std::string name;
  // examples/NAME, without an extension.
  std::filesystem::path base;

  // The words of NAME.args, then the path of NAME.txt.
  std::vector<std::string> Arguments() const;
  // The path of NAME.txt and the bytes of NAME.xml.
  std::filesystem::path ClientOutput() const;
  std::string Document() const;
};

// Every example in examples/ (every NAME.args there), sorted by name.
std::vector<ExampleFiles> Examples();

// Every example's name, sorted.
std::vector<std::string> ExampleNames();

// `name` as GoogleTest accepts it in a test's name: every character but a
// letter or a digit becomes '_'.
std::string TestIdentifier(std::string name);

#endif  // TESTS_E2E_TESTFILES_H_
