#include "sync/live_schema.h"

#include "core/context.h"
#include "platform/status.h"

namespace zantrel {

void LoadLiveSchema(ObPSchema& live, const ObPDatabase& d) {
  live.LoadDB(d.DBName(), d.DBType(), d.DBHost(), d.DBPort(), d.DBUID(), d.DBPwd(), d.DBSID(),
              d.DBConnectionMethod(), d.DBURL(), d.DBEncoding());
}

int16_t LoadLiveCustomView(ObPSchema& live, const ObPDatabase& d, const std::string& name, const std::string& sql) {
  return live.LoadovCustomView(d.DBHost(), d.DBName(), d.DBType(), d.DBUID(), d.DBPwd(), d.DBPort(), d.DBSID(),
                               d.DBConnectionMethod(), d.DBURL(), d.DBEncoding(), name, sql);
}

StatusWindow::StatusWindow(int32_t hWnd, std::string_view stage) {
  ObPStatus& status = Status();
  status.ShowStatus2(hWnd, Context().product.name + std::string(stage));
  status.shown = true;
  status.DispStatus("Please wait ...");
}

StatusWindow::~StatusWindow() {
  ObPStatus& status = Status();
  status.CloseStatus();
  status.shown = false;
}

std::string ProductError(std::string_view text) { return Context().product.errorName + std::string(text); }

}  // namespace zantrel
