// Table defaults: what a freshly loaded table, view, custom view or report
// gets before the user changes anything. Only real tables get add, view,
// edit, delete and copy pages; reports get no search.
#include "core/context.h"
#include "model/schema_rules.h"
#include "model/table.h"
#include "schema/field_defaults.h"

namespace zantrel {

void LoadTableDefault(ObPTable& table) {
  const std::string name = table.TblName();
  const TableKind kind = table.Kind();
  table.TblCaption(name);
  table.TblVar(MakeVarName(name, ""));
  table.TblList(true);

  const bool pages = kind == TableKind::Table;
  table.TblAdd(pages);
  table.TblView(pages);
  table.TblEdit(pages);
  table.TblDelete(pages);
  table.TblCopy(pages);

  table.TblDefault(false);
  table.TblSrchType(kind == TableKind::Report ? "NONE" : "BASIC");
  table.TblSecurity(Context().secDefault);
  table.TblOverwrite(true);
  table.TblInlineEdit(false);
  table.TblUseGlobal(true);

  table.TblRptIndent(0);
  table.TblRecPerPage(0);
  table.TblRecPerPageList("");
  table.TblExportHtml(false);
  table.TblExportWord(false);
  table.TblExportExcel(false);
  table.TblExportXml(false);
  table.TblExportCsv(false);
  table.TblRecPerRow(0);
  table.TblMultiDelete(false);
  table.TblSortType(0);
  table.TblPagerStyle(0);
  table.TblTopPageLink(false);
  table.TblLinkOnLeft(false);
}

}  // namespace zantrel
