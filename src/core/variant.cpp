// Variant storage (copy, move and release of the string, object and array
// members), its checked accessors, and SafeArray: bounds, subscripts, ReDim and
// the copy that makes arrays behave as values.
#include "core/variant.h"

#include <new>

#include "core/dispatch.h"
#include "core/error.h"

namespace zantrel {

Variant::Variant(Ref<Dispatch> obj) : type_(VarType::Object), obj_(obj.get()) {
  if (obj_) obj_->AddRef();
}

Variant::Variant(Ref<SafeArray> arr) : type_(VarType::Array), arr_(arr.get()) {
  if (!arr_) {
    type_ = VarType::Empty;
    i64_ = 0;
    return;
  }
  arr_->AddRef();
}

Variant Variant::Nothing() {
  Variant v;
  v.type_ = VarType::Object;
  v.obj_ = nullptr;
  return v;
}

Variant::Variant(const Variant& o) : type_(VarType::Empty), i64_(0) { CopyFrom(o); }

Variant::Variant(Variant&& o) noexcept : type_(VarType::Empty), i64_(0) { MoveFrom(o); }

// Both assignments build the new value first: the source may live inside the
// array or object this variant is about to release.
Variant& Variant::operator=(const Variant& o) {
  if (this != &o) *this = Variant(o);
  return *this;
}

Variant& Variant::operator=(Variant&& o) noexcept {
  if (this == &o) return *this;
  Variant taken(std::move(o));
  Reset();
  MoveFrom(taken);
  return *this;
}

// The variant is Empty before a reference is released, so code run by the
// release (a class terminator) never sees the dying value.
void Variant::Reset() noexcept {
  const RefCounted* counted = nullptr;
  if (type_ == VarType::String) str_.~basic_string();
  else if (type_ == VarType::Object) counted = obj_;
  else if (type_ == VarType::Array) counted = arr_;
  type_ = VarType::Empty;
  i64_ = 0;
  if (counted) counted->Release();
}

// Expects an Empty *this.
void Variant::CopyFrom(const Variant& o) {
  if (o.type_ == VarType::String) {
    new (&str_) std::string(o.str_);
    type_ = VarType::String;
    return;
  }
  CopyTrivial(o);
  if (type_ == VarType::Object && obj_) obj_->AddRef();
  if (type_ == VarType::Array) arr_->AddRef();
}

// Expects an Empty *this; leaves o Empty.
void Variant::MoveFrom(Variant& o) noexcept {
  if (o.type_ == VarType::String) {
    new (&str_) std::string(std::move(o.str_));
    o.str_.~basic_string();
    type_ = VarType::String;
  } else {
    CopyTrivial(o);
  }
  o.type_ = VarType::Empty;
  o.i64_ = 0;
}

// Takes the member of every type but String; counted references are not touched.
void Variant::CopyTrivial(const Variant& o) noexcept {
  switch (o.type_) {
    case VarType::Object: obj_ = o.obj_; break;
    case VarType::Array: arr_ = o.arr_; break;
    case VarType::Boolean: b_ = o.b_; break;
    case VarType::Byte: u8_ = o.u8_; break;
    case VarType::Integer: i16_ = o.i16_; break;
    case VarType::Long: i32_ = o.i32_; break;
    case VarType::Single:
    case VarType::Double:
    case VarType::Date: dbl_ = o.dbl_; break;
    default: i64_ = o.i64_; break;
  }
  type_ = o.type_;
}

bool Variant::IsNumeric() const {
  switch (type_) {
    case VarType::Boolean:
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
    case VarType::Date: return true;
    default: return false;
  }
}

namespace {
inline void Expect(bool ok) {
  if (!ok) Raise(err::kTypeMismatch);
}
}  // namespace

bool Variant::AsBoolean() const { Expect(type_ == VarType::Boolean); return b_; }
int16_t Variant::AsInteger() const { Expect(type_ == VarType::Integer); return i16_; }
int32_t Variant::AsLong() const { Expect(type_ == VarType::Long); return i32_; }
uint8_t Variant::AsByte() const { Expect(type_ == VarType::Byte); return u8_; }
double Variant::AsDouble() const {
  Expect(type_ == VarType::Double || type_ == VarType::Date || type_ == VarType::Single);
  return dbl_;
}
int64_t Variant::AsCurrency() const { Expect(type_ == VarType::Currency); return i64_; }
const std::string& Variant::AsString() const { Expect(type_ == VarType::String); return str_; }
std::string& Variant::MutableString() { Expect(type_ == VarType::String); return str_; }
Dispatch* Variant::AsObject() const { Expect(type_ == VarType::Object); return obj_; }
const SafeArray& Variant::AsArray() const { Expect(type_ == VarType::Array); return *arr_; }

SafeArray& Variant::MutableArray() {
  Expect(type_ == VarType::Array);
  if (arr_->RefCount() > 1) {
    Ref<SafeArray> own = arr_->Clone();
    arr_->Release();
    arr_ = own.get();
    arr_->AddRef();
  }
  return *arr_;
}

// --- SafeArray ---

namespace {

// Number of elements for the bounds; Raise 9 for a negative count, 7 when too large.
std::size_t ElementCount(const std::vector<SafeArray::Bound>& bounds) {
  constexpr std::size_t kMaxElements = std::size_t{1} << 28;
  std::size_t total = bounds.empty() ? 0 : 1;
  for (const SafeArray::Bound& b : bounds) {
    if (b.count < 0) Raise(err::kSubscript);
    total *= static_cast<std::size_t>(b.count);
    if (total > kMaxElements) Raise(err::kOutOfMemory);
  }
  return total;
}

}  // namespace

SafeArray::SafeArray(std::vector<Bound> bounds, bool fixed) : bounds_(std::move(bounds)), fixed_(fixed) {
  data_.resize(ElementCount(bounds_));
}

Ref<SafeArray> SafeArray::FromVector(std::vector<Variant> items) {
  Ref<SafeArray> arr = MakeRef<SafeArray>();
  arr->bounds_ = {Bound{0, static_cast<int32_t>(items.size())}};
  arr->data_ = std::move(items);
  return arr;
}

int32_t SafeArray::LBound(int32_t dim) const {
  if (dim < 1 || dim > Dimensions()) Raise(err::kSubscript);
  return bounds_[dim - 1].lower;
}

int32_t SafeArray::UBound(int32_t dim) const {
  if (dim < 1 || dim > Dimensions()) Raise(err::kSubscript);
  const Bound& b = bounds_[dim - 1];
  return static_cast<int32_t>(static_cast<int64_t>(b.lower) + b.count - 1);
}

std::size_t SafeArray::Offset(const int32_t* subscripts, std::size_t n) const {
  if (n != bounds_.size()) Raise(err::kSubscript);
  std::size_t offset = 0, stride = 1;
  for (std::size_t d = 0; d < n; ++d) {
    const int64_t index = static_cast<int64_t>(subscripts[d]) - bounds_[d].lower;
    if (index < 0 || index >= bounds_[d].count) Raise(err::kSubscript);
    offset += static_cast<std::size_t>(index) * stride;
    stride *= static_cast<std::size_t>(bounds_[d].count);
  }
  return offset;
}

Variant& SafeArray::At(const int32_t* subscripts, std::size_t n) { return data_[Offset(subscripts, n)]; }

const Variant& SafeArray::At(const int32_t* subscripts, std::size_t n) const {
  return data_[Offset(subscripts, n)];
}

// The last dimension varies slowest, so changing only its count keeps every
// element at its offset and Preserve becomes a resize.
void SafeArray::Redim(std::vector<Bound> bounds, bool preserve) {
  if (fixed_) Raise(err::kArrayFixed);
  const std::size_t total = ElementCount(bounds);
  if (!preserve || bounds_.empty()) {
    data_.assign(total, Variant());
    bounds_ = std::move(bounds);
    return;
  }
  if (bounds.size() != bounds_.size()) Raise(err::kSubscript);
  for (std::size_t d = 0; d < bounds.size(); ++d) {
    const bool last = d + 1 == bounds.size();
    if (bounds[d].lower != bounds_[d].lower || (!last && bounds[d].count != bounds_[d].count))
      Raise(err::kSubscript);
  }
  data_.resize(total);
  bounds_ = std::move(bounds);
}

Ref<SafeArray> SafeArray::Clone() const {
  Ref<SafeArray> copy = MakeRef<SafeArray>();
  copy->bounds_ = bounds_;
  copy->data_ = data_;
  copy->fixed_ = fixed_;
  return copy;
}

}  // namespace zantrel
