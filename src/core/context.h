// The per-thread context: module-level state that every object on one thread
// shares — the error text ProjErr, the product constants, the generator values
// read from the user defaults, and the services (registry accessor, progress
// façade, database driver) that are created on first use.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zantrel {

// Product constants, fixed at construction of the first project object.
struct ProductConstants {
  std::string name = "Zantrel";   // registry key paths, file names
  std::string errorName = "Zantrel";  // begins every error text
  std::string languageTag = "PHP";
  std::string versionSegment = "3.1";
};

// A service kept once per thread; subsystems derive their own.
class ThreadService {
 public:
  virtual ~ThreadService() = default;
};

class ThreadContext {
 public:
  std::string projErr;        // last error text; empty means success
  ProductConstants product;
  int16_t dateFormat = 0;     // the module's date format, from defaultDateFormat
  int16_t unloadThreshold = 20;
  int32_t scriptEngineTimeout = 0;
  std::string sqlQuote;       // copied from the project when loading schema or a project file
  bool dynamicLoadDB = false;
  bool busy = false;          // a schema operation is running (its caption is the status caption)
  std::string dbmsName;       // the open database's DBDBMSName, DBQuoteS, DBQuoteE and SecDefault,
  std::string dbQuoteS;       // refreshed when a project file is loaded
  std::string dbQuoteE;
  std::string secDefault;

  // The per-user settings key: Software\<name without "/" and spaces>\<segment>\Settings.
  std::string SettingsKey() const;

  // The thread's instance of a service, created by its default constructor on first use.
  template <class T>
  T& Service() {
    const std::size_t slot = SlotOf<T>();
    if (services_.size() <= slot) services_.resize(slot + 1);
    if (!services_[slot]) services_[slot] = std::make_unique<T>();
    return static_cast<T&>(*services_[slot]);
  }
  // Replaces a service (tests and hosts install their own implementations).
  template <class T>
  void SetService(std::unique_ptr<T> s) {
    const std::size_t slot = SlotOf<T>();
    if (services_.size() <= slot) services_.resize(slot + 1);
    services_[slot] = std::move(s);
  }

 private:
  static std::size_t NextSlot();
  template <class T>
  static std::size_t SlotOf() {
    static const std::size_t slot = NextSlot();
    return slot;
  }

  std::vector<std::unique_ptr<ThreadService>> services_;
};

// The context of the calling thread.
ThreadContext& Context();

}  // namespace zantrel
