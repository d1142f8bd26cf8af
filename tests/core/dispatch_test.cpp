// The dispatch protocol through a small host class: lookup by name in any case,
// the default member, property let through the setter (with index arguments),
// and the errors for unknown members and missing arguments.
#include <gtest/gtest.h>

#include <map>

#include "core/dispatch.h"
#include "core_test_util.h"

namespace zantrel {
namespace {

using testing::Describe;
using testing::RaisedNumber;

class Shelf : public HostObject<Shelf> {
 public:
  std::string label = "none";
  std::vector<std::string> items = {"apple", "pear"};
  std::map<std::string, Variant> tags;

  static const MemberTable<Shelf>& Members() {
    static const MemberTable<Shelf> table(
        "Shelf",
        {
            {"Label", [](Shelf& s, Args) { return Variant(s.label); },
             [](Shelf& s, Args, const Variant& v) { s.label = CStr(v); }},
            {"Count", [](Shelf& s, Args) { return Variant(static_cast<int32_t>(s.items.size())); }, nullptr},
            {"Item", [](Shelf& s, Args a) { return Variant(s.items.at(CLng(Arg(a, 0)))); }, nullptr},
            {"Tag", [](Shelf& s, Args a) { return s.tags[CStr(Arg(a, 0))]; },
             [](Shelf& s, Args a, const Variant& v) { s.tags[CStr(Arg(a, 0))] = v; }},
            {"Join", [](Shelf& s, Args a) {
               const std::string sep = CStr(OptArg(a, 0, Variant(",")));
               return Variant(s.items[0] + sep + s.items[1]);
             }, nullptr},
            {"Reset", nullptr, nullptr},
        },
        "Item");
    return table;
  }
};

// The same members without a default.
class Plain : public HostObject<Plain> {
 public:
  static const MemberTable<Plain>& Members() {
    static const MemberTable<Plain> table("Plain", {{"Value", [](Plain&, Args) { return Variant(true); }, nullptr}});
    return table;
  }
};

TEST(Dispatch, MembersByNameInAnyCase) {
  Ref<Shelf> shelf = MakeRef<Shelf>();
  EXPECT_EQ(Describe(shelf->GetMember("label")), "String:none");
  EXPECT_EQ(Describe(shelf->GetMember("COUNT")), "Long:2");
  EXPECT_EQ(Describe(shelf->CallMember("item", {Variant(int32_t{1})})), "String:pear");
  EXPECT_EQ(Describe(shelf->CallMember("Join")), "String:apple,pear");
  EXPECT_EQ(Describe(shelf->CallMember("Join", {Variant(" & ")})), "String:apple & pear");
  EXPECT_EQ(TypeName(ObjectVariant(shelf)), "Shelf");
}

TEST(Dispatch, LetGoesThroughTheSetter) {
  Ref<Shelf> shelf = MakeRef<Shelf>();
  shelf->LetMember("LABEL", Variant(int32_t{42}));
  EXPECT_EQ(shelf->label, "42");
  shelf->LetMember("Tag", Variant(2.5), {Variant("colour")});
  EXPECT_EQ(Describe(shelf->tags["colour"]), "Double:2.5");
  EXPECT_EQ(Describe(shelf->GetMember("tag", {Variant("colour")})), "Double:2.5");
}

TEST(Dispatch, DefaultMemberIsIdZero) {
  Ref<Shelf> shelf = MakeRef<Shelf>();
  Variant args[] = {Variant(int32_t{0})};
  EXPECT_EQ(Describe(shelf->Invoke(kDispDefault, InvokeKind::Get, args)), "String:apple");
  EXPECT_EQ(shelf->MemberId("item"), shelf->MemberId("Item"));
  EXPECT_NE(shelf->MemberId("Item"), kDispUnknown);
  EXPECT_EQ(shelf->MemberId("Missing"), kDispUnknown);
}

TEST(Dispatch, Errors) {
  Ref<Shelf> shelf = MakeRef<Shelf>();
  Ref<Plain> plain = MakeRef<Plain>();
  struct Row {
    const char* label;
    std::function<void()> call;
    int32_t error;
  };
  const Row rows[] = {
      {"unknown get", [&] { shelf->GetMember("Missing"); }, 438},
      {"unknown let", [&] { shelf->LetMember("Missing", Variant()); }, 438},
      {"unknown call", [&] { shelf->CallMember("Missing"); }, 438},
      {"let on a read-only property", [&] { shelf->LetMember("Count", Variant(int32_t{1})); }, 438},
      {"get of a member without getter", [&] { shelf->GetMember("Reset"); }, 438},
      {"missing required argument", [&] { shelf->CallMember("Item"); }, 450},
      {"let without a value", [&] { shelf->Invoke(shelf->MemberId("Label"), InvokeKind::Let, {}); }, 450},
      {"id out of the table", [&] { shelf->Invoke(99, InvokeKind::Get, {}); }, 438},
      {"default of a class without one", [&] { plain->Invoke(kDispDefault, InvokeKind::Get, {}); }, 438},
  };
  for (const Row& row : rows) EXPECT_EQ(RaisedNumber(row.call), row.error) << row.label;
}

TEST(Dispatch, ArgumentHelpers) {
  Variant values[] = {Variant(int32_t{1}), Variant("two")};
  const Args args(values);
  EXPECT_EQ(Describe(Arg(args, 1)), "String:two");
  EXPECT_EQ(RaisedNumber([&] { (void)Arg(args, 2); }), 450);
  EXPECT_EQ(Describe(OptArg(args, 0, Variant(false))), "Long:1");
  EXPECT_EQ(Describe(OptArg(args, 5, Variant(false))), "Boolean:False");
  EXPECT_EQ(RaisedNumber([] { (void)Arg({}, 0); }), 450);
}

}  // namespace
}  // namespace zantrel
