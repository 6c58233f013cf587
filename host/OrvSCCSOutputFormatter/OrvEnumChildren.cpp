#include "OrvEnumChildren.h"

#include <string_view>

#include "OrvXmlWriter.h"

namespace {

// The markup of an item around its name. Held as views, so that no item
// measures them again.
constexpr std::string_view kItemOpening = "<item name=\"";
constexpr std::string_view kProjectClosing = "\" project=\"true\"/>";
constexpr std::string_view kFileClosing = "\" project=\"false\"/>";

}  // namespace

void OrvEnumChildren::AddResultContent(OrvXmlWriter& writer) const {
  OrvXmlWriter::ElementRun items(writer, kItemOpening);
  for (std::size_t i = 0; i < names_.size(); ++i) {
    items.Add(names_[i], projects_[i] ? kProjectClosing : kFileClosing);
  }
}

std::vector<OrvEnumChildren::Child> OrvEnumChildren::Children() const {
  std::vector<Child> children;
  for (std::size_t i = 0; i < names_.size(); ++i)
    children.push_back({names_[i], projects_[i]});
  return children;
}

void OrvEnumChildren::AddItem(const I18NString& name, const bool& isProject) {
  // The flag first: when the name then finds no memory, the flags are one
  // ahead, and everything reads as many children as there are names.
  projects_.push_back(isProject);
  names_.push_back(name);
}

void OrvEnumChildren::ReserveItems(std::size_t count) {
  names_.reserve(count);
  projects_.reserve(count);
}
