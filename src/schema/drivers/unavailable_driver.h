// A driver for a type this build cannot reach: every Connect fails with a fixed
// text, and nothing else is ever asked of it.
#pragma once

#include <string>

#include "core/error.h"
#include "schema/driver.h"

namespace zantrel {

class UnavailableDriver final : public Driver {
 public:
  explicit UnavailableDriver(std::string reason) : reason_(std::move(reason)) {}
  void SetDBType(std::string_view) override {}
  void SetSettingsKey(std::string_view) override {}
  void SetSID(std::string_view) override {}
  void Connect(const ConnectParams&) override {}
  std::string LastError() const override { return reason_; }
  std::vector<std::string> DatabaseNames() override { return {}; }
  std::vector<DriverTable> GetTables(std::string_view) override { Raise(err::kObjectNotSet, reason_); }
  bool IsJavaLoaded() const override { return false; }
  std::string QuoteString() override { return ""; }
  DriverTable CustomView(std::string_view, std::string_view) override { Raise(err::kObjectNotSet, reason_); }

 private:
  std::string reason_;
};

}  // namespace zantrel
