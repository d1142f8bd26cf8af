// The thread's default driver: one object that serves every database type by
// handing each call to the native driver of the type last given to SetDBType,
// or to the JDBC driver when Connect asks for the JDBC method. A driver is made
// once per type and method and kept, so a later connection reuses it.
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
    sid_.clear();  // only Oracle and PostgreSQL connections set one
    native_ = Kept(type_, [&] { return MakeNativeDriver(type_); });
    current_ = native_;
    if (current_) current_->SetDBType(type);
  }
  void SetSettingsKey(std::string_view key) override {
    key_ = key;
    if (current_) current_->SetSettingsKey(key);
  }
  void SetSID(std::string_view sid) override {
    sid_ = sid;
    if (current_) current_->SetSID(sid);
  }
  // The connection method decides between the native driver and the JDBC
  // driver, which then takes the type, key and SID given before.
  void Connect(const ConnectParams& params) override {
    current_ = native_;
    if (catalog::Lower(params.method) == "jdbc") {
      current_ = Kept("jdbc:" + type_, MakeJdbcDriver);
      current_->SetDBType(type_);
      current_->SetSettingsKey(key_);
      current_->SetSID(sid_);
    }
    if (current_) current_->Connect(params);
  }
  std::string LastError() const override {
    if (current_) return current_->LastError();
    return "Unsupported database type: " + type_;
  }
  std::vector<std::string> DatabaseNames() override { return current_ ? current_->DatabaseNames() : std::vector<std::string>{}; }
  std::vector<DriverTable> GetTables(std::string_view tableName) override { return Current().GetTables(tableName); }
  bool IsJavaLoaded() const override { return JavaRuntimeLoaded(); }
  std::string QuoteString() override { return Current().QuoteString(); }
  DriverTable CustomView(std::string_view viewName, std::string_view sql) override {
    return Current().CustomView(viewName, sql);
  }

 private:
  Driver& Current() {
    if (!current_) Raise(err::kObjectNotSet, LastError());
    return *current_;
  }

  // The driver kept under a name, made on first use.
  template <class Make>
  Driver* Kept(const std::string& name, Make make) {
    auto it = drivers_.find(name);
    if (it == drivers_.end()) it = drivers_.emplace(name, make()).first;
    return it->second.get();
  }

  std::string type_, key_, sid_;
  std::map<std::string, std::unique_ptr<Driver>> drivers_;  // by type; "jdbc:" + type for the JDBC method
  Driver* native_ = nullptr;
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
