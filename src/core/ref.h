// Intrusive, single-threaded reference counting for model and script objects.
#pragma once

#include <cstdint>
#include <utility>

namespace zantrel {

class RefCounted {
 public:
  RefCounted() = default;
  RefCounted(const RefCounted&) = delete;
  RefCounted& operator=(const RefCounted&) = delete;
  virtual ~RefCounted() = default;

  void AddRef() const { ++refs_; }
  void Release() const {
    if (--refs_ == 0) delete this;
  }
  int32_t RefCount() const { return refs_; }

 private:
  mutable int32_t refs_ = 0;
};

template <class T>
class Ref {
 public:
  Ref() = default;
  Ref(std::nullptr_t) {}
  Ref(T* p) : p_(p) { Acquire(); }
  Ref(const Ref& o) : p_(o.p_) { Acquire(); }
  Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  template <class U>
  Ref(const Ref<U>& o) : Ref(static_cast<T*>(o.get())) {}
  ~Ref() {
    // Through RefCounted, so that a class's own member named Release cannot hide it.
    if (p_) static_cast<const RefCounted*>(p_)->Release();
  }

  Ref& operator=(Ref o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  friend bool operator==(const Ref& a, const Ref& b) { return a.p_ == b.p_; }

 private:
  void Acquire() {
    if (p_) static_cast<const RefCounted*>(p_)->AddRef();
  }

  T* p_ = nullptr;
};

template <class T, class... A>
Ref<T> MakeRef(A&&... args) {
  return Ref<T>(new T(std::forward<A>(args)...));
}

}  // namespace zantrel
