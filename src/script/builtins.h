// The runtime library as a table: every built-in function with its argument
// counts, and the vb… constants. Each builtins_*.cpp file contributes a part;
// the compiler resolves names against the merged table once.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "core/dispatch.h"

namespace zantrel::script {

class Runtime;
struct Frame;

struct BuiltinContext {
  Runtime& rt;
  Frame* frame;   // the calling frame (Eval, Execute)
};

using BuiltinFn = Variant (*)(BuiltinContext& cx, Args args);

enum BuiltinFlags : uint8_t {
  kKeepObjects = 1,   // arguments that are objects stay objects (no default value)
};

struct Builtin {
  std::string_view name;
  BuiltinFn fn;
  uint8_t minArgs;
  uint8_t maxArgs;
  uint8_t flags = 0;
};

struct BuiltinConstant {
  std::string_view name;
  Variant (*make)();
};

// The parts of the table, one per file.
std::span<const Builtin> StringBuiltins();
std::span<const Builtin> ConversionBuiltins();
std::span<const Builtin> MathBuiltins();
std::span<const Builtin> DateBuiltins();
std::span<const Builtin> FormatBuiltins();
std::span<const Builtin> MiscBuiltins();
std::span<const BuiltinConstant> BuiltinConstants();

// The merged table: index of a name (-1 when none) and entry by index.
int32_t FindBuiltin(std::string_view name);
const Builtin& BuiltinAt(int32_t index);
// A vb… constant's value, or null.
const Variant* FindConstant(std::string_view name);

}  // namespace zantrel::script
