// What page generation knows about the page being made, beyond the current
// control, table and field: the names of the pages of each kind, the database
// connection, the state derived from the current table, and the output naming.
// Generation fills it; page scripts read it through SCRPT (see
// docs/template-authoring.md).
#pragma once

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/dispatch.h"

namespace zantrel {

struct PageName {
  std::string file;  // the producing control's output file name
  std::string ext;   // its output extension, "*" resolved
};

struct TableState {
  std::string name, caption, type, filter, sortField, sortOrder, key;
  bool hasKey = false, canAdd = false, canView = false, canEdit = false, canDelete = false, hasUpload = false;
  bool search = false, basicSearch = false, advancedSearch = false;
};

struct PageState {
  // Page kinds ("list", "login", ...) to names; one table for controls without a
  // tag extension and one for controls with one.
  std::map<std::string, PageName> pages, taggedPages;
  std::string pageExtension;  // P_Ext when set
  std::string defaultPage;    // P_DefaultPage when set
  bool isAccess = false, isSqlServer = false, isMySql = false, isOracle = false;
  std::string dbHost, dbName, dbUser, dbPassword, dbPort;
  TableState table;
  std::string pageNameBase;  // the current table's output-name base
  std::string fieldVar;      // ToVarName of the current field
  std::string outputName;    // the page being written
  // The output-name base of another table, by name ("" when there is none).
  std::function<std::string(const std::string&)> pageNameBaseOf;
  // The generated tables whose master is the named one, as script objects.
  std::function<std::vector<Variant>(const std::string&)> detailTablesOf;

  void Clear() { *this = PageState(); }
};

// The page kinds that SetPageNames fills.
inline constexpr std::array<const char*, 11> kPageKinds = {"login", "logout", "search", "list",  "listctrl", "add",
                                                           "view",  "edit",   "delete", "js",    "blobview"};

class ObScript;
// The SCRPT members that read the page state.
void AppendPageStateMembers(std::vector<Member<ObScript>>& members);

}  // namespace zantrel
