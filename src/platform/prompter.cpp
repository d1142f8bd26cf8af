#include "platform/prompter.h"

namespace zantrel {

PromptReply Prompter::Ask(const Prompt& prompt) {
  if (auto it = fixed_.find(prompt.id); it != fixed_.end()) return it->second;
  PromptReply reply;
  if (AskPerson(prompt, reply) && reply.button < prompt.buttons.size()) return reply;
  reply = PromptReply{prompt.safeButton, false};
  if (prompt.buttons.size() <= 1) {  // a message, not a question
    notices.push_back(prompt.message);
    return reply;
  }
  std::string chosen = prompt.safeButton < prompt.buttons.size() ? prompt.buttons[prompt.safeButton] : "";
  notices.push_back(prompt.message + " -> " + chosen + " (no one to ask)");
  return reply;
}

bool ScriptedPrompter::AskPerson(const Prompt& prompt, PromptReply& reply) {
  asked.push_back(prompt);
  if (replies.empty()) return false;
  reply = replies.front();
  replies.pop_front();
  return true;
}

Prompter& Prompts() { return *Context().Service<PrompterSlot>().prompter; }

void InstallPrompter(std::unique_ptr<Prompter> prompter) {
  Context().Service<PrompterSlot>().prompter = std::move(prompter);
}

}  // namespace zantrel
