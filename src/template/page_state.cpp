#include "template/page_state.h"

#include "core/convert.h"
#include "core/names.h"
#include "model/schema_rules.h"
#include "template/script_host.h"

namespace zantrel {
namespace {

using S = ObScript;

bool Tagged(Args a) { return a.size() > 1 && CBool(a[1]); }

const PageName* Find(const PageState& page, Args a) {
  const auto& table = Tagged(a) ? page.taggedPages : page.pages;
  auto it = table.find(FoldName(CStr(Arg(a, 0))));
  return it == table.end() ? nullptr : &it->second;
}

std::string FileOf(const PageName* name) { return name ? name->file + "." + name->ext : std::string(); }

// A read-only text property.
Member<S> Text(std::string name, std::string PageState::*field) {
  return {std::move(name), [field](S& s, Args) { return Variant(s.page.*field); }, nullptr, kProperty};
}
Member<S> TableText(std::string name, std::string TableState::*field) {
  return {std::move(name), [field](S& s, Args) { return Variant(s.page.table.*field); }, nullptr, kProperty};
}
Member<S> TableFlag(std::string name, bool TableState::*field) {
  return {std::move(name), [field](S& s, Args) { return Variant(s.page.table.*field); }, nullptr, kProperty};
}
Member<S> Flag(std::string name, bool PageState::*field) {
  return {std::move(name), [field](S& s, Args) { return Variant(s.page.*field); }, nullptr, kProperty};
}

}  // namespace

void AppendPageStateMembers(std::vector<Member<S>>& members) {
  const std::vector<Member<S>> more = {
      {"PageFile", [](S& s, Args a) { const PageName* n = Find(s.page, a); return Variant(n ? n->file : ""); }, nullptr},
      {"PageExt", [](S& s, Args a) { const PageName* n = Find(s.page, a); return Variant(n ? n->ext : ""); }, nullptr},
      // The current table's page of a kind (login and logout pages have no table part).
      {"PageName",
       [](S& s, Args a) {
         const PageName* n = Find(s.page, a);
         std::string kind = FoldName(CStr(Arg(a, 0)));
         if (!n) return Variant("");
         return Variant((kind == "login" || kind == "logout" ? "" : s.page.pageNameBase) + FileOf(n));
       },
       nullptr},
      // Another table's page: TablePageName(kind, tableName[, tagged]).
      {"TablePageName",
       [](S& s, Args a) {
         std::string table = CStr(Arg(a, 1));
         std::array<Variant, 2> args{Arg(a, 0), a.size() > 2 ? a[2] : Variant(false)};
         const PageName* n = Find(s.page, args);
         return Variant(n && s.page.pageNameBaseOf ? s.page.pageNameBaseOf(table) + FileOf(n) : "");
       },
       nullptr},
      // A field's page of the current table: FieldPageName(kind, fieldName[, tagged]).
      {"FieldPageName",
       [](S& s, Args a) {
         std::array<Variant, 2> args{Arg(a, 0), a.size() > 2 ? a[2] : Variant(false)};
         const PageName* n = Find(s.page, args);
         return Variant(n ? s.page.pageNameBase + "_" + MakeVarName(CStr(Arg(a, 1)), "") + FileOf(n) : "");
       },
       nullptr},
      {"TablePageNameBase",
       [](S& s, Args a) {
         return Variant(s.page.pageNameBaseOf ? s.page.pageNameBaseOf(CStr(Arg(a, 0))) : std::string());
       },
       nullptr},
      // The tables to generate whose master is the current table (or the named one).
      {"DetailTables",
       [](S& s, Args a) {
         std::string master = a.empty() ? s.page.table.name : CStr(a[0]);
         std::vector<Variant> tables = s.page.detailTablesOf ? s.page.detailTablesOf(master) : std::vector<Variant>();
         return Variant(SafeArray::FromVector(std::move(tables)));
       },
       nullptr},
      {"ToVarName", [](S&, Args a) { return Variant(MakeVarName(CStr(Arg(a, 0)), a.size() > 1 ? CStr(a[1]) : "")); }, nullptr},
      Text("PageExtension", &PageState::pageExtension),
      Text("DefaultPage", &PageState::defaultPage),
      Flag("IsAccess", &PageState::isAccess),
      Flag("IsSqlServer", &PageState::isSqlServer),
      Flag("IsMySql", &PageState::isMySql),
      Flag("IsOracle", &PageState::isOracle),
      Text("ConnHost", &PageState::dbHost),
      Text("ConnName", &PageState::dbName),
      Text("ConnUser", &PageState::dbUser),
      Text("ConnPassword", &PageState::dbPassword),
      Text("ConnPort", &PageState::dbPort),
      Text("PageNameBase", &PageState::pageNameBase),
      Text("FieldVar", &PageState::fieldVar),
      Text("OutputName", &PageState::outputName),
      TableText("TableName", &TableState::name),
      TableText("TableCaption", &TableState::caption),
      TableText("TableType", &TableState::type),
      TableText("TableFilter", &TableState::filter),
      TableText("TableSortField", &TableState::sortField),
      TableText("TableSortOrder", &TableState::sortOrder),
      TableText("TableKey", &TableState::key),
      TableFlag("TableHasKey", &TableState::hasKey),
      TableFlag("TableCanAdd", &TableState::canAdd),
      TableFlag("TableCanView", &TableState::canView),
      TableFlag("TableCanEdit", &TableState::canEdit),
      TableFlag("TableCanDelete", &TableState::canDelete),
      TableFlag("TableHasUpload", &TableState::hasUpload),
      TableFlag("TableCanSearch", &TableState::search),
      TableFlag("TableBasicSearch", &TableState::basicSearch),
      TableFlag("TableAdvancedSearch", &TableState::advancedSearch),
  };
  members.insert(members.end(), more.begin(), more.end());
}

}  // namespace zantrel
