// The progress library: the calls through which the engine shows a progress
// window, reports its own file version and hands out the built-in system script.
// The base class is quiet (a library never prints); the command line installs
// TerminalProgress, tests install RecordingProgress.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/context.h"

namespace zantrel {

// Captions travel with a leading character whose code is the text's length
// (capped at 255, the largest a single byte holds).
std::string LengthPrefixed(std::string_view text);
std::string_view StripLengthPrefix(std::string_view caption);

class ProgressLibrary {
 public:
  virtual ~ProgressLibrary() = default;
  virtual int32_t ShowProgress(int32_t hWnd, std::string_view caption);
  virtual int32_t ShowProgress2(int32_t hWnd, std::string_view caption);
  virtual int32_t ShowProgress3(int32_t hWnd, std::string_view caption);
  virtual void SetInfo(int32_t handle, std::string_view info);
  virtual int32_t IsCancelled(int32_t handle);
  virtual void CloseProgress(int32_t handle);
  virtual void SetProgress(int32_t handle, int16_t percent);
  // Writes the four parts of this library's version; the file name is not consulted.
  virtual int32_t GetFileVersion(std::string_view file, int16_t& mj1, int16_t& mj2, int16_t& mn1, int16_t& mn2);
  // The built-in system script (at most 300,000 characters, up to the first NUL).
  virtual std::string GetCode();
};

// A progress bar on stderr when stderr is a terminal, silent otherwise, redrawn
// at most about 20 times a second; the first Ctrl-C (SIGINT) while it lives
// sets the cancel answer, a second one ends the process.
class TerminalProgress : public ProgressLibrary {
 public:
  explicit TerminalProgress(bool draw = true);  // draw false: only Ctrl-C is watched
  ~TerminalProgress() override;
  int32_t ShowProgress(int32_t hWnd, std::string_view caption) override;
  int32_t ShowProgress2(int32_t hWnd, std::string_view caption) override;
  int32_t ShowProgress3(int32_t hWnd, std::string_view caption) override;
  void SetInfo(int32_t handle, std::string_view info) override;
  int32_t IsCancelled(int32_t handle) override;
  void CloseProgress(int32_t handle) override;
  void SetProgress(int32_t handle, int16_t percent) override;

  static void RequestCancel();  // what the first Ctrl-C does
  void SetDraw(bool draw);      // false: only Ctrl-C is watched
  // Clears the bar's line so that a question or a message starts on its own;
  // the next update draws the bar again.
  void ClearLine();

 private:
  int32_t Open(std::string_view caption);
  void Draw();

  bool terminal_;
  std::string caption_;
  std::string info_;
  int16_t percent_ = 0;
  bool open_ = false;
  std::chrono::steady_clock::time_point drawn_;  // when the bar was last drawn
};

// Records every call as one line of text, for tests; cancels when told to.
class RecordingProgress : public ProgressLibrary {
 public:
  int32_t ShowProgress(int32_t hWnd, std::string_view caption) override;
  int32_t ShowProgress2(int32_t hWnd, std::string_view caption) override;
  int32_t ShowProgress3(int32_t hWnd, std::string_view caption) override;
  void SetInfo(int32_t handle, std::string_view info) override;
  int32_t IsCancelled(int32_t handle) override;
  void CloseProgress(int32_t handle) override;
  void SetProgress(int32_t handle, int16_t percent) override;

  std::vector<std::string> calls;
  int32_t cancelAfterPolls = -1;  // answer "cancelled" from this poll on; -1 never
 private:
  int32_t polls_ = 0;
};

// The thread's progress library; quiet until a host installs another.
struct ProgressSlot : ThreadService {
  std::unique_ptr<ProgressLibrary> library = std::make_unique<ProgressLibrary>();
};
ProgressLibrary& Progress();
void InstallProgress(std::unique_ptr<ProgressLibrary> library);
// The installed library when it is the terminal's, else nullptr.
TerminalProgress* InstalledTerminalProgress();

}  // namespace zantrel
