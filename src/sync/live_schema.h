// The live side of the check and synchronisation: the reference loader run with
// the current database's connection settings, and the status window each pass
// shows while it works.
#pragma once

#include <string>
#include <string_view>

#include "model/database.h"
#include "platform/status.h"
#include "schema/schema_reader.h"

namespace zantrel {

// Reads the live schema with the database's connection settings; throws Error.
void LoadLiveSchema(SchemaReader& live, const ObPDatabase& database);

// The columns of a custom view's SQL as the last table record; throws Error.
void LoadLiveCustomView(SchemaReader& live, const ObPDatabase& database, const std::string& name,
                        const std::string& sql);

// The status window of one pass: opened with the product name + stage and
// "Please wait ...", closed with the object.
class StatusWindow : StatusScope {
 public:
  StatusWindow(int32_t hWnd, std::string_view stage);
};

}  // namespace zantrel
