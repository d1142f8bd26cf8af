#include "platform/status.h"

#include <cmath>

#include "core/convert.h"
#include "platform/progress.h"

namespace zantrel {

void ObPStatus::DispStatus(std::string_view text) { Progress().SetInfo(handle_, LengthPrefixed(text)); }

void ObPStatus::ShowStatus(int32_t hWnd, std::string_view msg) {
  handle_ = Progress().ShowProgress(hWnd, LengthPrefixed(msg));
}
void ObPStatus::ShowStatus2(int32_t hWnd, std::string_view msg) {
  handle_ = Progress().ShowProgress2(hWnd, LengthPrefixed(msg));
}
void ObPStatus::ShowStatus3(int32_t hWnd, std::string_view msg) {
  handle_ = Progress().ShowProgress3(hWnd, LengthPrefixed(msg));
}

int16_t ObPStatus::StatusIsCancelled() {
  return static_cast<int16_t>(Progress().IsCancelled(handle_) & 0xFFFF);
}

void ObPStatus::CloseStatus() { Progress().CloseProgress(handle_); }

void ObPStatus::CloseIfShown() {
  if (!shown) return;
  CloseStatus();
  shown = false;
}

void ObPStatus::SetStatus(int16_t percent) { Progress().SetProgress(handle_, percent); }

void ObPStatus::GetVer(std::string_view file) { Progress().GetFileVersion(file, mj1, mj2, mn1, mn2); }

std::string ObPStatus::GetSysCode() { return Progress().GetCode(); }

int16_t ObPStatus::Percent(int32_t done, int32_t total) {
  if (total == 0) return 0;
  return static_cast<int16_t>(BankersRound(double(done) / double(total) * 100.0));
}

ObPStatus& Status() { return *Context().Service<StatusSlot>().status; }

StatusScope::StatusScope(Show show, int32_t hWnd, std::string_view caption) {
  ObPStatus& status = Status();
  (status.*show)(hWnd, caption);
  status.shown = true;
}

const MemberTable<ObPStatus>& ObPStatus::Members() {
  using S = ObPStatus;
  static const MemberTable<S> table(
      "ObPStatus",
      {
          {"mj1", [](S& s, Args) { return Variant(s.mj1); }, nullptr},
          {"mj2", [](S& s, Args) { return Variant(s.mj2); }, nullptr},
          {"mn1", [](S& s, Args) { return Variant(s.mn1); }, nullptr},
          {"mn2", [](S& s, Args) { return Variant(s.mn2); }, nullptr},
          {"DispStatus", [](S& s, Args a) { s.DispStatus(CStr(Arg(a, 0))); return Variant(); }, nullptr},
          {"ShowStatus", [](S& s, Args a) { s.ShowStatus(CLng(Arg(a, 0)), CStr(Arg(a, 1))); return Variant(); }, nullptr},
          {"ShowStatus2", [](S& s, Args a) { s.ShowStatus2(CLng(Arg(a, 0)), CStr(Arg(a, 1))); return Variant(); }, nullptr},
          {"ShowStatus3", [](S& s, Args a) { s.ShowStatus3(CLng(Arg(a, 0)), CStr(Arg(a, 1))); return Variant(); }, nullptr},
          {"StatusIsCancelled", [](S& s, Args) { return Variant(s.StatusIsCancelled()); }, nullptr},
          {"CloseStatus", [](S& s, Args) { s.CloseStatus(); return Variant(); }, nullptr},
          {"SetStatus", [](S& s, Args a) { s.SetStatus(CInt(Arg(a, 0))); return Variant(); }, nullptr},
          {"GetVer", [](S& s, Args a) { s.GetVer(CStr(Arg(a, 0))); return Variant(); }, nullptr},
          {"GetSysCode", [](S& s, Args) { return Variant(s.GetSysCode()); }, nullptr},
      });
  return table;
}

}  // namespace zantrel
