#include "sync/differences.h"

namespace zantrel {
namespace {

struct KindText {
  const char* name;
  const char* found;  // what the check says
  const char* done;   // what synchronisation says
};

// Indexed by DifferenceKind.
constexpr KindText kKinds[] = {
    {"newTable", "new table", "added table"},
    {"droppedTable", "dropped table", "deleted table"},
    {"changedKey", "changed key", "updated key"},
    {"newField", "new field", "added field"},
    {"droppedField", "dropped field", "deleted field"},
    {"changedField", "changed field", "refreshed field"},
    {"failure", "failing", "failing"},
    {"renamedField", "renamed field", "renamed field"},
};

const KindText& TextOf(DifferenceKind kind) { return kKinds[static_cast<int>(kind)]; }

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string Attributes(const std::vector<AttributeChange>& attributes) {
  std::string out;
  for (const AttributeChange& a : attributes)
    out += (out.empty() ? "" : ", ") + a.name + " " + Quoted(a.project) + " -> " + Quoted(a.database);
  return out;
}

bool Retyped(const Difference& d) {
  for (const AttributeChange& a : d.attributes)
    if (a.name == "NativeDataType") return true;
  return false;
}

}  // namespace

Difference& SchemaDifferences::Add(DifferenceKind kind, std::string table, std::string tableType,
                                   std::string field) {
  Difference& d = items.emplace_back();
  d.kind = kind;
  d.table = std::move(table);
  d.tableType = std::move(tableType);
  d.field = std::move(field);
  return d;
}

const char* KindName(DifferenceKind kind) { return TextOf(kind).name; }

std::string Describe(const Difference& d, bool done) {
  const KindText& text = TextOf(d.kind);
  std::string verb = done ? text.done : text.found;
  const std::string where = d.field.empty() ? d.table : d.table + "." + d.field;
  switch (d.kind) {
    case DifferenceKind::NewTable:
    case DifferenceKind::DroppedTable:
      return verb + " " + d.table + " (" + d.tableType + ")";
    case DifferenceKind::ChangedKey:
      if (done && d.kept && !d.attributes.empty())
        return "kept key " + d.table + ": TblKey " + Quoted(d.attributes[0].project) + " (database " +
               Quoted(d.attributes[0].database) + ")";
      return verb + " " + d.table + ": " + Attributes(d.attributes);
    case DifferenceKind::ChangedField:
      if (done && Retyped(d)) verb = "retyped field (settings reset)";
      return verb + " " + where + ": " + Attributes(d.attributes);
    case DifferenceKind::RenamedField:
      return verb + " " + d.table + "." + (d.attributes.empty() ? d.field : d.attributes[0].project) + " -> " + d.field;
    case DifferenceKind::Failure:
      return verb + " " + (TableKindOf(d.tableType) == TableKind::Report ? "report " : "custom view ") + d.table +
             ": " + d.message;
    default:
      return verb + " " + where;
  }
}

}  // namespace zantrel
