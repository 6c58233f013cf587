#include "OrvEnumChildren.h"

#include "OrvXmlWriter.h"

OrvEnumChildren::OrvEnumChildren(OrvInputParams& params)
    : OrvCmdObject(params),
      succeeded(false),
      clientOutput(params.GetClientOutput()) {}

OrvEnumChildren::~OrvEnumChildren() {}

I18NString OrvEnumChildren::ConverToOrvFormat() {
  OrvXmlWriter writer;
  OrvOpenResult(writer, GetCommandID(), kQueryName);
  writer.AddAttribute(u"succeeded", succeeded);
  OrvXmlWriter::ElementRun items(writer, "<item name=\"");
  for (const Child& child : children_) {
    items.Add(child.name, child.isProject ? "\" project=\"true\"/>"
                                          : "\" project=\"false\"/>");
  }
  return writer.Finish();
}

void OrvEnumChildren::AddItem(const I18NString& name, const bool& isProject) {
  children_.push_back({name, isProject});
}

void OrvEnumChildren::ReserveItems(std::size_t count) {
  children_.reserve(count);
}
