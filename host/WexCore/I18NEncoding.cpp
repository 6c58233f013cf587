#include "I18NEncoding.h"

#include <cstring>
#include <string>

#include "I18NCodePages.h"
#include "PortSystem.h"

namespace {

const char kFallbackEncoding[] = "US-ASCII";

// Empty until the default is first asked for or set.
std::string& DefaultEncoding() {
  static std::string name;
  return name;
}

}  // namespace

I18NTransformationResult I18NExternalBufferToUTF16(unsigned short*& out,
                                                   const void* buffer,
                                                   bool copy) {
  if (buffer == nullptr) {
    out = nullptr;
    return I18N_TRANSFORMATION_FAILED;
  }
  // The buffer is the zero-terminated u16string data of an I18NString.
  const unsigned short* units = static_cast<const unsigned short*>(buffer);
  if (!copy) {
    out = const_cast<unsigned short*>(units);
    return I18N_TRANSFORMATION_OK;
  }
  size_t length = 0;
  while (units[length] != 0) ++length;
  out = new unsigned short[length + 1];
  std::memcpy(out, units, (length + 1) * sizeof(unsigned short));
  return I18N_TRANSFORMATION_OK;
}

const char* I18NGetPlatformDefaultEncoding() {
  std::string& name = DefaultEncoding();
  if (name.empty()) {
    const I18NCodePage* environment =
        I18NFindCodePage(I18NEnvironmentEncoding());
    name = environment != nullptr ? environment->name : kFallbackEncoding;
  }
  return name.c_str();
}

const char* I18NEnvironmentEncoding() {
  static const std::string name = PortDefaultEncodingName();
  return name.c_str();
}

const char* I18NEnvironmentEncodingOrigin() {
  return PortDefaultEncodingOrigin();
}

void I18NSetPlatformDefaultEncoding(const char* name) {
  DefaultEncoding() = name != nullptr ? name : "";
}

bool I18NIsKnownEncoding(const char* name) {
  return name != nullptr && I18NFindCodePage(name) != nullptr;
}
