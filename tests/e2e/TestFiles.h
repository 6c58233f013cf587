#ifndef TESTS_E2E_TESTFILES_H_
#define TESTS_E2E_TESTFILES_H_

#include <filesystem>
#include <string>

// The whole content of the file at `path`, byte for byte; empty when it
// cannot be read.
std::string ReadFile(const std::filesystem::path& path);

#endif  // TESTS_E2E_TESTFILES_H_
