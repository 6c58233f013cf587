// Every message code that the product's sources hold is documented for the
// host's integrators, in the man page and in the README: a code added to the
// sources without its documentation fails here.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

// "0x" and the eight hex digits in upper case, as the error document and
// the documentation write a code.
std::string Canonical(const std::string& code) {
  std::string canonical = "0x";
  for (std::size_t i = 2; i < code.size(); ++i) {
    canonical +=
        static_cast<char>(std::toupper(static_cast<unsigned char>(code[i])));
  }
  return canonical;
}

// The host's message codes (0x56 and six hex digits, any suffix such as UL)
// written anywhere in the C++ sources under the product's folders.
std::set<std::string> CodesInSources() {
  const std::regex code("\\b0[xX]56[0-9A-Fa-f]{6}(?![0-9A-Fa-f])");
  std::set<std::string> codes;
  for (const char* folder : {"driver", "parsers", "host"}) {
    for (const auto& entry :
         fs::recursive_directory_iterator(fs::path(VSS_SOURCE_DIR) / folder)) {
      const std::string extension = entry.path().extension().string();
      if (extension != ".cpp" && extension != ".h") continue;
      const std::string text = ReadWhole(entry.path());
      for (auto match = std::sregex_iterator(text.begin(), text.end(), code);
           match != std::sregex_iterator(); ++match) {
        codes.insert(Canonical(match->str()));
      }
    }
  }
  return codes;
}

class MessageCodesDocumented : public testing::TestWithParam<const char*> {};

TEST_P(MessageCodesDocumented, EveryCodeInTheSourcesIsListed) {
  const std::set<std::string> codes = CodesInSources();
  ASSERT_FALSE(codes.empty())
      << "no message code found under " << VSS_SOURCE_DIR;
  const std::string document = ReadWhole(fs::path(VSS_SOURCE_DIR) / GetParam());
  ASSERT_FALSE(document.empty()) << GetParam() << " cannot be read";
  for (const std::string& code : codes) {
    EXPECT_NE(document.find(code), std::string::npos)
        << code << " is missing from " << GetParam();
  }
}

INSTANTIATE_TEST_SUITE_P(Documents, MessageCodesDocumented,
                         testing::Values("man/vss-handler.1", "README.md"));

}  // namespace
