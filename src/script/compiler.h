// The compiler: syntax tree to instructions. Names are resolved here to local
// slots, ByRef pointers, cells, class fields, procedure slots, built-ins and
// constants; only names unknown at compile time are left to run time, with a
// per-site cache. A compile error leaves the module unchanged.
#pragma once

#include <string_view>

#include "script/code.h"
#include "script/lexer.h"

namespace zantrel::script {

class Runtime;
struct Frame;

enum class CompileMode : uint8_t {
  Module,         // AddCode: procedures, classes and top-level code
  Execute,        // statements in the scope of the running frame
  ExecuteGlobal,  // statements at module level
  Eval,           // one expression in the scope of the running frame
};

// Compiles source for a module and registers its procedures, classes and
// variables there; returns the function holding the top-level code (for Eval:
// the expression). Throws CompileError.
Ref<Function> Compile(Runtime& rt, int32_t module, std::string_view source, CompileMode mode,
                      const Frame* outer = nullptr);

}  // namespace zantrel::script
