// Every message code that the product's sources hold is documented for the
// host's integrators, in the man page and in the README: a code added to the
// sources without its documentation fails here.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
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

bool IsHexDigit(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// The host's message codes ("0x56" and six hex digits, not part of a longer
// word or number, any suffix such as UL) in `text`, written "0x" and upper
// case as the error document and the documentation write them.
void AddCodesIn(const std::string& text, std::set<std::string>& codes) {
  const std::size_t kDigits = 8;
  for (std::size_t at = text.find("0x56"); at != std::string::npos;
       at = text.find("0x56", at + 1)) {
    if (at > 0 && (std::isalnum(static_cast<unsigned char>(text[at - 1])) ||
                   text[at - 1] == '_')) {
      continue;
    }
    std::size_t end = at + 2;
    while (end < text.size() && IsHexDigit(text[end])) ++end;
    if (end - at - 2 != kDigits) continue;
    std::string code = "0x";
    for (std::size_t i = at + 2; i < end; ++i) {
      code +=
          static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    }
    codes.insert(code);
  }
}

// The codes written anywhere in the C++ sources under the product's folders.
std::set<std::string> CodesInSources() {
  std::set<std::string> codes;
  for (const char* folder : {"driver", "parsers", "host"}) {
    for (const auto& entry :
         fs::recursive_directory_iterator(fs::path(VSS_SOURCE_DIR) / folder)) {
      const std::string extension = entry.path().extension().string();
      if (extension != ".cpp" && extension != ".h") continue;
      AddCodesIn(ReadWhole(entry.path()), codes);
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
