// The closed sets of the model as data: table kinds and setting types, and the
// conversion of a setting's text by its type.
#include <gtest/gtest.h>

#include "core/error.h"
#include "model/settings.h"
#include "model/table.h"

using namespace zantrel;

namespace {

TEST(TableKinds, NamesRoundTripAndCompareExactly) {
  for (TableKind kind : {TableKind::Table, TableKind::View, TableKind::CustomView, TableKind::Report})
    EXPECT_EQ(TableKindOf(TableKindName(kind)), kind);
  EXPECT_EQ(TableKindOf("table"), TableKind::Other) << "project files and drivers spell them in capitals";
  EXPECT_EQ(TableKindOf(""), TableKind::Other);
  EXPECT_EQ(TableKindName(TableKind::Other), "");
  EXPECT_TRUE(IsTableOrView(TableKind::View));
  EXPECT_FALSE(IsTableOrView(TableKind::CustomView));

  ObPTable table;
  table.TblType("REPORT");
  EXPECT_EQ(table.Kind(), TableKind::Report);
}

TEST(SettingTypes, ByExactName) {
  EXPECT_EQ(SettingTypeOf("Boolean"), SettingType::Boolean);
  EXPECT_EQ(SettingTypeOf("Long"), SettingType::Long);
  EXPECT_EQ(SettingTypeOf("boolean"), SettingType::String);
  EXPECT_EQ(SettingTypeOf("Date"), SettingType::String);
}

TEST(SettingTypes, TextConvertsByType) {
  EXPECT_EQ(SettingFromText("1", SettingType::Boolean).AsBoolean(), true);
  EXPECT_EQ(SettingFromText("0", SettingType::Boolean).AsBoolean(), false);
  EXPECT_EQ(SettingFromText("True", SettingType::Boolean).AsBoolean(), true);
  Variant small = SettingFromText("-32768", SettingType::Integer);
  EXPECT_EQ(small.type(), VarType::Integer);
  EXPECT_EQ(small.AsInteger(), -32768);
  EXPECT_EQ(SettingFromText("1e3", SettingType::Integer).AsInteger(), 1000) << "text beyond digits converts like CInt";
  Variant wide = SettingFromText("2000000", SettingType::Long);
  EXPECT_EQ(wide.type(), VarType::Long);
  EXPECT_EQ(wide.AsLong(), 2000000);
  EXPECT_EQ(SettingFromText(" 7 ", SettingType::String).AsString(), " 7 ");
  EXPECT_EQ(SettingFromText("x", SettingType::Variant).AsString(), "x");

  EXPECT_THROW(SettingFromText("99999", SettingType::Integer), Error);
  EXPECT_THROW(SettingFromText("maybe", SettingType::Boolean), Error);
  EXPECT_THROW(SettingFromText("", SettingType::Long), Error);
}

}  // namespace
