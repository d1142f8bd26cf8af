#include "template/control_file.h"

#include <unordered_set>

#include "core/context.h"
#include "core/convert.h"
#include "core/names.h"
#include "model/super_collection.h"
#include "platform/xml_file.h"
#include "template/folder_path.h"

namespace zantrel {

ControlKind ControlKindOf(std::string_view type) {
  static constexpr std::pair<std::string_view, ControlKind> kKinds[] = {
      {"table", ControlKind::Table}, {"field", ControlKind::Field}, {"report", ControlKind::Report},
      {"other", ControlKind::Other}, {"copy", ControlKind::Copy}};
  for (const auto& [name, kind] : kKinds)
    if (type == name) return kind;
  return ControlKind::Unknown;
}
namespace {

// Attributes of a control element, matched by lower-cased name.
struct ControlAttribute {
  std::string_view name;
  std::string ObPControl::*field;
  bool folder;  // normalised as a folder name
};

const ControlAttribute kControlAttributes[] = {
    {"id", &ObPControl::CtrlID, false},         {"type", &ObPControl::CtrlType, false},
    {"ofile", &ObPControl::CtrlOFile, false},   {"oext", &ObPControl::CtrlOExt, false},
    {"ofolder", &ObPControl::CtrlOFolder, true}, {"ifiles", &ObPControl::CtrlIFiles, false},
    {"ifolder", &ObPControl::CtrlIFolder, true}, {"cond", &ObPControl::CtrlCond, false},
    {"tagext", &ObPControl::CtrlTagExt, false}, {"parm", &ObPControl::CtrlParm, false},
};

struct SessionAttribute {
  std::string_view name;
  std::string ObPSession::*field;
};

const SessionAttribute kSessionAttributes[] = {
    {"type", &ObPSession::SessType},
    {"value", &ObPSession::SessValue},
    {"ifile", &ObPSession::SessIFile},
    {"cond", &ObPSession::SessCond},
};

bool IsElementNamed(const pugi::xml_node& node, std::string_view lowerName) {
  return node.type() == pugi::node_element && FoldName(node.name()) == lowerName;
}

// The root's name without a namespace prefix, as the DOM's baseName gives it.
std::string_view BaseName(const pugi::xml_node& node) {
  std::string_view name = node.name();
  std::size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string ProductRootName() {
  std::string name;
  for (char c : Context().product.name)
    if (c != '/' && c != ' ') name += c;
  return name;
}

template <class T>
Ref<Enumerator> EnumerateAll(const std::vector<Ref<T>>& items) {
  std::vector<Variant> values;
  for (const auto& item : items) values.push_back(ObjectVariant(item));
  return MakeRef<VariantListEnumerator>(std::move(values));
}

}  // namespace

void ObPSession::Load(const pugi::xml_node& session) {
  for (const pugi::xml_attribute& attr : session.attributes()) {
    std::string name = FoldName(attr.name());
    for (const SessionAttribute& a : kSessionAttributes)
      if (a.name == name) this->*a.field = attr.value();
  }
}

void ObPSessions::Load(const pugi::xml_node& control) {
  for (const pugi::xml_node& child : control.children()) {
    if (!IsElementNamed(child, "session")) continue;
    auto session = MakeRef<ObPSession>();
    session->Load(child);
    items_.push_back(session);
  }
}

Ref<ObPSession> ObPSessions::Item(int32_t index) const {
  return index >= 1 && index <= Count() ? items_[index - 1] : nullptr;
}

Ref<Enumerator> ObPSessions::NewEnum() { return EnumerateAll(items_); }

ObPSessions& ObPControl::Sessions() {
  if (!sessions_) sessions_ = MakeRef<ObPSessions>();
  return *sessions_;
}

void ObPControl::Load(const pugi::xml_node& control) {
  CtrlSpace = true;
  CtrlCond.clear();
  for (const pugi::xml_attribute& attr : control.attributes()) {
    std::string name = FoldName(attr.name());
    if (name == "space") {
      CtrlSpace = CBool(Variant(std::string_view(attr.value())));
      continue;
    }
    for (const ControlAttribute& a : kControlAttributes)
      if (a.name == name) this->*a.field = a.folder ? NormalizeFolder(attr.value()) : std::string(attr.value());
  }
  Sessions().Load(control);
}

namespace {

constexpr std::string_view kInvalid = "Control file is invalid! Please check if the correct template file is in use!";

}  // namespace

bool ObPControls::Fail(std::string message, std::string reason) {
  lastReason_ = std::move(reason);
  lastError_ = std::move(message) + " Reason: " + lastReason_ + ".";
  return false;
}

bool ObPControls::LoadControls(const std::string& file) {
  pugi::xml_document doc;
  if (XmlError failure; !LoadXmlFile(file, doc, &failure))
    return Fail("Load control file failed! Please check if the correct template file is in use!", failure.Text());
  items_.clear();
  lastError_.clear();
  lastReason_.clear();
  pugi::xml_node root = doc.document_element();
  if (!NameEquals(BaseName(root), ProductRootName()))
    return Fail(std::string(kInvalid), "the root element is <" + std::string(root.name()) + ">, not <" +
                                           ProductRootName() + ">");
  ProdDate = root.attribute("date").value();
  ProdVersion = root.attribute("version").value();
  ProdDesc = root.attribute("desc").value();
  ProdAuthor = root.attribute("author").value();
  std::unordered_set<std::string> ids;  // folded: ids are looked up without case
  for (const pugi::xml_node& child : root.children()) {
    if (!IsElementNamed(child, "control")) continue;
    auto control = MakeRef<ObPControl>();
    control->Load(child);
    // A second control of one id could never be reached by it.
    if (!control->CtrlID.empty() && !ids.insert(FoldName(control->CtrlID)).second)
      return Fail(std::string(kInvalid),
                  XmlErrorAt(file, child, "control id \"" + control->CtrlID + "\" given twice").Text());
    items_.push_back(control);
  }
  return true;
}

Ref<ObPControl> ObPControls::Item(int16_t index) {
  if (index < 1 || index > Count()) return nullptr;
  curIndex = index;
  return items_[index - 1];
}

Ref<Enumerator> ObPControls::NewEnum() { return EnumerateAll(items_); }

// Script members.

namespace {

template <class T>
Member<T> TextMember(const char* name, std::string T::*field) {
  return {name, [field](T& t, Args) { return Variant(t.*field); },
          [field](T& t, Args, const Variant& v) { t.*field = CStr(v); }};
}

}  // namespace

const MemberTable<ObPSession>& ObPSession::Members() {
  using S = ObPSession;
  static const MemberTable<S> table("ObPSession", {TextMember<S>("SessType", &S::SessType),
                                                   TextMember<S>("SessValue", &S::SessValue),
                                                   TextMember<S>("SessIFile", &S::SessIFile),
                                                   TextMember<S>("SessCond", &S::SessCond)});
  return table;
}

const MemberTable<ObPSessions>& ObPSessions::Members() {
  using L = ObPSessions;
  static const MemberTable<L> table(
      "ObPSessions",
      {{"Count", [](L& l, Args) { return Variant(l.Count()); }, nullptr},
       {"Item", [](L& l, Args a) { return ObjectVariant(l.Item(CLng(Arg(a, 0)))); }, nullptr}},
      "Item");
  return table;
}

const MemberTable<ObPControl>& ObPControl::Members() {
  using C = ObPControl;
  static const MemberTable<C> table(
      "ObPControl",
      {TextMember<C>("CtrlID", &C::CtrlID), TextMember<C>("CtrlType", &C::CtrlType),
       TextMember<C>("CtrlOFile", &C::CtrlOFile), TextMember<C>("CtrlOExt", &C::CtrlOExt),
       TextMember<C>("CtrlOFolder", &C::CtrlOFolder), TextMember<C>("CtrlIFiles", &C::CtrlIFiles),
       TextMember<C>("CtrlIFolder", &C::CtrlIFolder), TextMember<C>("CtrlCond", &C::CtrlCond),
       TextMember<C>("CtrlTagExt", &C::CtrlTagExt), TextMember<C>("CtrlParm", &C::CtrlParm),
       {"CtrlSpace", [](C& c, Args) { return Variant(c.CtrlSpace); },
        [](C& c, Args, const Variant& v) { c.CtrlSpace = CBool(v); }},
       {"Sessions", [](C& c, Args) { return ObjectVariant(Ref<ObPSessions>(&c.Sessions())); }, nullptr, kProperty}});
  return table;
}

const MemberTable<ObPControls>& ObPControls::Members() {
  using L = ObPControls;
  static const MemberTable<L> table(
      "ObPControls",
      {{"ProdDate", [](L& l, Args) { return Variant(l.ProdDate); }, nullptr},
       {"ProdVersion", [](L& l, Args) { return Variant(l.ProdVersion); }, nullptr},
       {"ProdDesc", [](L& l, Args) { return Variant(l.ProdDesc); }, nullptr},
       {"ProdAuthor", [](L& l, Args) { return Variant(l.ProdAuthor); }, nullptr},
       {"curIndex", [](L& l, Args) { return Variant(l.curIndex); }, nullptr},
       {"Count", [](L& l, Args) { return Variant(l.Count()); }, nullptr},
       {"Item", [](L& l, Args a) { return ObjectVariant(l.Item(CInt(Arg(a, 0)))); }, nullptr},
       {"LoadControls", [](L& l, Args a) { return Variant(l.LoadControls(CStr(Arg(a, 0)))); }, nullptr}},
      "Item");
  return table;
}

}  // namespace zantrel
