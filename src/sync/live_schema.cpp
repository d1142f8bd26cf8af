#include "sync/live_schema.h"

#include "core/context.h"
#include "schema/connection.h"

namespace zantrel {

void LoadLiveSchema(SchemaReader& live, const ObPDatabase& d) { live.Read(ConnectionOf(d)); }

void LoadLiveCustomView(SchemaReader& live, const ObPDatabase& d, const std::string& name, const std::string& sql) {
  live.ReadCustomView(ConnectionOf(d), name, sql);
}

StatusWindow::StatusWindow(int32_t hWnd, std::string_view stage)
    : StatusScope(&ObPStatus::ShowStatus2, hWnd, Context().product.name + std::string(stage)) {
  Status().DispStatus("Please wait ...");
}

}  // namespace zantrel
