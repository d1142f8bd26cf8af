// Script objects: fields made at construction (fixed arrays for Dim f(n)),
// public members by name for callers outside the class, and the terminator.
#include "script/script_object.h"

#include "script/runtime.h"

namespace zantrel::script {

ScriptObject::ScriptObject(Ref<ClassDef> cls, std::shared_ptr<RuntimeLink> link)
    : cls_(std::move(cls)), link_(std::move(link)) {
  fields_.resize(cls_->fieldNames.size());
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const std::vector<int32_t>& b = cls_->fieldBounds[i];
    if (b.empty()) continue;
    std::vector<SafeArray::Bound> bounds;
    for (int32_t upper : b) bounds.push_back(SafeArray::Bound{0, upper + 1});
    fields_[i] = Variant(MakeRef<SafeArray>(std::move(bounds), true));
  }
}

// The count is back at one while Class_Terminate runs, so Me inside it does
// not free the object a second time.
ScriptObject::~ScriptObject() {
  if (!initialized_ || !link_->runtime || !cls_->terminate) return;
  AddRef();
  link_->runtime->Terminate(*this);
}

DispId ScriptObject::MemberId(std::string_view name) const {
  const int32_t m = cls_->Find(name);
  if (m < 0 || !cls_->members[m].isPublic) return kDispUnknown;
  return m + 1;
}

Variant ScriptObject::Invoke(DispId id, InvokeKind kind, Args args) {
  if (!link_->runtime) Raise(err::kObjectRequired);
  return link_->runtime->InvokeMember(*this, id, kind, args);
}

}  // namespace zantrel::script
