#ifndef TESTS_E2E_TESTFILES_H_
#define TESTS_E2E_TESTFILES_H_

#include <filesystem>
#include <string>
#include <vector>

// The whole content of the file at `path`, byte for byte; empty when it
// cannot be read.
std::string ReadFile(const std::filesystem::path& path);

// The name of every example in examples/ (every NAME.args), sorted, found
// when the test runs, so that a new example is run without a change here.
std::vector<std::string> ExampleNames();

// The arguments that the example `name` is run with: the words of
// NAME.args, then the path of NAME.txt.
std::vector<std::string> ExampleArguments(const std::string& name);

// `name` as GoogleTest accepts it in a test's name: every character but a
// letter or a digit becomes '_'.
std::string TestIdentifier(std::string name);

#endif  // TESTS_E2E_TESTFILES_H_
