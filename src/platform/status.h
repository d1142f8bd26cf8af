// ObPStatus: the engine's façade over the progress library, one per thread. It
// length-prefixes captions, keeps the window handle, and with it the module
// state every stage shares: whether a window is shown, the caption, and the
// counters from which callers compute percentages.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/context.h"
#include "core/dispatch.h"

namespace zantrel {

class ObPStatus : public HostObject<ObPStatus> {
 public:
  static const MemberTable<ObPStatus>& Members();

  int16_t mj1 = 0, mj2 = 0, mn1 = 0, mn2 = 0;  // filled by GetVer

  void DispStatus(std::string_view text);
  void ShowStatus(int32_t hWnd, std::string_view msg);
  void ShowStatus2(int32_t hWnd, std::string_view msg);
  void ShowStatus3(int32_t hWnd, std::string_view msg);
  int16_t StatusIsCancelled();
  void CloseStatus();
  void SetStatus(int16_t percent);
  void GetVer(std::string_view file);
  std::string GetSysCode();

  // Closes the window when a stage's scope shows one.
  void CloseIfShown();

  // Module state shared by the stages of one thread.
  bool shown = false;  // a StatusScope's window is open; only StatusScope and CloseIfShown change it
  std::string caption;
  int32_t itemsTotal = 0;
  int32_t itemsDone = 0;

  // done / total x 100, rounded, as a 16-bit percentage (0 when total is 0).
  static int16_t Percent(int32_t done, int32_t total);

 private:
  int32_t handle_ = 0;
};

struct StatusSlot : ThreadService {
  Ref<ObPStatus> status = MakeRef<ObPStatus>();
};

// The thread's status façade.
ObPStatus& Status();

// The status window of one stage: shown by ShowStatus2 or ShowStatus3 when the
// scope begins, closed when it ends unless something closed it before.
class StatusScope {
 public:
  using Show = void (ObPStatus::*)(int32_t hWnd, std::string_view caption);
  StatusScope(Show show, int32_t hWnd, std::string_view caption);
  ~StatusScope() { Status().CloseIfShown(); }
  StatusScope(const StatusScope&) = delete;
  StatusScope& operator=(const StatusScope&) = delete;
};

}  // namespace zantrel
