#include "template/language_file.h"

#include "core/context.h"
#include "core/convert.h"
#include "core/names.h"
#include "platform/xml_file.h"

namespace zantrel {
namespace {

std::string ExpectedRoot() {
  std::string name;
  for (char c : Context().product.name)
    if (c != '/' && c != ' ') name += c;
  return name + ".language";
}

}  // namespace

bool ObPLanguage::Load(const std::string& file) {
  pugi::xml_document doc;
  if (!LoadXmlFile(file, doc)) {
    lastError_ = "Load language file failed!";
    return false;
  }
  phrases_.clear();
  pugi::xml_node root = doc.document_element();
  if (!NameEquals(root.name(), ExpectedRoot())) {
    lastError_ = "Language file is invalid!";
    return false;
  }
  for (const pugi::xml_node& child : root.children()) {
    if (child.type() != pugi::node_element || !NameEquals(child.name(), "phrase")) continue;
    Record record;
    for (const pugi::xml_attribute& attr : child.attributes()) {
      if (NameEquals(attr.name(), "id")) record.id = attr.value();
      else if (NameEquals(attr.name(), "value")) record.value = attr.value();
    }
    phrases_.push_back(std::move(record));
  }
  return true;
}

std::string ObPLanguage::Phrase(std::string_view id) const {
  for (auto it = phrases_.rbegin(); it != phrases_.rend(); ++it)
    if (NameEquals(it->id, id)) return it->value;
  return {};
}

std::string ObPLanguage::PhraseId(int32_t index) const {
  return index >= 1 && index <= Count() ? phrases_[index - 1].id : std::string();
}

const MemberTable<ObPLanguage>& ObPLanguage::Members() {
  using L = ObPLanguage;
  static const MemberTable<L> table(
      "ObPLanguage",
      {{"Load", [](L& l, Args a) { return Variant(l.Load(CStr(Arg(a, 0)))); }, nullptr},
       {"Phrase", [](L& l, Args a) { return Variant(l.Phrase(CStr(Arg(a, 0)))); }, nullptr},
       {"Count", [](L& l, Args) { return Variant(l.Count()); }, nullptr},
       {"PhraseId", [](L& l, Args a) { return Variant(l.PhraseId(CLng(Arg(a, 0)))); }, nullptr},
       {"curIndex", [](L& l, Args) { return Variant(l.curIndex()); }, nullptr}},
      "Phrase");
  return table;
}

}  // namespace zantrel
