// Compiled code: functions (procedures, class members, top-level code of a
// module text, Eval and Execute texts) with their instructions, constants, name
// pool, per-site caches and the statement table that maps instructions back to
// source lines; and classes with their member tables.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <typeinfo>
#include <vector>

#include "core/dispatch.h"
#include "core/names.h"
#include "core/ref.h"
#include "core/variant.h"
#include "script/opcodes.h"

namespace zantrel::script {

class ClassDef;

// The text of one AddCode/Execute call, kept for the source line of an error.
struct SourceText : RefCounted {
  std::string module;
  std::vector<std::string> lines;
  std::string_view Line(int line) const {
    return line >= 1 && line <= static_cast<int>(lines.size()) ? std::string_view(lines[line - 1]) : std::string_view();
  }
};

enum class FnKind : uint8_t { Sub, Function, PropertyGet, PropertyLet, PropertySet, TopLevel, Eval, Execute };

struct StmtPos {
  int32_t pc;
  int32_t line;
  int32_t column;
};

// What a late-bound name resolved to, valid while the runtime's epoch is unchanged.
struct NameCache {
  uint32_t epoch = 0;
  uint8_t kind = 0;
  int32_t index = 0;
};

// A member call site's dispatch id, valid for objects of one class.
struct MemberCache {
  const std::type_info* type = nullptr;
  const void* cls = nullptr;  // the script class for script objects
  uint32_t serial = 0;        // and its serial (a later class may reuse the address)
  DispId id = kDispUnknown;
};

struct Function : RefCounted {
  std::string name;
  FnKind kind = FnKind::Sub;
  bool isPublic = true;
  bool optionExplicit = false;
  int32_t module = 0;
  ClassDef* cls = nullptr;          // the class of a member (the class owns it)
  uint16_t paramCount = 0;
  std::vector<uint8_t> byRef;       // per parameter
  uint32_t localCount = 0;          // parameters, result, variables, hidden temporaries
  int32_t resultSlot = -1;
  uint32_t maxStack = 0;
  int32_t line = 0;
  std::vector<Instr> code;
  std::vector<Variant> constants;
  std::vector<std::string> names;   // name pool: members and late-bound names
  mutable std::vector<NameCache> nameCache;
  mutable std::vector<MemberCache> memberCache;
  std::vector<StmtPos> stmts;       // in pc order
  std::vector<std::string> localNames;  // per slot; hidden slots are empty
  Ref<SourceText> source;

  // The statement holding pc, or null.
  const StmtPos* StatementAt(int32_t pc) const;
  // The first instruction of the statement after the one holding pc.
  int32_t NextStatementPc(int32_t pc) const;
};

// A member of a script class: a field, a method, or a property with up to
// three accessors. Ids handed to callers are positions plus one.
struct ClassMember {
  std::string name;
  bool isPublic = true;
  int32_t field = -1;
  Ref<Function> method, get, let, set;
};

class ClassDef : public RefCounted {
 public:
  ClassDef() : serial(NextSerial()) {}
  const uint32_t serial;  // unique to this class among all made in the process
  std::string name;
  int32_t module = 0;
  std::vector<std::string> fieldNames;
  std::vector<std::vector<int32_t>> fieldBounds;  // Dim f(3): fixed array bounds
  std::vector<ClassMember> members;
  NameMap<int32_t> memberIndex;     // all members, public or not
  DispId defaultId = kDispUnknown;
  Ref<Function> initialize, terminate;

  static uint32_t NextSerial() {
    static std::atomic<uint32_t> next{1};
    return next++;
  }

  int32_t Find(std::string_view n) const {
    auto it = memberIndex.find(n);
    return it == memberIndex.end() ? -1 : it->second;
  }
};

}  // namespace zantrel::script
