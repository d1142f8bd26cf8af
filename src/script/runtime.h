// The engine's internal state: modules with their names, the cells that hold
// module variables and named objects, the procedure slots, the class table,
// the Err state and the machine that runs compiled code (vm.cpp): one value
// stack, a frame stack, ByRef bookkeeping, time-out and depth limits.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/dispatch.h"
#include "core/error.h"
#include "script/code.h"

namespace zantrel::script {

class ScriptObject;

struct Module {
  std::string name;
  NameMap<int32_t> globals;          // cell of each module variable
  NameMap<int32_t> consts;           // cells that are constants
  NameMap<int32_t> procs;            // procedure slot
  std::vector<std::string> procOrder;
  NameMap<Ref<ClassDef>> classes;
  std::vector<Ref<Function>> units;  // top-level code of each added text
};

struct Frame {
  const Function* fn = nullptr;
  const Instr* pc = nullptr;   // saved while a callee runs
  Variant* locals = nullptr;
  Variant** refs = nullptr;    // ByRef parameters
  ScriptObject* me = nullptr;
  Frame* outer = nullptr;      // Execute/Eval: the frame whose variables they see
  NameMap<Variant>* dynamic = nullptr;  // names Execute declared in this procedure (owned)
  uint32_t pendingMark = 0;
  uint32_t pinMark = 0;
  uint32_t refTop = 0;
  bool resumeNext = false;
  bool keep = false;           // the caller wants the result
  bool entry = false;          // started by Call from C++: its return leaves the loop
  bool dropObject = false;     // a member call: the object sits below the arguments
};

// An argument that names a variable: the callee's ByRef parameter points to it.
struct PendingRef {
  uint32_t stackIndex;
  Variant* target;
  Ref<SafeArray> pin;  // keeps an array alive while an element is passed
};

// Where a runtime error happened.
struct ErrorSite {
  bool valid = false;
  std::string module;
  int line = 0;
  int column = 0;
  std::string sourceText;
};

// A run-time error about a named variable, member or function: Err.Description
// keeps VBScript's own text; the host's message adds ": 'name'".
class NamedError : public Error {
 public:
  NamedError(int32_t number, std::string_view name)
      : Error(number, std::string(StandardErrorText(number))), name_(name) {}
  const std::string& name() const { return name_; }

 private:
  std::string name_;
};

// Err.Raise's error: it also carries the help file and context.
class RaisedError : public Error {
 public:
  RaisedError(int32_t number, std::string description, std::string source, std::string helpFile, int32_t helpContext)
      : Error(number, std::move(description), std::move(source)), helpFile(std::move(helpFile)), helpContext(helpContext) {}
  std::string helpFile;
  int32_t helpContext;
};

[[noreturn]] inline void RaiseNamed(int32_t number, std::string_view name) { throw NamedError(number, name); }

// Stops a script outright: time-out or a host's request. On Error cannot trap it.
struct ScriptAbort {
  enum class Why { Timeout, Quit } why;
  int exitCode = 0;
};

enum class ResolvedKind : uint8_t { None, Cell, Proc, Builtin };
struct Resolved {
  ResolvedKind kind = ResolvedKind::None;
  int32_t index = 0;
};

inline constexpr uint32_t kMaxDepth = 2000;         // nested procedure calls
inline constexpr uint32_t kStackSlots = 1u << 17;   // values on the machine's stack
inline constexpr int32_t kTimeoutError = 0x800A0000 | 6100;  // never trappable anyway

class Runtime {
 public:
  Runtime();
  ~Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  // --- names ---
  int32_t ModuleIndex(std::string_view name, bool create);
  Module& ModuleAt(int32_t i) { return *modules_[i]; }
  const Module& ModuleAt(int32_t i) const { return *modules_[i]; }
  int32_t ModuleCount() const { return static_cast<int32_t>(modules_.size()); }
  int32_t NewCell();
  Variant& Cell(int32_t i) { return *cells_[i]; }
  int32_t NewProcSlot() {
    procs_.emplace_back();
    return static_cast<int32_t>(procs_.size() - 1);
  }
  Ref<Function>& Proc(int32_t slot) { return procs_[slot]; }
  void AddNamedObject(std::string_view name, Variant object);
  int32_t NamedObjectCell(std::string_view name) const;
  Resolved Resolve(int32_t module, std::string_view name) const;
  ClassDef* FindClass(int32_t module, std::string_view name) const;
  void Touch() { ++epoch_; }  // names changed: late-bound caches refresh
  uint32_t epoch() const { return epoch_; }

  // --- running ---
  // Runs fn with arguments (writable: ByRef parameters update them) and returns its result.
  Variant Call(const Function& fn, ScriptObject* me, Args args);
  // Runs Execute/Eval code inside the frame that asked for it (outer may be null).
  Variant RunIn(const Function& fn, Frame* outer);
  Frame EntryFrame(const Function& fn, Variant* locals, Variant** refs, ScriptObject* me) const;
  Variant ExecuteFrame(const Frame& fr, Variant* top);
  // Invokes a member of a script object for a host (the object's Dispatch::Invoke).
  Variant InvokeMember(ScriptObject& obj, DispId id, InvokeKind kind, Args args);
  // Class_Terminate of an object that is going away.
  void Terminate(ScriptObject& obj);
  Ref<ScriptObject> NewObject(ClassDef& cls);
  // New name: a script class of the module (or the global module), or RegExp.
  Variant NewNamed(int32_t module, std::string_view name);

  // --- errors and limits ---
  void SetTimeout(int32_t ms) { timeoutMs_ = ms; }
  // Counts work done since the clock was last read: one unit per backward jump
  // or call, one per kBytesPerUnit bytes a string or array operation handles.
  // When kUnitsPerClockRead units are spent the clock is read, so the time-out
  // holds within a fraction of a millisecond whatever the work is.
  void Work(int64_t units = 1) {
    if ((budget_ -= units) < 0) CheckTime();
  }
  void WorkBytes(std::size_t bytes) { Work(static_cast<int64_t>(bytes / kBytesPerUnit)); }
  void CheckTime();
  struct ErrState {
    int32_t number = 0;
    std::string description, source, helpFile;
    int32_t helpContext = 0;
  } err;
  ErrorSite site;                  // of the error on its way out
  // The first error that On Error Resume Next skipped in the outermost frame
  // of a host's run, with the statement it skipped (cleared when a run starts).
  struct Swallowed {
    int32_t number = 0;
    std::string description;
    ErrorSite site;
  } swallowed;
  void ClearErr() { err = ErrState{}; }
  void SetErr(const Error& e);
  Ref<Dispatch> ErrObject();
  std::mt19937& Rng() { return rng_; }
  float& LastRnd() { return lastRnd_; }
  int32_t& CurrentModule() { return currentModule_; }

  const std::shared_ptr<struct RuntimeLink>& link() const { return link_; }
  // The frame running now (null outside a run).
  Frame* TopFrame() { return frames_.empty() ? nullptr : &frames_.back(); }

 private:
  friend class Machine;

  std::vector<std::unique_ptr<Module>> modules_;
  std::vector<std::unique_ptr<Variant[]>> cellChunks_;
  std::vector<Variant*> cells_;
  std::vector<Ref<Function>> procs_;
  NameMap<int32_t> namedObjects_;
  uint32_t epoch_ = 1;

  // The machine.
  std::unique_ptr<unsigned char[]> stackMemory_;
  Variant* stack_ = nullptr;
  Variant* top_ = nullptr;          // first free slot above the running frames
  std::vector<Frame> frames_;
  std::vector<Variant*> refStack_;
  uint32_t refTop_ = 0;
  std::vector<PendingRef> pending_;
  std::vector<Ref<SafeArray>> pins_;
  int nested_ = 0;                  // C++ re-entries of the machine

  int32_t timeoutMs_ = 0;
  std::chrono::steady_clock::time_point deadline_{};
  bool deadlineSet_ = false;
  static constexpr int64_t kUnitsPerClockRead = 4096;
  static constexpr std::size_t kBytesPerUnit = 64;
  int64_t budget_ = kUnitsPerClockRead;

  Ref<Dispatch> errObject_;
  std::shared_ptr<struct RuntimeLink> link_;
  std::mt19937 rng_{12345};
  float lastRnd_ = 0;
  int32_t currentModule_ = 0;

  friend class RunScope;
};

}  // namespace zantrel::script
