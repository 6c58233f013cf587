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

OrvEnumChildren::OrvEnumChildren(OrvInputParams& params)
    : OrvCmdObject(params),
      succeeded(false),
      clientOutput(params.GetClientOutput()) {}

OrvEnumChildren::~OrvEnumChildren() {}

I18NString OrvEnumChildren::ConverToOrvFormat() {
  OrvXmlWriter writer;
  OrvOpenResult(writer, GetCommandID(), kQueryName);
  writer.AddAttribute(u"succeeded", succeeded);
  OrvXmlWriter::ElementRun items(writer, kItemOpening);
  for (const Child& child : children_) {
    items.Add(child.name, child.isProject ? kProjectClosing : kFileClosing);
  }
  return writer.Finish();
}

void OrvEnumChildren::AddItem(const I18NString& name, const bool& isProject) {
  children_.push_back({name, isProject});
}

void OrvEnumChildren::ReserveItems(std::size_t count) {
  children_.reserve(count);
}
