// The live side of the check and synchronisation: the reference loader run with
// the current database's connection settings, and the status window each pass
// shows while it works.
#pragma once

#include <string>
#include <string_view>

#include "model/database.h"
#include "schema/obp_schema.h"

namespace zantrel {

// LoadDB of the reference loader with the database's connection settings;
// failure leaves ProjErr.
void LoadLiveSchema(ObPSchema& live, const ObPDatabase& database);

// The columns of a custom view's SQL as the last table record; 0 on success.
int16_t LoadLiveCustomView(ObPSchema& live, const ObPDatabase& database, const std::string& name,
                           const std::string& sql);

// The status window of one pass: opened with the product name + stage and
// "Please wait ...", closed with the object.
class StatusWindow {
 public:
  StatusWindow(int32_t hWnd, std::string_view stage);
  ~StatusWindow();
  StatusWindow(const StatusWindow&) = delete;
  StatusWindow& operator=(const StatusWindow&) = delete;
};

// An error text with the product name in front.
std::string ProductError(std::string_view text);

}  // namespace zantrel
