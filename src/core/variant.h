// Variant: the one value type of the model and the script engine.
//
// A tagged value holding Empty, Null, Boolean, Integer (16-bit), Long (32-bit),
// Byte, Single, Double, Currency (64-bit scaled by 10,000), Date (days since 1899-12-30),
// String (UTF-8), Object (a Dispatch reference) or Array. Arrays have value
// semantics: copying a Variant shares the array until one copy is written
// (copy on write through MutableArray). The VBScript conversion rules live in
// convert.h, beside this header.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/ref.h"

namespace zantrel {

class Dispatch;
class SafeArray;

// The VarType numbers of VBScript.
enum class VarType : uint16_t {
  Empty = 0,
  Null = 1,
  Integer = 2,
  Long = 3,
  Single = 4,
  Double = 5,
  Currency = 6,
  Date = 7,
  String = 8,
  Object = 9,
  Boolean = 11,
  Variant = 12,
  Byte = 17,
  Array = 0x2000,
};

class Variant {
 public:
  Variant() noexcept : type_(VarType::Empty), i64_(0) {}
  Variant(bool b) noexcept : type_(VarType::Boolean), b_(b) {}
  Variant(int16_t v) noexcept : type_(VarType::Integer), i16_(v) {}
  Variant(int32_t v) noexcept : type_(VarType::Long), i32_(v) {}
  Variant(double v) noexcept : type_(VarType::Double), dbl_(v) {}
  Variant(std::string s) : type_(VarType::String) { new (&str_) std::string(std::move(s)); }
  Variant(std::string_view s) : Variant(std::string(s)) {}
  Variant(const char* s) : Variant(std::string(s)) {}
  Variant(Ref<Dispatch> obj);
  Variant(Ref<SafeArray> arr);

  static Variant Null() { Variant v; v.type_ = VarType::Null; return v; }
  static Variant Byte(uint8_t v) { Variant r; r.type_ = VarType::Byte; r.u8_ = v; return r; }
  static Variant Date(double days) { Variant r; r.type_ = VarType::Date; r.dbl_ = days; return r; }
  // Single keeps its single-precision value in the double.
  static Variant Single(float v) { Variant r; r.type_ = VarType::Single; r.dbl_ = v; return r; }
  // Currency from its scaled form (value x 10,000).
  static Variant Currency(int64_t scaled) { Variant r; r.type_ = VarType::Currency; r.i64_ = scaled; return r; }
  static Variant Nothing();  // an Object variant without object

  Variant(const Variant& o);
  Variant(Variant&& o) noexcept;
  Variant& operator=(const Variant& o);
  Variant& operator=(Variant&& o) noexcept;
  ~Variant() {
    if (type_ == VarType::String || type_ == VarType::Object || type_ == VarType::Array) Reset();
  }

  VarType type() const { return type_; }
  bool IsEmpty() const { return type_ == VarType::Empty; }
  bool IsNull() const { return type_ == VarType::Null; }
  bool IsString() const { return type_ == VarType::String; }
  bool IsObject() const { return type_ == VarType::Object; }
  bool IsArray() const { return type_ == VarType::Array; }
  bool IsNumeric() const;  // Boolean, Byte, Integer, Long, Single, Double, Currency, Date

  // Checked accessors of the stored value; Raise 13 when the type differs.
  bool AsBoolean() const;
  int16_t AsInteger() const;
  int32_t AsLong() const;
  uint8_t AsByte() const;
  double AsDouble() const;    // Single, Double or Date
  int64_t AsCurrency() const; // the scaled form
  const std::string& AsString() const;
  std::string& MutableString();  // in-place append for s = s & x
  Dispatch* AsObject() const;    // may be null (Nothing)
  const SafeArray& AsArray() const;
  SafeArray& MutableArray();  // unshares the array first

  void Clear() { Reset(); }

  // Unchecked reads for hot paths (the script engine) that tested type() first.
  bool RawBoolean() const noexcept { return b_; }
  uint8_t RawByte() const noexcept { return u8_; }
  int16_t RawInteger() const noexcept { return i16_; }
  int32_t RawLong() const noexcept { return i32_; }
  double RawDouble() const noexcept { return dbl_; }
  int64_t RawCurrency() const noexcept { return i64_; }
  const std::string& RawString() const noexcept { return str_; }
  std::string& RawMutableString() noexcept { return str_; }
  Dispatch* RawObject() const noexcept { return obj_; }
  SafeArray* RawArray() const noexcept { return arr_; }

 private:
  void Reset() noexcept;
  void CopyFrom(const Variant& o);
  void MoveFrom(Variant& o) noexcept;
  void CopyTrivial(const Variant& o) noexcept;

  VarType type_;
  union {
    bool b_;
    uint8_t u8_;
    int16_t i16_;
    int32_t i32_;
    int64_t i64_;
    double dbl_;
    std::string str_;
    Dispatch* obj_;   // counted reference
    SafeArray* arr_;  // counted reference
  };
};

// An array of variants with any number of dimensions, each with its lower bound.
// Elements are stored with the first subscript varying fastest.
class SafeArray : public RefCounted {
 public:
  struct Bound {
    int32_t lower = 0;
    int32_t count = 0;
  };

  SafeArray() = default;
  explicit SafeArray(std::vector<Bound> bounds, bool fixed = false);
  static Ref<SafeArray> FromVector(std::vector<Variant> items);  // one dimension from 0

  int32_t Dimensions() const { return static_cast<int32_t>(bounds_.size()); }
  int32_t LBound(int32_t dim = 1) const;  // dim counts from 1; Raise 9 when out of range
  int32_t UBound(int32_t dim = 1) const;
  const std::vector<Bound>& bounds() const { return bounds_; }
  bool fixed() const { return fixed_; }
  void SetFixed(bool f) { fixed_ = f; }

  std::size_t size() const { return data_.size(); }
  std::vector<Variant>& data() { return data_; }
  const std::vector<Variant>& data() const { return data_; }

  // Element by subscripts; Raise 9 when any is out of range or their number is wrong.
  Variant& At(const int32_t* subscripts, std::size_t n);
  const Variant& At(const int32_t* subscripts, std::size_t n) const;

  // ReDim: new bounds; with preserve only the last dimension may change (Raise 9).
  void Redim(std::vector<Bound> bounds, bool preserve);

  Ref<SafeArray> Clone() const;

 private:
  std::size_t Offset(const int32_t* subscripts, std::size_t n) const;

  std::vector<Bound> bounds_;
  std::vector<Variant> data_;
  bool fixed_ = false;
};

}  // namespace zantrel
