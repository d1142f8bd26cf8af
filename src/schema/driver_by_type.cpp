// The thread's default driver: one object that serves every database type by
// handing each call to the native driver of the type last given to SetDBType.
// A native driver is made once per type and kept, so a later connection of the
// same type reuses it.
#include <map>

#include "core/error.h"
#include "schema/drivers/catalog.h"
#include "schema/drivers/native_drivers.h"

namespace zantrel {
namespace {

struct NativeDriverRow {
  std::string_view type;
  std::unique_ptr<Driver> (*make)();
};

constexpr NativeDriverRow kNativeDrivers[] = {
    {"sqlite", MakeSqliteDriver},
    {"mysql", MakeMysqlDriver},
    {"postgresql", MakePostgresDriver},
    {"oracle", MakeOracleDriver},
};

class DriverByType final : public Driver {
 public:
  void SetDBType(std::string_view type) override {
    type_ = catalog::Lower(type);
    auto it = drivers_.find(type_);
    if (it == drivers_.end()) it = drivers_.emplace(type_, MakeNativeDriver(type_)).first;
    current_ = it->second.get();
    if (current_) current_->SetDBType(type);
  }
  void SetSettingsKey(std::string_view key) override {
    if (current_) current_->SetSettingsKey(key);
  }
  void SetSID(std::string_view sid) override {
    if (current_) current_->SetSID(sid);
  }
  void Connect(const ConnectParams& params) override {
    if (current_) current_->Connect(params);
  }
  std::string LastError() const override {
    if (current_) return current_->LastError();
    return "Unsupported database type: " + type_;
  }
  std::vector<std::string> DatabaseNames() override { return current_ ? current_->DatabaseNames() : std::vector<std::string>{}; }
  std::vector<DriverTable> GetTables(std::string_view tableName) override { return Current().GetTables(tableName); }
  bool IsJavaLoaded() const override { return current_ && current_->IsJavaLoaded(); }
  std::string QuoteString() override { return Current().QuoteString(); }
  DriverTable CustomView(std::string_view viewName, std::string_view sql) override {
    return Current().CustomView(viewName, sql);
  }

 private:
  Driver& Current() {
    if (!current_) Raise(err::kObjectNotSet, LastError());
    return *current_;
  }

  std::string type_;
  std::map<std::string, std::unique_ptr<Driver>> drivers_;
  Driver* current_ = nullptr;
};

}  // namespace

std::unique_ptr<Driver> MakeNativeDriver(std::string_view dbType) {
  std::string type = catalog::Lower(dbType);
  for (const NativeDriverRow& row : kNativeDrivers)
    if (row.type == type) return row.make();
  return nullptr;
}

std::unique_ptr<Driver> MakeDriverByType() { return std::make_unique<DriverByType>(); }

}  // namespace zantrel
