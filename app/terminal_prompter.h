// The command line's Prompter: asks on the terminal when standard input is
// one; otherwise the flags' answers or the safe defaults decide.
#pragma once

#include "platform/prompter.h"

namespace zantrel::cli {

class TerminalPrompter : public Prompter {
 protected:
  bool AskPerson(const Prompt& prompt, PromptReply& reply) override;
};

}  // namespace zantrel::cli
