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
  auto fail = [this](std::string message, std::string reason) {
    lastReason_ = std::move(reason);
    lastError_ = std::move(message) + " Reason: " + lastReason_ + ".";
    return false;
  };
  if (XmlError failure; !LoadXmlFile(file, doc, &failure))
    return fail("Load language file failed!", file.empty() ? std::string("no file named") : failure.Text());
  phrases_.clear();
  lastError_.clear();
  lastReason_.clear();
  pugi::xml_node root = doc.document_element();
  if (!NameEquals(root.name(), ExpectedRoot()))
    return fail("Language file is invalid!", "the root element is <" + std::string(root.name()) + ">, not <" +
                                                 ExpectedRoot() + ">");
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
