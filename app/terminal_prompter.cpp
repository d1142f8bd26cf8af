#include "terminal_prompter.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <iostream>
#include <string>

namespace zantrel::cli {

// Each button is chosen by its first letter; with a check box ("All") the
// capital letter also ticks it.
bool TerminalPrompter::AskPerson(const Prompt& prompt, PromptReply& reply) {
  if (!isatty(STDIN_FILENO)) return false;
  std::string choices;
  for (const std::string& button : prompt.buttons)
    choices += (choices.empty() ? "" : ", ") + std::string("[") + char(std::tolower(button[0])) + "]" +
               button.substr(1);
  if (!prompt.checkBox.empty()) choices += " (capital letter: " + prompt.checkBox + ")";
  for (;;) {
    std::fprintf(stderr, "\r\033[K%s\n%s? ", prompt.message.c_str(), choices.c_str());
    std::fflush(stderr);
    std::string line;
    if (!std::getline(std::cin, line)) return false;
    if (line.empty()) continue;
    for (std::size_t i = 0; i < prompt.buttons.size(); ++i) {
      if (std::tolower(line[0]) != std::tolower(prompt.buttons[i][0])) continue;
      reply.button = i;
      reply.checked = !prompt.checkBox.empty() && std::isupper(static_cast<unsigned char>(line[0]));
      return true;
    }
  }
}

}  // namespace zantrel::cli
