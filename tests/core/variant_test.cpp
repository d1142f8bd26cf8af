// Variant storage and SafeArray: ownership of strings, objects and arrays,
// copy on write of shared arrays, checked accessors, subscripts and ReDim.
#include <gtest/gtest.h>

#include "core/dispatch.h"
#include "core_test_util.h"

namespace zantrel {
namespace {

using testing::Describe;
using testing::RaisedNumber;

// Counts live instances so that leaked or doubly released references show.
class Probe : public Dispatch {
 public:
  static inline int live = 0;
  Probe() { ++live; }
  ~Probe() override { --live; }
  std::string_view TypeName() const override { return "Probe"; }
  DispId MemberId(std::string_view) const override { return kDispUnknown; }
  Variant Invoke(DispId, InvokeKind, Args) override { return {}; }
};

Variant Longs(std::initializer_list<int32_t> values) {
  std::vector<Variant> items;
  for (int32_t v : values) items.emplace_back(v);
  return Variant(SafeArray::FromVector(std::move(items)));
}

int32_t ElementAt(const Variant& arr, int32_t i) { return arr.AsArray().At(&i, 1).AsLong(); }

TEST(Variant, CopiesAndMovesKeepValues) {
  const Variant values[] = {Variant(), Variant::Null(), Variant(true), Variant(int16_t{-7}), Variant(int32_t{70000}),
                            Variant::Byte(200), Variant(2.5), Variant::Currency(12345), Variant::Date(2.25),
                            Variant("a string long enough to live on the heap")};
  for (const Variant& v : values) {
    SCOPED_TRACE(Describe(v));
    Variant copy(v);
    EXPECT_EQ(Describe(copy), Describe(v));
    Variant moved(std::move(copy));
    EXPECT_EQ(Describe(moved), Describe(v));
    EXPECT_TRUE(copy.IsEmpty());
    Variant assigned = Variant("x");
    assigned = moved;
    EXPECT_EQ(Describe(assigned), Describe(v));
    assigned = assigned;
    EXPECT_EQ(Describe(assigned), Describe(v));
  }
}

TEST(Variant, ObjectReferencesAreCounted) {
  ASSERT_EQ(Probe::live, 0);
  {
    Variant a(Ref<Dispatch>(new Probe));
    EXPECT_EQ(a.AsObject()->RefCount(), 1);
    Variant b = a;
    EXPECT_EQ(a.AsObject(), b.AsObject());
    EXPECT_EQ(a.AsObject()->RefCount(), 2);
    b = Variant(int32_t{1});
    EXPECT_EQ(a.AsObject()->RefCount(), 1);
    Variant c = std::move(a);
    EXPECT_EQ(c.AsObject()->RefCount(), 1);
    EXPECT_EQ(Probe::live, 1);
  }
  EXPECT_EQ(Probe::live, 0);
  EXPECT_EQ(Variant::Nothing().AsObject(), nullptr);
  EXPECT_TRUE(Variant::Nothing().IsObject());
}

TEST(Variant, AssignmentFromInsideItsOwnArray) {
  Variant v = Longs({5, 6});
  v = v.AsArray().data()[1];
  EXPECT_EQ(Describe(v), "Long:6");
  Variant w = Longs({7, 8});
  w = std::move(w.MutableArray().data()[0]);
  EXPECT_EQ(Describe(w), "Long:7");
}

TEST(Variant, ArrayCopyIsUnsharedOnWrite) {
  Variant a = Longs({1, 2, 3});
  Variant b = a;
  b.MutableArray().data()[0] = Variant(int32_t{99});
  EXPECT_EQ(ElementAt(a, 0), 1);
  EXPECT_EQ(ElementAt(b, 0), 99);
  a.MutableArray().data()[2] = Variant(int32_t{42});
  EXPECT_EQ(ElementAt(a, 2), 42);
  EXPECT_EQ(ElementAt(b, 2), 3);
}

TEST(Variant, SoleOwnerWritesInPlace) {
  Variant a = Longs({1, 2});
  const SafeArray* before = &a.AsArray();
  a.MutableArray().data()[0] = Variant(int32_t{5});
  EXPECT_EQ(&a.AsArray(), before);
  Variant b = a;
  b.Clear();
  EXPECT_EQ(&a.MutableArray(), before);
}

TEST(Variant, CheckedAccessorsRaiseTypeMismatch) {
  const Variant i(int16_t{1}), l(int32_t{1}), d(1.5), date = Variant::Date(1.5), s("1"), arr = Longs({1});
  struct Row {
    const char* label;
    std::function<void()> access;
    int32_t error;
  };
  const Row rows[] = {
      {"AsBoolean on Integer", [&] { (void)i.AsBoolean(); }, 13},
      {"AsInteger on Long", [&] { (void)l.AsInteger(); }, 13},
      {"AsLong on Integer", [&] { (void)i.AsLong(); }, 13},
      {"AsDouble on Long", [&] { (void)l.AsDouble(); }, 13},
      {"AsDouble on Date", [&] { EXPECT_EQ(date.AsDouble(), 1.5); }, 0},
      {"AsDouble on Double", [&] { EXPECT_EQ(d.AsDouble(), 1.5); }, 0},
      {"AsCurrency on Double", [&] { (void)d.AsCurrency(); }, 13},
      {"AsString on Long", [&] { (void)l.AsString(); }, 13},
      {"AsObject on String", [&] { (void)s.AsObject(); }, 13},
      {"AsArray on String", [&] { (void)s.AsArray(); }, 13},
      {"MutableString on Long", [&] { Variant x = l; x.MutableString() += "a"; }, 13},
      {"MutableArray on String", [&] { Variant x = s; x.MutableArray(); }, 13},
      {"AsByte on Array", [&] { (void)arr.AsByte(); }, 13},
  };
  for (const Row& row : rows) EXPECT_EQ(RaisedNumber(row.access), row.error) << row.label;
}

TEST(Variant, MutableStringAppendsInPlace) {
  Variant s("ab");
  s.MutableString() += "cd";
  EXPECT_EQ(s.AsString(), "abcd");
}

TEST(Variant, IsNumeric) {
  EXPECT_TRUE(Variant(true).IsNumeric());
  EXPECT_TRUE(Variant::Byte(1).IsNumeric());
  EXPECT_TRUE(Variant::Currency(1).IsNumeric());
  EXPECT_TRUE(Variant::Date(1).IsNumeric());
  EXPECT_TRUE(Variant(int16_t{1}).IsNumeric());
  EXPECT_FALSE(Variant().IsNumeric());
  EXPECT_FALSE(Variant::Null().IsNumeric());
  EXPECT_FALSE(Variant("1").IsNumeric());
  EXPECT_FALSE(Variant::Nothing().IsNumeric());
  EXPECT_FALSE(Longs({1}).IsNumeric());
}

// A 2x3 array from (1,10) to (2,12), each element holding 100*i + j.
Ref<SafeArray> Grid() {
  auto arr = MakeRef<SafeArray>(std::vector<SafeArray::Bound>{{1, 2}, {10, 3}});
  for (int32_t i = 1; i <= 2; ++i)
    for (int32_t j = 10; j <= 12; ++j) {
      const int32_t sub[] = {i, j};
      arr->At(sub, 2) = Variant(int32_t{100 * i + j});
    }
  return arr;
}

int32_t GridAt(const SafeArray& arr, int32_t i, int32_t j) {
  const int32_t sub[] = {i, j};
  return arr.At(sub, 2).AsLong();
}

TEST(SafeArray, BoundsAndSubscripts) {
  auto arr = Grid();
  EXPECT_EQ(arr->Dimensions(), 2);
  EXPECT_EQ(arr->size(), 6u);
  EXPECT_EQ(arr->LBound(1), 1);
  EXPECT_EQ(arr->UBound(1), 2);
  EXPECT_EQ(arr->LBound(2), 10);
  EXPECT_EQ(arr->UBound(2), 12);
  EXPECT_EQ(GridAt(*arr, 2, 11), 211);
  EXPECT_EQ(arr->data()[1].AsLong(), 210);  // first subscript varies fastest

  struct Row {
    std::vector<int32_t> subscripts;
    int32_t error;
  };
  const Row rows[] = {{{1, 10}, 0}, {{2, 12}, 0}, {{0, 10}, 9}, {{3, 10}, 9}, {{1, 9}, 9},
                      {{1, 13}, 9}, {{1}, 9},     {{1, 10, 0}, 9}};
  for (const Row& row : rows)
    EXPECT_EQ(RaisedNumber([&] { (void)arr->At(row.subscripts.data(), row.subscripts.size()); }), row.error)
        << ::testing::PrintToString(row.subscripts);
  EXPECT_EQ(RaisedNumber([&] { (void)arr->LBound(0); }), 9);
  EXPECT_EQ(RaisedNumber([&] { (void)arr->UBound(3); }), 9);
}

TEST(SafeArray, FromVectorAndEmpty) {
  auto three = SafeArray::FromVector({Variant(int32_t{1}), Variant("b"), Variant()});
  EXPECT_EQ(three->LBound(), 0);
  EXPECT_EQ(three->UBound(), 2);
  auto none = SafeArray::FromVector({});
  EXPECT_EQ(none->Dimensions(), 1);
  EXPECT_EQ(none->UBound(), -1);
  SafeArray undimensioned;
  EXPECT_EQ(RaisedNumber([&] { (void)undimensioned.UBound(); }), 9);
}

TEST(SafeArray, RedimPreserveKeepsElementsWhenOnlyTheLastDimensionChanges) {
  auto arr = Grid();
  arr->Redim({{1, 2}, {10, 4}}, true);
  EXPECT_EQ(GridAt(*arr, 2, 12), 212);
  EXPECT_EQ(GridAt(*arr, 1, 10), 110);
  const int32_t added[] = {2, 13};
  EXPECT_TRUE(arr->At(added, 2).IsEmpty());
  arr->Redim({{1, 2}, {10, 1}}, true);
  EXPECT_EQ(GridAt(*arr, 2, 10), 210);
  EXPECT_EQ(arr->size(), 2u);
}

TEST(SafeArray, RedimRules) {
  struct Row {
    const char* label;
    std::vector<SafeArray::Bound> bounds;
    bool preserve;
    bool fixed;
    int32_t error;
  };
  const Row rows[] = {
      {"preserve, first dimension grows", {{1, 3}, {10, 3}}, true, false, 9},
      {"preserve, first lower bound moves", {{0, 2}, {10, 3}}, true, false, 9},
      {"preserve, last lower bound moves", {{1, 2}, {0, 3}}, true, false, 9},
      {"preserve, fewer dimensions", {{1, 6}}, true, false, 9},
      {"no preserve, any shape", {{0, 5}}, false, false, 0},
      {"fixed array", {{1, 2}, {10, 3}}, false, true, 10},
      {"fixed array with preserve", {{1, 2}, {10, 4}}, true, true, 10},
      {"negative count", {{0, -2}}, false, false, 9},
  };
  for (const Row& row : rows) {
    auto arr = Grid();
    arr->SetFixed(row.fixed);
    EXPECT_EQ(RaisedNumber([&] { arr->Redim(row.bounds, row.preserve); }), row.error) << row.label;
  }
}

TEST(SafeArray, RedimWithoutPreserveClears) {
  auto arr = Grid();
  arr->Redim({{0, 4}}, false);
  EXPECT_EQ(arr->Dimensions(), 1);
  EXPECT_EQ(arr->UBound(), 3);
  for (const Variant& v : arr->data()) EXPECT_TRUE(v.IsEmpty());
  SafeArray dynamic;
  dynamic.Redim({{0, 2}}, true);  // the first ReDim Preserve of an undimensioned array
  EXPECT_EQ(dynamic.UBound(), 1);
}

TEST(SafeArray, CloneIsIndependentAndKeepsFixed) {
  auto arr = Grid();
  arr->SetFixed(true);
  auto copy = arr->Clone();
  copy->data()[0] = Variant("changed");
  EXPECT_EQ(GridAt(*arr, 1, 10), 110);
  EXPECT_TRUE(copy->fixed());
  EXPECT_EQ(copy->bounds()[1].lower, 10);
}

}  // namespace
}  // namespace zantrel
