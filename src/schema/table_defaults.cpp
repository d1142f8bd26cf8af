// Table defaults: what a freshly loaded table, view, custom view or report
// gets before the user changes anything. Only real tables get add, view,
// edit, delete and copy pages; reports get no search.
#include "core/context.h"
#include "model/schema_rules.h"
#include "model/table.h"

namespace zantrel {

void ObPTable::LoadTableDefault() {
  const std::string name = TblName();
  const std::string type = TblType();
  TblCaption(name);
  TblVar(MakeVarName(name, ""));
  TblList(true);

  const bool pages = type == "TABLE";
  TblAdd(pages);
  TblView(pages);
  TblEdit(pages);
  TblDelete(pages);
  TblCopy(pages);

  TblDefault(false);
  TblSrchType(type == "REPORT" ? "NONE" : "BASIC");
  TblSecurity(Context().secDefault);
  TblOverwrite(true);
  TblInlineEdit(false);
  TblUseGlobal(true);

  TblRptIndent(0);
  TblRecPerPage(0);
  TblRecPerPageList("");
  TblExportHtml(false);
  TblExportWord(false);
  TblExportExcel(false);
  TblExportXml(false);
  TblExportCsv(false);
  TblRecPerRow(0);
  TblMultiDelete(false);
  TblSortType(0);
  TblPagerStyle(0);
  TblTopPageLink(false);
  TblLinkOnLeft(false);
}

}  // namespace zantrel
