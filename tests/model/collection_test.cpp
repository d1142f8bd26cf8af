#include <gtest/gtest.h>

#include "core/convert.h"
#include "core/error.h"
#include "support/error_of.h"
#include "model/super_collection.h"

using namespace zantrel;
using test::ErrorOf;

namespace {

Ref<CSuperCollection> Make(std::initializer_list<const char*> keys, int32_t mode = 0) {
  auto c = MakeRef<CSuperCollection>();
  c->CompareMode(mode);
  for (const char* k : keys) c->Add(Variant(std::string("v") + k), k);
  return c;
}

std::string Order(CSuperCollection& c) {
  std::string out;
  for (int32_t i = 1; i <= c.Count(); ++i) out += CStr(c.Item(Variant(i))) + " ";
  return out;
}

TEST(Collection, NewCollectionDefaults) {
  auto c = MakeRef<CSuperCollection>();
  EXPECT_EQ(c->Count(), 0);
  EXPECT_EQ(c->BaseIndex(), 1);
  EXPECT_EQ(c->CompareMode(), 0);
  EXPECT_TRUE(c->Item(Variant(1)).IsEmpty());
  EXPECT_TRUE(c->Item(Variant("nothing")).IsEmpty());
  EXPECT_EQ(c->KeyExists("x"), kNoPosition);
}

TEST(Collection, KeyComparisonFollowsCompareMode) {
  auto binary = Make({"NAME"});
  binary->Add(Variant("second"), "Name");
  EXPECT_EQ(binary->Count(), 2);

  auto text = Make({"NAME"}, 1);
  EXPECT_EQ(ErrorOf([&] { text->Add(Variant("second"), "Name"); }), err::kDuplicateKey);
  EXPECT_EQ(text->Count(), 1);
  EXPECT_EQ(CStr(text->Item(Variant("name"))), "vNAME");
}

TEST(Collection, DuplicateKeyCarriesVBScriptText) {
  auto c = Make({"a"});
  try {
    c->Add(Variant(1), "a");
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.description(), "This key is already associated with an element of this collection");
  }
}

TEST(Collection, PositionalInsertion) {
  auto c = Make({"a", "b", "c"});
  c->Add(Variant("x"), "", kInsertBefore, 1);
  EXPECT_EQ(Order(*c), "x va vb vc ");

  auto d = Make({"a", "b", "c"});
  d->Add(Variant("x"), "", kInsertAfter, 3);
  EXPECT_EQ(Order(*d), "va vb vc x ");

  auto e = Make({"a", "b", "c"});
  e->Add(Variant("x"), "", kInsertBefore, 2);
  e->Add(Variant("y"), "", kInsertAfter, 1);
  EXPECT_EQ(Order(*e), "va y x vb vc ");
  EXPECT_EQ(e->KeyExists("b"), 4);

  auto f = Make({"a", "b"});
  f->Add(Variant("x"), "", kInsertFirst);
  EXPECT_EQ(Order(*f), "x va vb ");
}

TEST(Collection, AddFailuresLeaveCollectionUnchanged) {
  auto c = Make({"a", "b"});
  EXPECT_EQ(ErrorOf([&] { c->Add(Variant("x"), "", kInsertBefore); }), err::kNoPositionSupplied);
  EXPECT_EQ(ErrorOf([&] { c->Add(Variant("x"), "", kInsertBefore, 3); }), err::kSubscript);
  EXPECT_EQ(ErrorOf([&] { c->Add(Variant("x"), "", kInsertAfter, 0); }), err::kSubscript);
  EXPECT_EQ(Order(*c), "va vb ");
}

TEST(Collection, RemoveByPositionAndKey) {
  auto c = Make({"a", "b", "c", "d"});
  c->Remove(Variant(2));
  EXPECT_EQ(Order(*c), "va vc vd ");
  EXPECT_EQ(c->KeyExists("d"), 3);
  c->Remove(Variant("c"));
  EXPECT_EQ(Order(*c), "va vd ");
  EXPECT_EQ(c->KeyExists("b"), kNoPosition);

  EXPECT_EQ(ErrorOf([&] { c->Remove(Variant(3)); }), err::kSubscript);
  EXPECT_EQ(ErrorOf([&] { c->Remove(Variant("zz")); }), err::kKeyNotFound);
  EXPECT_EQ(ErrorOf([&] { c->Remove(Variant()); }), err::kInvalidDatatype);
  EXPECT_EQ(ErrorOf([&] { c->Item(Variant::Null()); }), err::kInvalidDatatype);
}

TEST(Collection, RemovingTheOnlyItemThenAdding) {
  auto c = Make({"a"});
  c->Remove(Variant(1));
  EXPECT_EQ(c->Count(), 0);
  c->Add(Variant("again"), "a");
  EXPECT_EQ(c->KeyExists("a"), 1);
  EXPECT_EQ(CStr(c->Item(Variant(1))), "again");
}

TEST(Collection, BaseIndexAndCompareModeOnlyWhileEmpty) {
  auto c = MakeRef<CSuperCollection>();
  c->BaseIndex(0);
  c->Add(Variant("first"), "k");
  EXPECT_EQ(CStr(c->Item(Variant(0))), "first");
  EXPECT_EQ(c->KeyExists("k"), 0);
  EXPECT_EQ(ErrorOf([&] { c->BaseIndex(1); }), err::kCollectionInitialized);
  EXPECT_EQ(ErrorOf([&] { c->CompareMode(1); }), err::kCollectionInitialized);
  auto d = MakeRef<CSuperCollection>();
  EXPECT_EQ(ErrorOf([&] { d->CompareMode(2); }), err::kSubscript);
}

TEST(Collection, ItemAssignment) {
  auto c = Make({"a", "b"});
  EXPECT_EQ(ErrorOf([&] { c->SetItem(Variant("a"), Variant("new")); }), err::kNotSupported);
  c->AllowItemAsignments(true);
  c->SetItem(Variant("a"), Variant("new"));
  c->SetItem(Variant(2), Variant("two"));
  EXPECT_EQ(Order(*c), "new two ");
  EXPECT_EQ(ErrorOf([&] { c->SetItem(Variant("zz"), Variant(1)); }), err::kKeyNotFound);
  EXPECT_EQ(ErrorOf([&] { c->SetItem(Variant(9), Variant(1)); }), err::kKeyNotFound);
}

TEST(Collection, KeysEnumerateSortedItemsInPositionOrder) {
  auto c = Make({"delta", "Alpha", "charlie", "Bravo"}, 1);
  c->Add(Variant("keyless"));
  std::string keys;
  Ref<Enumerator> e = c->Keys()->NewEnum();
  Variant k;
  while (e->Next(k)) {
    auto* key = static_cast<cKey*>(k.AsObject());
    keys += key->Name + "@" + std::to_string(key->AssociatedIndex) + " ";
  }
  EXPECT_EQ(keys, "Alpha@2 Bravo@4 charlie@3 delta@1 ");
  EXPECT_EQ(c->Keys()->Count(), 4);

  std::string items;
  Ref<Enumerator> all = c->NewEnum();
  Variant v;
  while (all->Next(v)) items += CStr(v) + " ";
  EXPECT_EQ(items, "vdelta vAlpha vcharlie vBravo keyless ");
}

TEST(Collection, EnumerationIsASnapshot) {
  auto c = Make({"a", "b", "c"});
  Ref<Enumerator> e = c->NewEnum();
  Variant v;
  ASSERT_TRUE(e->Next(v));
  c->Remove(Variant("b"));
  c->Add(Variant("vd"), "d");
  std::string rest;
  while (e->Next(v)) rest += CStr(v) + " ";
  EXPECT_EQ(rest, "vb vc ");
}

TEST(Collection, EnumerationEndsWhenCollectionIsGone) {
  Ref<Enumerator> e;
  {
    auto c = Make({"a", "b"});
    e = c->NewEnum();
  }
  Variant v;
  EXPECT_FALSE(e->Next(v));
}

TEST(Collection, MoveItem) {
  auto c = Make({"a", "b", "c", "d"});
  EXPECT_EQ(c->MoveItem(Variant("a"), Variant(3)), 3);
  EXPECT_EQ(Order(*c), "vb vc va vd ");
  EXPECT_EQ(c->KeyExists("a"), 3);
  EXPECT_EQ(c->MoveItem(Variant(4), Variant("b")), 1);
  EXPECT_EQ(Order(*c), "vd vb vc va ");
  EXPECT_EQ(c->KeyExists("c"), 3);
  EXPECT_EQ(ErrorOf([&] { c->MoveItem(Variant(1), Variant(5)); }), err::kSubscript);
  EXPECT_EQ(ErrorOf([&] { c->MoveItem(Variant("zz"), Variant(1)); }), err::kKeyNotFound);
}

TEST(Collection, MoveItemRefusedDuringForEach) {
  auto c = Make({"a", "b"});
  {
    Ref<Enumerator> e = c->NewEnum();
    EXPECT_EQ(ErrorOf([&] { c->MoveItem(Variant(1), Variant(2)); }), err::kMoveInForEach);
  }
  EXPECT_EQ(c->MoveItem(Variant(1), Variant(2)), 2);
}

TEST(Collection, ChangeKeyUpdatesIndexAndRefusesDuplicates) {
  auto c = Make({"a", "b"}, 1);
  c->ChangeKey("a", "z");
  EXPECT_EQ(c->KeyExists("Z"), 1);
  EXPECT_EQ(c->KeyExists("a"), kNoPosition);
  EXPECT_EQ(ErrorOf([&] { c->ChangeKey("z", "B"); }), err::kDuplicateKey);
  EXPECT_EQ(ErrorOf([&] { c->ChangeKey("nope", "q"); }), err::kKeyNotFound);
  c->ChangeKey("z", "Z");  // a change of letter case only is no duplicate
  EXPECT_EQ(c->Key(1), "Z");
}

TEST(Collection, ClearEmptiesEverything) {
  auto c = Make({"a", "b"});
  c->Clear();
  EXPECT_EQ(c->Count(), 0);
  EXPECT_EQ(c->KeyExists("a"), kNoPosition);
  c->Add(Variant("x"), "a");
  EXPECT_EQ(c->Count(), 1);
}

TEST(Collection, ScriptMembers) {
  auto c = Make({"a"}, 1);
  EXPECT_EQ(CStr(c->GetMember("item", {Variant("A")})), "va");
  c->CallMember("Add", {Variant("vb"), Variant("b")});
  EXPECT_EQ(CLng(c->GetMember("Count")), 2);
  // The default member is Item.
  std::vector<Variant> args{Variant(2)};
  EXPECT_EQ(CStr(c->Invoke(kDispDefault, InvokeKind::Get, args)), "vb");
}

}  // namespace
