// What Windows reads of vss-handler.exe before and without running it: the
// version resource (Explorer's Details tab, PowerShell's VersionInfo, an
// installer comparing versions), the application manifest, and the header
// flag that lets a 32-bit program use 4 GB of address space. The resources
// are read back through the calls that Windows offers for them, the flag
// from the program's header.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "HandlerProcess.h"
#include "TestFiles.h"
#include "XmlMeaning.h"

namespace fs = std::filesystem;

namespace {

const fs::path kProgram = fs::u8path(VSS_HANDLER_BINARY);

std::string Utf8(const wchar_t* wide) { return fs::path(wide).u8string(); }

// The program's version resource, whole.
std::vector<char> VersionResource() {
  DWORD ignored = 0;
  const DWORD size =
      GetFileVersionInfoSizeW(kProgram.wstring().c_str(), &ignored);
  std::vector<char> resource(size);
  if (size == 0 || !GetFileVersionInfoW(kProgram.wstring().c_str(), 0, size,
                                        resource.data())) {
    resource.clear();
  }
  return resource;
}

// The string `name` of the U.S. English block, as Explorer shows it; empty
// when there is none.
std::string VersionString(std::vector<char>& resource, const char* name) {
  const std::wstring path =
      L"\\StringFileInfo\\040904B0\\" + fs::u8path(name).wstring();
  wchar_t* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(resource.data(), path.c_str(),
                      reinterpret_cast<void**>(&value), &length) ||
      length == 0) {
    return std::string();
  }
  return Utf8(value);
}

// The version that `--version` prints after the program's name on its
// first line ("vss-handler X.Y.Z").
std::string ProgramVersion() {
  const std::string text = RunHandler({"--version"}).standardOutput;
  const std::string line = text.substr(0, text.find('\n'));
  return line.substr(line.find(' ') + 1);
}

// The copyright line of NOTICE.
std::string Copyright() {
  std::istringstream notice(
      ReadFile(fs::path(VSS_EXAMPLES_DIR).parent_path() / "NOTICE"));
  for (std::string line; std::getline(notice, line);) {
    if (line.rfind("Copyright ", 0) == 0) return line;
  }
  return std::string();
}

struct Field {
  const char* name;
  std::function<std::string()> expected;
};

const Field kFields[] = {
    {"FileVersion", ProgramVersion},
    {"ProductVersion", ProgramVersion},
    {"ProductName", [] { return std::string("vss-handler"); }},
    {"FileDescription", [] { return std::string(VSS_DESCRIPTION); }},
    {"LegalCopyright", Copyright},
    {"OriginalFilename", [] { return kProgram.filename().u8string(); }},
};

class VersionField : public testing::TestWithParam<Field> {};

TEST_P(VersionField, HoldsTheProjectsValue) {
  std::vector<char> resource = VersionResource();
  ASSERT_FALSE(resource.empty()) << "no version resource";
  const std::string expected = GetParam().expected();
  ASSERT_NE(expected, "");
  EXPECT_EQ(VersionString(resource, GetParam().name), expected);
}

std::string FieldName(const testing::TestParamInfo<Field>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(WindowsIdentity, VersionField,
                         testing::ValuesIn(kFields), FieldName);

// The numbers that an installer compares: version X.Y.Z is X.Y.Z.0.
TEST(WindowsIdentity, NumericVersionsAreTheProgramsVersion) {
  std::vector<char> resource = VersionResource();
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(resource.data(), L"\\",
                             reinterpret_cast<void**>(&fixed), &length));
  ASSERT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  std::ostringstream file;
  file << HIWORD(fixed->dwFileVersionMS) << '.'
       << LOWORD(fixed->dwFileVersionMS) << '.'
       << HIWORD(fixed->dwFileVersionLS) << '.'
       << LOWORD(fixed->dwFileVersionLS);
  std::ostringstream product;
  product << HIWORD(fixed->dwProductVersionMS) << '.'
          << LOWORD(fixed->dwProductVersionMS) << '.'
          << HIWORD(fixed->dwProductVersionLS) << '.'
          << LOWORD(fixed->dwProductVersionLS);
  EXPECT_EQ(file.str(), ProgramVersion() + ".0");
  EXPECT_EQ(product.str(), ProgramVersion() + ".0");
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

// The manifest that Windows applies as it starts the program (resource 1 of
// type RT_MANIFEST), parsed.
XmlElement Manifest() {
  XmlElement root;
  HMODULE module =
      LoadLibraryExW(kProgram.wstring().c_str(), nullptr,
                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return root;
  HRSRC found =
      FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const char* bytes = loaded != nullptr
                          ? static_cast<const char*>(LockResource(loaded))
                          : nullptr;
  std::string error;
  if (bytes != nullptr) {
    ParseXml(std::string(bytes, SizeofResource(module, found)), root, error);
  }
  FreeLibrary(module);
  return root;
}

// The children of `parent` named `name`.
std::vector<XmlElement> Children(const XmlElement& parent, const char* name) {
  std::vector<XmlElement> found;
  std::copy_if(parent.children.begin(), parent.children.end(),
               std::back_inserter(found),
               [&](const XmlElement& child) { return child.name == name; });
  return found;
}

// The one element at the end of `path` below `root`, each step a child name
// and the namespace it must be declared in ("" when it inherits one);
// empty when there is not exactly one.
XmlElement Find(const XmlElement& root,
                const std::vector<std::pair<const char*, const char*>>& path) {
  XmlElement at = root;
  for (const auto& [name, space] : path) {
    const std::vector<XmlElement> found = Children(at, name);
    if (found.size() != 1) return XmlElement();
    at = found.front();
    const auto declared = at.attributes.find("xmlns");
    const std::string actual =
        declared != at.attributes.end() ? declared->second : "";
    if (actual != space) return XmlElement();
  }
  return at;
}

const char kAsmV3[] = "urn:schemas-microsoft-com:asm.v3";

TEST(WindowsIdentity, ManifestRunsAsInvoker) {
  const XmlElement manifest = Manifest();
  ASSERT_EQ(manifest.name, "assembly") << "no manifest";
  EXPECT_EQ(manifest.attributes.at("xmlns"),
            "urn:schemas-microsoft-com:asm.v1");
  EXPECT_EQ(manifest.attributes.at("manifestVersion"), "1.0");
  const XmlElement level = Find(manifest, {{"trustInfo", kAsmV3},
                                           {"security", ""},
                                           {"requestedPrivileges", ""},
                                           {"requestedExecutionLevel", ""}});
  EXPECT_EQ(level.attributes,
            (std::map<std::string, std::string>{{"level", "asInvoker"},
                                                {"uiAccess", "false"}}))
      << Describe(manifest);
}

TEST(WindowsIdentity, ManifestNamesWindows7To11) {
  const XmlElement manifest = Manifest();
  const XmlElement application =
      Find(manifest,
           {{"compatibility", "urn:schemas-microsoft-com:compatibility.v1"},
            {"application", ""}});
  std::vector<std::string> systems;
  for (const XmlElement& os : Children(application, "supportedOS")) {
    systems.push_back(os.attributes.at("Id"));
  }
  EXPECT_EQ(systems, (std::vector<std::string>{
                         "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",    // 7
                         "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",    // 8
                         "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",    // 8.1
                         "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}))  // 10, 11
      << Describe(manifest);
}

// True when `element` or any element below it is named `name`.
bool Holds(const XmlElement& element, const std::string& name) {
  return element.name == name ||
         std::any_of(
             element.children.begin(), element.children.end(),
             [&](const XmlElement& child) { return Holds(child, name); });
}

// Long paths on; the ANSI code page left as the system's, in which the
// client writes its output: no activeCodePage anywhere.
TEST(WindowsIdentity, ManifestIsLongPathAwareAndKeepsTheAnsiCodePage) {
  const XmlElement manifest = Manifest();
  const XmlElement longPaths = Find(
      manifest, {{"application", kAsmV3},
                 {"windowsSettings", ""},
                 {"longPathAware",
                  "http://schemas.microsoft.com/SMI/2016/WindowsSettings"}});
  EXPECT_EQ(longPaths.text, "true") << Describe(manifest);
  EXPECT_FALSE(Holds(manifest, "activeCodePage")) << Describe(manifest);
}

// A 32-bit program without the flag gets 2 GB of address space, and so does
// a 64-bit one.
TEST(WindowsIdentity, ProgramIsLargeAddressAware) {
  const std::string image = ReadFile(kProgram);
  ASSERT_GT(image.size(), sizeof(IMAGE_DOS_HEADER));
  IMAGE_DOS_HEADER dos;
  std::copy_n(image.data(), sizeof dos, reinterpret_cast<char*>(&dos));
  ASSERT_EQ(dos.e_magic, IMAGE_DOS_SIGNATURE);
  const std::size_t at = static_cast<std::size_t>(dos.e_lfanew);
  ASSERT_GT(image.size(), at + sizeof(DWORD) + sizeof(IMAGE_FILE_HEADER));
  DWORD signature;
  std::copy_n(image.data() + at, sizeof signature,
              reinterpret_cast<char*>(&signature));
  ASSERT_EQ(signature, static_cast<DWORD>(IMAGE_NT_SIGNATURE));
  IMAGE_FILE_HEADER header;
  std::copy_n(image.data() + at + sizeof signature, sizeof header,
              reinterpret_cast<char*>(&header));
  EXPECT_NE(header.Characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE, 0);
}

}  // namespace
