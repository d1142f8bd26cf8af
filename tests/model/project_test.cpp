#include <gtest/gtest.h>

#include <fstream>

#include "core/context.h"
#include "core/convert.h"
#include "core/error.h"
#include "support/error_of.h"
#include "model/project.h"
#include "platform/registry_store.h"
#include "support/temp_config.h"

using namespace zantrel;
using test::ErrorOf;

namespace {

class ProjectTest : public ::testing::Test {
 protected:
  test::TempConfig config;
};

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(PropertyBag, KeysIgnoreCaseAndKeepAddOrder) {
  auto bag = MakeRef<ObProperties>();
  bag->Add("ProjName", "String");
  bag->Add("Cache", "Boolean", true, 1, true, true);
  bag->Add("Third", "Long");
  ASSERT_TRUE(bag->Item(Variant("projname")));
  EXPECT_EQ(bag->Item(Variant("PROJNAME"))->Name(), "ProjName");
  EXPECT_FALSE(bag->Item(Variant("missing")));
  EXPECT_FALSE(bag->Item(Variant(4)));
  EXPECT_EQ(ErrorOf([&] { bag->Add("CACHE"); }), err::kDuplicateKey);
  EXPECT_EQ(ErrorOf([&] { bag->Delete(Variant("nope")); }), err::kKeyNotFound);
  EXPECT_EQ(ErrorOf([&] { bag->Item(Variant(true) /* numeric */); }), 0);

  bag->Delete(Variant("Cache"));
  std::string order;
  Ref<Enumerator> e = bag->NewEnum();
  Variant v;
  while (e->Next(v)) order += static_cast<ObProperty*>(v.AsObject())->Name() + " ";
  EXPECT_EQ(order, "ProjName Third ");
}

TEST(PropertyBag, ViewsFollowTheirEntry) {
  auto bag = MakeRef<ObProperties>();
  bag->Add("A");
  bag->Add("B");
  Ref<ObProperty> b = bag->Item(Variant("b"));
  bag->Delete(Variant("A"));  // B moves to position 1
  b->Value(Variant(7));
  EXPECT_EQ(CLng(*bag->FindValue("B")), 7);
  EXPECT_EQ(CLng(bag->Item(Variant(1))->Value()), 7);
  bag->Delete(Variant("B"));
  b->Value(Variant(8));  // a view of a removed entry keeps its own value
  EXPECT_EQ(CLng(b->Value()), 8);
  EXPECT_EQ(bag->Count(), 0);
}

TEST(PropertyBag, BagsOfOneKindDoNotShareStructure) {
  auto tableA = MakeRef<ObPTable>();
  auto tableB = MakeRef<ObPTable>();
  tableA->Properties().Add("Extra", "String");
  EXPECT_EQ(tableA->Properties().Count(), 46);
  EXPECT_EQ(tableB->Properties().Count(), 45);
  tableB->Properties().Item(Variant("TblCaption"))->Name("Renamed");
  EXPECT_TRUE(tableA->Properties().FindValue("TblCaption"));
  EXPECT_FALSE(tableB->Properties().FindValue("TblCaption"));
  tableA->TblCaption("x");
  EXPECT_EQ(tableB->Properties().Find("Renamed"), 11);
}

TEST(PropertyBag, ValueIsStoredAsGivenAndKeyIsName) {
  auto bag = MakeRef<ObProperties>();
  bag->Add("Flag", "Boolean");
  Ref<ObProperty> p = bag->Item(Variant("flag"));
  p->Value(Variant("yes"));
  EXPECT_EQ(CStr(p->Value()), "yes");
  p->Key("Renamed");
  EXPECT_EQ(p->Name(), "Renamed");
}

TEST_F(ProjectTest, SettingsAfterConstructionAndAddProj) {
  auto p = MakeRef<ObPModel>();
  EXPECT_EQ(p->Properties().Count(), 88);
  EXPECT_FALSE(p->ProjInit());
  EXPECT_EQ(p->SecType(), "None");
  EXPECT_TRUE(p->AutoSync());
  EXPECT_EQ(p->PagerStyle(), 2);
  EXPECT_TRUE(p->OtherGen());
  EXPECT_FALSE(p->MultiDelete());
  EXPECT_EQ(p->Properties().MetaAt(0).name, "ProjName");
  EXPECT_EQ(p->Properties().MetaAt(87).name, "LinkOnLeft");
  EXPECT_EQ(p->versionText(), "1.0.0.0");

  p->AddProj("Shop");
  EXPECT_TRUE(p->ProjInit());
  EXPECT_EQ(p->ProjName(), "Shop");
}

TEST_F(ProjectTest, TypedAccessorsConvertAndReadEmptyAsZero) {
  WriteFile(config.machineFile(), "ZANTREL REGISTRY Version 1\n");
  auto p = MakeRef<ObPModel>();
  EXPECT_FALSE(p->SecForgetPwdPage());  // never stored: reads false
  EXPECT_EQ(p->RptIndent(), 0);
  p->OutputNameType("Lower");
  EXPECT_EQ(p->OutputNameType(), "Lower");
  p->sqlquote("Backquote");
  EXPECT_EQ(CStr(p->Properties().Item(Variant("SQLQuote"))->Value()), "Backquote");
  *p->Properties().FindValue("Cache") = Variant("abc");
  EXPECT_EQ(ErrorOf([&] { p->Cache(); }), err::kTypeMismatch);
  *p->Properties().FindValue("RecPerPage") = Variant("40000");
  EXPECT_EQ(ErrorOf([&] { p->RecPerPage(); }), err::kOverflow);
  p->Properties().Delete(Variant("ProjName"));
  EXPECT_EQ(ErrorOf([&] { p->ProjName(); }), err::kObjectNotSet);
}

TEST_F(ProjectTest, DeleteProjEmptiesEverySetting) {
  auto p = MakeRef<ObPModel>();
  p->AddProj("x");
  p->databases().Add("db");
  p->currentDatabaseName("db");
  p->DeleteProj();
  EXPECT_FALSE(p->ProjInit());
  EXPECT_EQ(p->DBCnt(), 0);
  EXPECT_EQ(p->P_CGIPath(), "");
  EXPECT_EQ(p->defaultDateFormat(), 0);
  EXPECT_EQ(p->SecType(), "");
  EXPECT_EQ(p->Properties().Count(), 88);
  EXPECT_EQ(ErrorOf([&] { p->db(); }), err::kObjectNotSet);
}

TEST_F(ProjectTest, BuiltInMachineDefaultsWithoutAMachineFile) {
  auto p = MakeRef<ObPModel>();
  EXPECT_EQ(p->P_CGIPath(), "#!/usr/local/bin/php");
  EXPECT_EQ(p->defaultDateFormat(), 5);
  EXPECT_EQ(p->P_Ext(), "php");
  EXPECT_EQ(p->PagerStyle(), 2);
  EXPECT_FALSE(p->BackupFile);  // copies beside the pages would be served from the web root
  EXPECT_EQ(RegistryStore(config.userFile()).Read(Context().SettingsKey(), "Language")->text, "lang.xml");
  EXPECT_EQ(Context().dateFormat, 5);
}

TEST_F(ProjectTest, ErrorTextIsSharedOnTheThread) {
  auto a = MakeRef<ObPModel>();
  auto b = MakeRef<ObPModel>();
  a->ProjErr("boom");
  EXPECT_EQ(b->ProjErr(), "boom");
  b->ProjErr("");
  EXPECT_EQ(Context().projErr, "");
}

TEST_F(ProjectTest, EmptyStoresResetUserDefaultsAndSeedTheUserFile) {
  WriteFile(config.machineFile(), "ZANTREL REGISTRY Version 1\n");
  auto p = MakeRef<ObPModel>();
  EXPECT_EQ(p->P_CGIPath(), "");
  EXPECT_EQ(p->defaultDateFormat(), 0);
  EXPECT_EQ(p->RecPerPage(), 0);
  EXPECT_FALSE(p->ExportCsv());
  EXPECT_EQ(Context().unloadThreshold, 20);
  RegistryStore user(config.userFile());
  std::string key = Context().SettingsKey();
  for (const char* name : {"Language", "BackupFile", "USERCODE", "ScriptEngineTimeout"})
    EXPECT_TRUE(user.Read(key, name)) << name;
}

TEST_F(ProjectTest, UserValuesApplyButFixedSettingsAreAlwaysReset) {
  RegistryStore user(config.userFile());
  std::string key = Context().SettingsKey();
  user.Write(key, "Language", RegValue::String("lang.xml"));
  user.Write(key, "BodyFont", RegValue::String("Verdana"));
  user.Write(key, "RecPerPage", RegValue::Number(25));
  user.Write(key, "Cache", RegValue::String("True"));
  user.Write(key, "PagerStyle", RegValue::Number(1));
  user.Write(key, "SecType", RegValue::String("Both"));
  user.Write(key, "BackupFile", RegValue::String("True"));
  user.Write(key, "UnloadThresholdCount", RegValue::Number(0));
  user.Write(key, "defaultDateFormat", RegValue::String("7"));

  auto p = MakeRef<ObPModel>();
  EXPECT_EQ(p->BodyFont(), "Verdana");
  EXPECT_EQ(p->RecPerPage(), 25);
  EXPECT_TRUE(p->Cache());
  EXPECT_EQ(p->PagerStyle(), 2);
  EXPECT_EQ(p->SecType(), "None");
  EXPECT_TRUE(p->BackupFile);
  EXPECT_EQ(p->Language, "lang.xml");
  EXPECT_EQ(Context().unloadThreshold, 20);
  EXPECT_EQ(p->defaultDateFormat(), 7);
  EXPECT_EQ(Context().dateFormat, 7);
}

TEST_F(ProjectTest, ValuesOfTheWrongTypeNeverReadAsGarbage) {
  RegistryStore user(config.userFile());
  std::string key = Context().SettingsKey();
  user.Write(key, "Language", RegValue::String("lang.xml"));
  user.Write(key, "Cache", RegValue::String("maybe"));          // not a boolean
  user.Write(key, "RecPerPage", RegValue::String("twenty"));    // text where a number is kept
  user.Write(key, "BodyTopMargin", RegValue::Binary({1, 2}));   // bytes
  user.Write(key, "BackupFile", RegValue::String("sometimes"));
  user.Write(key, "UnloadThresholdCount", RegValue::Number(7));
  auto p = MakeRef<ObPModel>();
  EXPECT_FALSE(p->Cache());
  EXPECT_EQ(p->RecPerPage(), 0);
  EXPECT_EQ(p->BodyTopMargin(), 0);
  EXPECT_FALSE(p->BackupFile);
  EXPECT_EQ(Context().unloadThreshold, 7);
}

TEST_F(ProjectTest, FirstRunCopiesMachineDefaultsToTheUser) {
  RegistryStore machine(config.machineFile(), 0755, 0644);
  std::string key = Context().SettingsKey();
  machine.Write(key, "Language", RegValue::String("english.xml"));
  machine.Write(key, "BodyFont", RegValue::String("Georgia"));
  machine.Write(key, "ScriptEngineTimeout", RegValue::Number(30000));
  auto p = MakeRef<ObPModel>();
  EXPECT_EQ(p->BodyFont(), "Georgia");
  EXPECT_EQ(p->Language, "english.xml");
  EXPECT_EQ(Context().scriptEngineTimeout, 30000);
  RegistryStore user(config.userFile());
  ASSERT_TRUE(user.Read(key, "BodyFont"));
  EXPECT_EQ(user.Read(key, "BodyFont")->text, "Georgia");
  EXPECT_EQ(user.Read(key, "ScriptEngineTimeout")->number, 30000u);

  // Later runs read the user's key only.
  machine.Write(key, "BodyFont", RegValue::String("Changed"));
  EXPECT_EQ(MakeRef<ObPModel>()->BodyFont(), "Georgia");
}

TEST_F(ProjectTest, SaveDefaultWritesBothBagsByRegistryFormat) {
  auto p = MakeRef<ObPModel>();
  p->Language = "lang.xml";
  p->BackupFile = false;
  p->BodyFont("Arial");
  p->RecPerPage(int16_t{15});
  p->ExportXml(true);
  p->databases().Add("shop");
  p->currentDatabaseName("shop");
  p->db()->MaxUploadSize(int32_t{123456});
  p->SaveDefault();
  RegistryStore user(config.userFile());
  std::string key = Context().SettingsKey();
  EXPECT_EQ(user.Read(key, "BodyFont")->text, "Arial");
  EXPECT_EQ(user.Read(key, "RecPerPage")->type, kRegDword);
  EXPECT_EQ(user.Read(key, "RecPerPage")->number, 15u);
  EXPECT_EQ(user.Read(key, "ExportXml")->text, "True");
  EXPECT_EQ(user.Read(key, "MaxUploadSize")->number, 123456u);
  EXPECT_EQ(user.Read(key, "BackupFile")->text, "False");
  EXPECT_FALSE(user.Read(key, "ProjName"));  // not a user default

  auto q = MakeRef<ObPModel>();
  EXPECT_EQ(q->RecPerPage(), 15);
  EXPECT_TRUE(q->ExportXml());
}

}  // namespace
