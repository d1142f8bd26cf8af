// Prompter: the questions the engine asks a person (keep or update, overwrite
// or skip, keep the extracted template). The base class answers without asking:
// the answer the host configured for that question, else the question's safe
// default, and it notes each such answer so the host can say what was decided.
// The command line installs one that also asks on the terminal; tests install
// ScriptedPrompter.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/context.h"

namespace zantrel {

struct Prompt {
  std::string id;        // which question: "overwrite", "template", "keepdb", "primarykey"
  std::string caption;   // the window caption (the product name)
  std::string message;   // the question, as worded
  std::vector<std::string> buttons;  // e.g. {"Overwrite", "Skip", "Cancel"}
  std::size_t safeButton = 0;        // taken when no one answers
  std::string checkBox;              // e.g. "All"; "" for none
  std::string details;               // shown before the question (e.g. what changed); "" for none
};

struct PromptReply {
  std::size_t button = 0;  // index into Prompt::buttons
  bool checked = false;    // the check box
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  PromptReply Ask(const Prompt& prompt);

  // A fixed reply for every question with this id (set from command-line flags).
  void Answer(const std::string& id, PromptReply reply) { fixed_[id] = reply; }
  // Answers given without asking anyone, one line each, for the host to show.
  std::vector<std::string> notices;

 protected:
  // Asks a person; false when no one can be asked.
  virtual bool AskPerson(const Prompt&, PromptReply&) { return false; }

 private:
  std::map<std::string, PromptReply> fixed_;
};

// Answers from a queue, for tests; records every question it was asked.
class ScriptedPrompter : public Prompter {
 public:
  std::deque<PromptReply> replies;
  std::vector<Prompt> asked;

 protected:
  bool AskPerson(const Prompt& prompt, PromptReply& reply) override;
};

struct PrompterSlot : ThreadService {
  std::unique_ptr<Prompter> prompter = std::make_unique<Prompter>();
};
// The thread's prompter; one that never asks until a host installs another.
Prompter& Prompts();
void InstallPrompter(std::unique_ptr<Prompter> prompter);

}  // namespace zantrel
