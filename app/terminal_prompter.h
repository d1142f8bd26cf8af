// The command line's prompter: answers from flags first (Prompter::Answer),
// then asks on the terminal when stdin and stderr are one, else takes the safe
// default and notes it. A message with one button is printed, not asked.
#pragma once

#include "platform/prompter.h"

namespace zantrel::cli {

class TerminalPrompter : public Prompter {
 public:
  std::size_t asked = 0;  // questions a person answered

 protected:
  bool AskPerson(const Prompt& prompt, PromptReply& reply) override;
};

// Prints the notes the prompter took (answers no one gave, messages) to stderr
// and forgets them.
void PrintPromptNotices();

}  // namespace zantrel::cli
