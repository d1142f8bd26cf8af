// Text dumps that make the engine inspectable: tokens, the syntax tree and the
// compiled instructions (zantrel script --dump-tokens|--dump-ast|--dump-code).
#pragma once

#include <string>
#include <string_view>

#include "script/code.h"

namespace zantrel::script {

std::string DumpTokens(std::string_view source);
std::string DumpAst(std::string_view source);
std::string DisassembleFunction(const Function& fn);

}  // namespace zantrel::script
