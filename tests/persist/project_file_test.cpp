#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/context.h"
#include "core/convert.h"
#include "core/error.h"
#include "persist/project_file.h"
#include "project/project.h"
#include "platform/progress.h"
#include "platform/registry_store.h"
#include "support/temp_config.h"

using namespace zantrel;
namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteText(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

class ProjectFileTest : public ::testing::Test {
 protected:
  ProjectFileTest() {
    RegistryStore(config.userFile()).Write(Context().SettingsKey(), "XMLEncodeCharSet", RegValue::String("utf-8"));
    RegistryStore(config.userFile()).Write(Context().SettingsKey(), "Language", RegValue::String("lang.xml"));
    folder = config.user() / "projects";
    fs::create_directories(folder);
  }
  std::string Path(const char* name) const { return (folder / name).string(); }

  // A project with a database, two tables (added out of sequence order) and
  // fields that use every data type, escaping, several lines and non-ASCII text.
  Ref<ObP> Sample() {
    auto p = MakeRef<ObP>();
    p->AddProj("Shop & \"Co\" <it's>");
    p->BodyFont("Gill Sans");
    p->RecPerPage(int16_t{25});
    p->SmtpServerPort(int32_t{2525});
    p->SmtpServer("mail.example.com");
    p->ExportCsv(true);
    p->P_Ext("php");  // an empty P_Ext or P_DefaultPage would load as the default page names
    p->P_DefaultPage("index.php");
    p->databases().Add("shop");
    p->currentDatabaseName("shop");
    Ref<ObPDatabase> db = p->db();
    db->DBType("sqlite");
    *db->Properties().FindValue("DBDBMSName") = Variant("MySQL");
    ObPTables& tables = db->tables();
    Ref<ObPTable> orders = tables.Add("orders");
    Ref<ObPTable> empty = tables.Add("empty");
    orders->TblKey("id,line");
    orders->TblCaption("Bestellungen \xC3\xBC\xE2\x82\xAC \xE4\xB8\xAD");
    orders->TblGen(true);
    orders->TblSeq(2);
    empty->TblSeq(1);
    Ref<ObPField> id = orders->Fields().Add("id");
    id->FldType(int16_t{3});
    id->FldIsPrimaryKey(true);  // as TblKey says, which loading recomputes
    id->FldSize(int32_t{11});
    id->FldMin(Variant(int32_t{1}));
    id->FldDefault(Variant("0"));
    Ref<ObPField> status = orders->Fields().Add("status");
    status->FldType(int16_t{200});
    status->FldTagValues("\"new\",\"New\"\r\n\"paid\",\"Paid | done\"");
    status->FldCaption("Tab\tand 'quote' & <tag>");
    status->FldValidate("line one\r\nline two");
    status->FldQuoteS("'");
    status->FldQuoteE("'");
    Ref<ObPField> line = orders->Fields().Add("line");
    line->FldType(int16_t{135});
    line->FldIsPrimaryKey(true);
    line->FldQuoteS("'");
    line->FldQuoteE("'");
    return p;
  }

  test::TempConfig config;
  fs::path folder;
};

TEST_F(ProjectFileTest, SaveLoadSaveIsByteIdentical) {
  std::string first = Path("a.zpr"), second = Path("b.zpr");
  Sample()->Save(first);
  auto loaded = MakeRef<ObP>();
  loaded->Load(first);
  ASSERT_EQ(ObP::ProjErr(), "");
  loaded->Save(second);
  EXPECT_EQ(ReadText(first), ReadText(second));

  EXPECT_EQ(loaded->ProjName(), "Shop & \"Co\" <it's>");
  EXPECT_EQ(loaded->RecPerPage(), 25);
  EXPECT_TRUE(loaded->ExportCsv());
  ObPTable* orders = loaded->db()->tables().Find("orders");
  ASSERT_TRUE(orders);
  EXPECT_EQ(orders->TblSeq(), 2);
  EXPECT_EQ(orders->TblCaption(), "Bestellungen \xC3\xBC\xE2\x82\xAC \xE4\xB8\xAD");
  ObPField* status = orders->Fields().Find("status");
  EXPECT_EQ(status->FldTagValues(), "\"new\",\"New\"\r\n\"paid\",\"Paid \r\n done\"");  // "|" is the line separator
  EXPECT_EQ(status->FldCaption(), "Tab\tand 'quote' & <tag>");
  EXPECT_EQ(status->FldValidate(), "line one\r\nline two");
  EXPECT_EQ(orders->Fields().Find("id")->FldMin().type(), VarType::String);  // variants come back as text
}

TEST_F(ProjectFileTest, WriterFormat) {
  std::string file = Path("f.zpr");
  Sample()->Save(file);
  std::string text = ReadText(file);
  EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\r\n<Project Version=\"", 0), 0u);
  EXPECT_NE(text.find("ProjName=\"Shop &amp; &quot;Co&quot; &lt;it's&gt;\" "), std::string::npos);
  EXPECT_NE(text.find("FldTagValues=\"&quot;new&quot;,&quot;New&quot;|&quot;paid&quot;"), std::string::npos);
  EXPECT_NE(text.find("ExportCsv=\"1\" "), std::string::npos);
  EXPECT_EQ(text.find("\"True\""), std::string::npos);
  // Tables in TblSeq order; a table without fields closes at once.
  EXPECT_LT(text.find("TblName=\"empty\""), text.find("TblName=\"orders\""));
  EXPECT_NE(text.find("TblLinkOnLeft=\"0\" >\r\n</Table>\r\n<Table TblSeq=\"2\""), std::string::npos);
  EXPECT_NE(text.find("FldRptAggMax=\"0\" />\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 25), "</Database>\r\n</Project>\r\n");
}

TEST_F(ProjectFileTest, ProjectWithoutDatabaseIsThreeLines) {
  std::string file = Path("nodb.zpr");
  auto p = MakeRef<ObP>();
  p->AddProj("x");
  p->Save(file);
  std::string text = ReadText(file);
  int lines = 0;
  for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
  EXPECT_EQ(lines, 3);
  auto q = MakeRef<ObP>();
  q->Load(file);
  EXPECT_EQ(ObP::ProjErr(), "Zantrel: No Database Information in Project File!");
  EXPECT_EQ(q->ProjName(), "x");
}

TEST_F(ProjectFileTest, GoldenFile) {
  std::string golden = ReadText(fs::path(ZANTREL_TEST_DATA) / "golden_project.zpr");
  ASSERT_FALSE(golden.empty());
  std::string file = Path("golden.zpr");
  WriteText(file, golden);
  auto p = MakeRef<ObP>();
  p->Load(file);
  ASSERT_EQ(ObP::ProjErr(), "");
  p->Save(Path("again.zpr"));
  EXPECT_EQ(ReadText(Path("again.zpr")), golden);
}

TEST_F(ProjectFileTest, FailuresReportTheirText) {
  const std::string failed = "Zantrel: Load Project File failed! Please check! Reason: ";
  struct Row {
    std::string content;
    std::string error;
  } rows[] = {
      {"this is not xml", failed + "No document element found at line 1, column 15."},
      {"<?xml version=\"1.0\"?>\r\n<Project Version=\"1.0.0.0\" ProjName=\"x\">\r\n<Database DBName=\"d\"",
       failed + "Error parsing element attribute at line 3, column 19."},
      {"<Other Version=\"1.0.0.0\"/>", "Zantrel: Invalid Project File!"},
      {"<Project ProjName=\"x\"/>", "Zantrel: Load Project File failed! Please check!"},
      {"<Project Version=\"1.0.0.0\" ProjName=\"x\"/>", "Zantrel: No Database Information in Project File!"},
      {"", failed + "No document element found at line 1, column 1."},
      // What a lenient parser would take quietly.
      {std::string("<Project Version=\"1.0.0.0\"\n ProjName=\"a\0b\"/>", 44), failed + "NUL character at line 2, column 13."},
      {"<Project Version=\"1.0.0.0\" ProjName=\"a&#0;b\"/>", failed + "NUL character at line 1, column 39."},
      {"<Project Version=\"1.0.0.0\" ProjName=\"a&#x00;\"/>", failed + "NUL character at line 1, column 39."},
      {"<Project Version=\"1.0.0.0\">\n<Database DBName=\"d\" DBName=\"e\"/></Project>",
       failed + "attribute DBName given twice in <Database> at line 2, column 2."},
      {"<Project Version=\"1.0.0.0\"/>\n\n  <Project Version=\"1.0.0.0\"/>",
       failed + "second root element <Project> at line 3, column 4."},
  };
  for (const Row& r : rows) {
    std::string file = Path("bad.zpr");
    WriteText(file, r.content);
    auto p = MakeRef<ObP>();
    p->Load(file);
    EXPECT_EQ(ObP::ProjErr(), r.error) << r.content;
  }
  auto p = MakeRef<ObP>();
  p->Load(Path("missing.zpr"));
  EXPECT_EQ(ObP::ProjErr(), failed + "No such file or directory.");
  // Neither waits: a FIFO is refused before anything is read from it.
  ASSERT_EQ(mkfifo(Path("fifo.zpr").c_str(), 0600), 0);
  p->Load(Path("fifo.zpr"));
  EXPECT_EQ(ObP::ProjErr(), failed + "not a regular file.");
  p->Load(folder.string());
  EXPECT_EQ(ObP::ProjErr(), failed + "not a regular file.");
}

TEST_F(ProjectFileTest, FailuresCarryTheirPlace) {
  std::string file = Path("truncated.zpr");
  Sample()->Save(file);
  std::string text = ReadText(file);
  WriteText(file, text.substr(0, text.size() / 2));
  try {
    LoadProject(*MakeRef<ObP>(), file);
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), err::kProjectFileUnreadable);
    EXPECT_EQ(e.file(), file);
    EXPECT_GT(e.line(), 1);
    EXPECT_GT(e.column(), 0);
    EXPECT_NE(e.description().find("at line " + std::to_string(e.line())), std::string::npos) << e.description();
  }
}

// What this version does not know would be lost by saving it.
TEST_F(ProjectFileTest, NewerFilesAreReadOnly) {
  std::string file = Path("newer.zpr");
  std::string text = "<Project Version=\"99.1.0.0\" ProjName=\"new\" FutureSetting=\"x\"><Database DBName=\"d\"/>"
                     "<Future/></Project>";
  WriteText(file, text);
  auto p = MakeRef<ObP>();
  p->Load(file);
  EXPECT_EQ(ObP::ProjErr(), "");
  EXPECT_EQ(p->ProjName(), "new");
  try {
    p->Save(file);
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), err::kProjectReadOnly);
    EXPECT_EQ(e.description(), "Zantrel: The project file was written by version 99.1.0.0 and is read-only for version " +
                                   p->versionText() + ", which would lose what it does not know.");
  }
  EXPECT_EQ(ReadText(file), text);
}

TEST_F(ProjectFileTest, FailuresCarryTheirNumbers) {
  struct Row {
    const char* content;
    int32_t number;
  } rows[] = {
      {"this is not xml", err::kProjectFileUnreadable},
      {"<Project ProjName=\"x\"/>", err::kProjectFileUnreadable},
      {"<Other Version=\"1.0.0.0\"/>", err::kInvalidProjectFile},
      {"<Project Version=\"1.0.0.0\" ProjName=\"x\"/>", err::kNoDatabaseInformation},
  };
  for (const Row& r : rows) {
    std::string file = Path("bad.zpr");
    WriteText(file, r.content);
    auto p = MakeRef<ObP>();
    try {
      LoadProject(*p, file);
      ADD_FAILURE() << r.content;
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), r.number) << r.content;
    }
    // Without a database the settings are read all the same.
    if (r.number == err::kNoDatabaseInformation) {
      EXPECT_EQ(p->ProjName(), "x");
    }
  }
}

TEST_F(ProjectFileTest, AttributeReadingRules) {
  std::string file = Path("attrs.zpr");
  WriteText(file,
            "<Project Version=\"1.0.0.9\" SmtpServer=\"\" P_Ext=\"\" Cache=\"abc\" projname=\"ignored\" "
            "RecPerPage=\"99999\" BodyFont=\"Arial\">"
            "<Database DBName=\"d\" DBDBMSName=\"ACCESS\">"
            "<Table TblName=\"t\" TblKey=\"a, b,c\">"
            "<Field FldName=\"a\" FldType=\"135\"/><Field FldName=\"b\"/><Field FldName=\"c\" FldType=\"3\" "
            "FldQuoteS=\"x\"/><Field FldName=\" b\"/>"
            "</Table></Database></Project>");
  auto p = MakeRef<ObP>();
  p->P_DefaultPage("kept.php");
  p->Load(file);
  ASSERT_EQ(ObP::ProjErr(), "");
  EXPECT_EQ(p->SmtpServer(), "localhost");
  EXPECT_EQ(p->SmtpServerPort(), 25);
  EXPECT_EQ(p->P_Ext(), "php");
  EXPECT_FALSE(p->Cache());
  EXPECT_TRUE(p->Properties().FindValue("Cache")->IsEmpty());
  EXPECT_EQ(p->ProjName(), "");
  EXPECT_TRUE(p->Properties().FindValue("RecPerPage")->IsEmpty());  // does not fit 16 bits
  ObPFields& fields = p->db()->tables().Find("t")->Fields();
  EXPECT_TRUE(fields.Find("a")->FldIsPrimaryKey());
  EXPECT_FALSE(fields.Find("b")->FldIsPrimaryKey());
  EXPECT_TRUE(fields.Find("c")->FldIsPrimaryKey());
  EXPECT_TRUE(fields.Find(" b")->FldIsPrimaryKey());
  EXPECT_EQ(fields.Find("a")->FldQuoteS(), "#");
  EXPECT_EQ(fields.Find("c")->FldQuoteS(), "");
}

TEST_F(ProjectFileTest, OlderFilesAreConvertedWithoutTouchingThem) {
  std::string file = Path("old.zpr");
  std::string text = "<Project Version=\"0.9.5.0\" ProjName=\"old\"><Database DBName=\"d\"/></Project>";
  WriteText(file, text);
  auto p = MakeRef<ObP>();
  p->Load(file);
  EXPECT_EQ(ObP::ProjErr(), "");
  EXPECT_EQ(p->ProjName(), "old");
  EXPECT_EQ(ReadText(file), text);
  for (const auto& entry : fs::directory_iterator(fs::temp_directory_path()))
    EXPECT_EQ(entry.path().filename().string().rfind("zantrel-convert-", 0), std::string::npos);
}

TEST_F(ProjectFileTest, ProgressCaptions) {
  std::string file = Path("progress.zpr");
  Sample()->Save(file);
  auto recording = std::make_unique<RecordingProgress>();
  RecordingProgress* calls = recording.get();
  InstallProgress(std::move(recording));
  MakeRef<ObP>()->Load(file);
  std::vector<std::string> expected = {"ShowProgress Loading Project File...",
                                       "SetInfo Loading TABLE/VIEW \"empty\" ...", "SetProgress 50",
                                       "SetInfo Loading TABLE/VIEW \"orders\" ...", "SetProgress 100",
                                       "CloseProgress"};
  EXPECT_EQ(calls->calls, expected);
  InstallProgress(std::make_unique<ProgressLibrary>());
}

TEST_F(ProjectFileTest, FailedSaveLeavesTheOldFile) {
  fs::path locked = folder / "locked";
  fs::create_directories(locked);
  std::string file = (locked / "p.zpr").string();
  Sample()->Save(file);
  std::string before = ReadText(file);
  chmod(locked.c_str(), 0555);
  fs::path ownConfig = folder / "child-config";  // the child's own user defaults, writable by it
  fs::create_directories(ownConfig);
  chmod(ownConfig.c_str(), 0777);
  // A child that is not root, so that the folder's permissions apply.
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
    setenv("ZANTREL_CONFIG_DIR", ownConfig.c_str(), 1);
    auto p = MakeRef<ObP>();
    p->AddProj("changed");
    try {
      p->Save(file);
    } catch (const Error& e) {
      _exit(e.description().find(file) != std::string::npos ? 0 : 2);
    }
    _exit(1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  chmod(locked.c_str(), 0755);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the save did not raise";
  EXPECT_EQ(ReadText(file), before);
  for (const auto& entry : fs::directory_iterator(locked)) EXPECT_EQ(entry.path().filename(), "p.zpr");
}

TEST_F(ProjectFileTest, SaveIntoAMissingFolderRaises) {
  auto p = MakeRef<ObP>();
  EXPECT_THROW(p->Save((folder / "no" / "such" / "p.zpr").string()), Error);
}

TEST_F(ProjectFileTest, OtherCharsetsKeepEveryCharacter) {
  RegistryStore(config.userFile()).Write(Context().SettingsKey(), "XMLEncodeCharSet", RegValue::String("iso-8859-2"));
  std::string file = Path("latin2.zpr");
  Sample()->Save(file);
  std::string raw = ReadText(file);
  EXPECT_NE(raw.find("encoding=\"iso-8859-2\""), std::string::npos);
  EXPECT_NE(raw.find("\xFC"), std::string::npos);       // u-umlaut is a Latin-2 byte
  EXPECT_NE(raw.find("&#8364;"), std::string::npos);    // the euro sign is not in Latin-2
  auto p = MakeRef<ObP>();
  p->Load(file);
  ASSERT_EQ(ObP::ProjErr(), "");
  EXPECT_EQ(p->db()->tables().Find("orders")->TblCaption(), "Bestellungen \xC3\xBC\xE2\x82\xAC \xE4\xB8\xAD");
}

}  // namespace
