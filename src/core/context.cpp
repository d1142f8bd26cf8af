#include "core/context.h"

#include <atomic>

namespace zantrel {

std::size_t ThreadContext::NextSlot() {
  static std::atomic<std::size_t> next{0};
  return next++;
}

std::string ThreadContext::SettingsKey() const {
  std::string name;
  for (char c : product.name)
    if (c != '/' && c != ' ') name += c;
  return "Software\\" + name + "\\" + product.versionSegment + "\\Settings";
}

ThreadContext& Context() {
  thread_local ThreadContext context;
  return context;
}

}  // namespace zantrel
