#include "platform/progress.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>

#include "core/version.h"

namespace zantrel::embedded {
extern const std::string_view builtin_syscode;
}

namespace zantrel {
namespace {

std::atomic<bool> g_cancelRequested{false};
constexpr std::size_t kCodeBufferSize = 300000;

// The first Ctrl-C asks the run to stop at the next page; a second one ends
// the process at once, as the default action of the signal does.
extern "C" void OnInterrupt(int) {
  if (g_cancelRequested) {
    std::signal(SIGINT, SIG_DFL);
    std::raise(SIGINT);
    return;
  }
  TerminalProgress::RequestCancel();
}

constexpr auto kRedrawInterval = std::chrono::milliseconds(50);  // at most ~20 redraws a second

}  // namespace

std::string LengthPrefixed(std::string_view text) {
  std::string out(1, static_cast<char>(std::min<std::size_t>(text.size(), 255)));
  out += text;
  return out;
}

std::string_view StripLengthPrefix(std::string_view caption) {
  return caption.empty() ? caption : caption.substr(1);
}

int32_t ProgressLibrary::ShowProgress(int32_t, std::string_view) { return 1; }
int32_t ProgressLibrary::ShowProgress2(int32_t, std::string_view) { return 1; }
int32_t ProgressLibrary::ShowProgress3(int32_t, std::string_view) { return 1; }
void ProgressLibrary::SetInfo(int32_t, std::string_view) {}
int32_t ProgressLibrary::IsCancelled(int32_t) { return 0; }
void ProgressLibrary::CloseProgress(int32_t) {}
void ProgressLibrary::SetProgress(int32_t, int16_t) {}

int32_t ProgressLibrary::GetFileVersion(std::string_view, int16_t& mj1, int16_t& mj2, int16_t& mn1, int16_t& mn2) {
  mj1 = version::kMajor;
  mj2 = version::kMinor;
  mn1 = version::kPatch;
  mn2 = version::kBuild;
  return 1;
}

std::string ProgressLibrary::GetCode() {
  std::string_view code = embedded::builtin_syscode;
  code = code.substr(0, std::min(code.find('\0'), kCodeBufferSize));
  return std::string(code);
}

TerminalProgress::TerminalProgress(bool draw) : terminal_(draw && isatty(STDERR_FILENO) == 1) {
  g_cancelRequested = false;
  std::signal(SIGINT, OnInterrupt);
}

TerminalProgress::~TerminalProgress() { std::signal(SIGINT, SIG_DFL); }

void TerminalProgress::RequestCancel() { g_cancelRequested = true; }

void TerminalProgress::SetDraw(bool draw) { terminal_ = draw && isatty(STDERR_FILENO) == 1; }

void TerminalProgress::ClearLine() {
  if (terminal_ && open_) std::fputs("\r\033[K", stderr);
  drawn_ = {};
}

int32_t TerminalProgress::Open(std::string_view caption) {
  caption_ = std::string(StripLengthPrefix(caption));
  info_.clear();
  percent_ = 0;
  open_ = true;
  drawn_ = {};
  Draw();
  return 1;
}

int32_t TerminalProgress::ShowProgress(int32_t, std::string_view caption) { return Open(caption); }
int32_t TerminalProgress::ShowProgress2(int32_t, std::string_view caption) { return Open(caption); }
int32_t TerminalProgress::ShowProgress3(int32_t, std::string_view caption) { return Open(caption); }

void TerminalProgress::SetInfo(int32_t, std::string_view info) {
  info_ = std::string(StripLengthPrefix(info));
  Draw();
}

void TerminalProgress::SetProgress(int32_t, int16_t percent) {
  percent_ = std::clamp<int16_t>(percent, 0, 100);
  Draw();
}

int32_t TerminalProgress::IsCancelled(int32_t) { return g_cancelRequested ? 1 : 0; }

void TerminalProgress::CloseProgress(int32_t) {
  ClearLine();
  open_ = false;
}

void TerminalProgress::Draw() {
  if (!terminal_ || !open_) return;
  const auto now = std::chrono::steady_clock::now();
  if (drawn_ != std::chrono::steady_clock::time_point{} && now - drawn_ < kRedrawInterval) return;
  drawn_ = now;
  constexpr int kWidth = 24;
  int filled = percent_ * kWidth / 100;
  std::string bar(filled, '#');
  bar.resize(kWidth, '.');
  std::string line = caption_ + " [" + bar + "] " + std::to_string(percent_) + "% " + info_;
  if (line.size() > 100) line.resize(100);
  std::fprintf(stderr, "\r\033[K%s", line.c_str());
  std::fflush(stderr);
}

int32_t RecordingProgress::ShowProgress(int32_t, std::string_view caption) {
  calls.push_back("ShowProgress " + std::string(StripLengthPrefix(caption)));
  return 1;
}
int32_t RecordingProgress::ShowProgress2(int32_t, std::string_view caption) {
  calls.push_back("ShowProgress2 " + std::string(StripLengthPrefix(caption)));
  return 2;
}
int32_t RecordingProgress::ShowProgress3(int32_t, std::string_view caption) {
  calls.push_back("ShowProgress3 " + std::string(StripLengthPrefix(caption)));
  return 3;
}
void RecordingProgress::SetInfo(int32_t, std::string_view info) {
  calls.push_back("SetInfo " + std::string(StripLengthPrefix(info)));
}
int32_t RecordingProgress::IsCancelled(int32_t) {
  ++polls_;
  return cancelAfterPolls >= 0 && polls_ > cancelAfterPolls ? 1 : 0;
}
void RecordingProgress::CloseProgress(int32_t) { calls.push_back("CloseProgress"); }
void RecordingProgress::SetProgress(int32_t, int16_t percent) {
  calls.push_back("SetProgress " + std::to_string(percent));
}

ProgressLibrary& Progress() { return *Context().Service<ProgressSlot>().library; }

void InstallProgress(std::unique_ptr<ProgressLibrary> library) {
  Context().Service<ProgressSlot>().library = std::move(library);
}

TerminalProgress* InstalledTerminalProgress() { return dynamic_cast<TerminalProgress*>(&Progress()); }

}  // namespace zantrel
