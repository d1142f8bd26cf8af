// Instances of script classes. Each is a Dispatch, so hosts and other objects
// reach its public members by name like any host object; the machine calls
// members of its own objects directly. Class_Terminate runs when the last
// reference goes away, while the engine still exists.
#pragma once

#include <memory>
#include <vector>

#include "core/dispatch.h"
#include "script/code.h"

namespace zantrel::script {

class Runtime;

// Shared between an engine and its objects, so an object that outlives the
// engine knows not to run its terminator.
struct RuntimeLink {
  Runtime* runtime = nullptr;
};

class ScriptObject final : public Dispatch {
 public:
  ScriptObject(Ref<ClassDef> cls, std::shared_ptr<RuntimeLink> link);
  ~ScriptObject() override;

  std::string_view TypeName() const override { return cls_->name; }
  DispId MemberId(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, Args args) override;

  ClassDef& cls() const { return *cls_; }
  std::vector<Variant>& fields() { return fields_; }
  void MarkInitialized() { initialized_ = true; }

 private:
  Ref<ClassDef> cls_;
  std::shared_ptr<RuntimeLink> link_;
  std::vector<Variant> fields_;
  bool initialized_ = false;
};

// True when v holds a script object (and not a host object).
inline ScriptObject* AsScriptObject(Dispatch* d) {
  return d && typeid(*d) == typeid(ScriptObject) ? static_cast<ScriptObject*>(d) : nullptr;
}

}  // namespace zantrel::script
