#include "terminal_prompter.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <iostream>
#include <string>

#include "platform/progress.h"

namespace zantrel::cli {
namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The button a typed answer names: its number, its whole name or its first letter.
bool FindButton(const Prompt& prompt, const std::string& typed, std::size_t& button) {
  const std::string answer = Lower(typed);
  for (std::size_t i = 0; i < prompt.buttons.size(); ++i) {
    const std::string name = Lower(prompt.buttons[i]);
    if (answer == name || answer == std::to_string(i + 1) || (answer.size() == 1 && answer[0] == name[0])) {
      button = i;
      return true;
    }
  }
  return false;
}

// The buttons with their first letters in brackets; the safe one, which Enter
// takes, in capitals.
std::string Choices(const Prompt& prompt) {
  std::string out;
  for (std::size_t i = 0; i < prompt.buttons.size(); ++i) {
    std::string name = prompt.buttons[i];
    if (i == prompt.safeButton)
      for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    out += (i ? "/" : "") + std::string("[") + name.substr(0, 1) + "]" + name.substr(1);
  }
  return out;
}

// A question starts on a line of its own, not after the progress bar.
void ClearProgressLine() {
  if (TerminalProgress* progress = InstalledTerminalProgress()) progress->ClearLine();
}

}  // namespace

bool TerminalPrompter::AskPerson(const Prompt& prompt, PromptReply& reply) {
  const bool terminal = isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
  if (terminal) ClearProgressLine();
  if (prompt.buttons.size() <= 1) {
    if (!terminal) return false;  // noted by the base class
    std::fprintf(stderr, "%s: %s\n", prompt.caption.c_str(), prompt.message.c_str());
    reply = PromptReply{0, false};
    return true;
  }
  if (!terminal) return false;
  if (!prompt.details.empty()) std::fprintf(stderr, "%s", prompt.details.c_str());
  for (;;) {
    std::fprintf(stderr, "%s\n%s%s? ", prompt.message.c_str(), Choices(prompt).c_str(),
                 prompt.checkBox.empty() ? "" : (" (append '!' for " + prompt.checkBox + ")").c_str());
    std::fflush(stderr);
    std::string line;
    if (!std::getline(std::cin, line)) return false;
    bool checked = !prompt.checkBox.empty() && !line.empty() && line.back() == '!';
    if (checked) line.pop_back();
    std::size_t button = prompt.safeButton;
    if (line.empty() || FindButton(prompt, line, button)) {
      reply = PromptReply{button, checked};
      ++asked;
      return true;
    }
  }
}

void PrintPromptNotices() {
  Prompter& prompter = Prompts();
  for (const std::string& notice : prompter.notices) std::fprintf(stderr, "zantrel: %s\n", notice.c_str());
  prompter.notices.clear();
}

}  // namespace zantrel::cli
