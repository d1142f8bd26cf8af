// RegistryStore on real files: edits keep a hand-written file as its author laid
// it out, keys form a tree, damaged files are never overwritten, and concurrent
// or killed writers leave a whole file with every finished change.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/registry_store.h"
#include "registry_fixture.h"

namespace zantrel {
namespace {

using testing::RegistryFolders;
using Names = std::vector<std::string>;

constexpr const char* kHandWritten =
    "ZANTREL REGISTRY Version 1\n"
    "; Defaults for my projects\n"
    "\n"
    "[Software\\Zantrel\\3.1\\Settings]\n"
    "; the generator's name\n"
    "\"Name\"=\"Mine\"\n"
    "\"Count\"=dword:00000002\n"
    "\n"
    "[Software\\Zantrel\\3.1\\Recent]\n"
    "\"File1\"=\"a.zpr\"\n"
    "; end\n";

TEST_F(RegistryFolders, ChangingAValueRewritesOnlyItsLine) {
  WriteText(UserFile(), kHandWritten);
  RegistryStore store(UserFile());
  EXPECT_TRUE(store.Write("software\\ZANTREL\\3.1\\settings", "COUNT", RegValue::Number(3)));
  std::string expected = kHandWritten;
  expected.replace(expected.find("dword:00000002"), 14, "dword:00000003");
  EXPECT_EQ(ReadText(UserFile()), expected);
  EXPECT_FALSE(store.Write("Software\\Zantrel\\3.1\\Settings", "Count", RegValue::Number(3)));
}

TEST_F(RegistryFolders, NewValuesAndKeysAreAppendedWhereAPersonLooks) {
  WriteText(UserFile(), kHandWritten);
  RegistryStore store(UserFile());
  store.Write("Software\\Zantrel\\3.1\\Settings", "Added", RegValue::String("new"));
  store.Write("Software\\Other", "X", RegValue::Number(1));
  EXPECT_EQ(ReadText(UserFile()),
            "ZANTREL REGISTRY Version 1\n"
            "; Defaults for my projects\n"
            "\n"
            "[Software\\Zantrel\\3.1\\Settings]\n"
            "; the generator's name\n"
            "\"Name\"=\"Mine\"\n"
            "\"Count\"=dword:00000002\n"
            "\"Added\"=\"new\"\n"
            "\n"
            "[Software\\Zantrel\\3.1\\Recent]\n"
            "\"File1\"=\"a.zpr\"\n"
            "\n"
            "[Software\\Other]\n"
            "\"X\"=dword:00000001\n"
            "; end\n");
}

TEST_F(RegistryFolders, DeletingAValueTakesItsCommentAlong) {
  WriteText(UserFile(), kHandWritten);
  RegistryStore store(UserFile());
  EXPECT_TRUE(store.DeleteValue("Software\\Zantrel\\3.1\\Settings", "name"));
  EXPECT_FALSE(store.DeleteValue("Software\\Zantrel\\3.1\\Settings", "name"));
  EXPECT_FALSE(store.DeleteValue("Software\\Missing", "name"));
  const std::string text = ReadText(UserFile());
  EXPECT_EQ(text.find("generator's name"), std::string::npos);
  EXPECT_NE(text.find("\"Count\"=dword:00000002\n"), std::string::npos);
}

TEST_F(RegistryFolders, KeysFormATree) {
  RegistryStore store(UserFile());
  store.Write("Software\\Zantrel\\3.1\\Settings", "A", RegValue::Number(1));
  store.Write("Software\\Zantrel\\3.1\\Recent\\Deep", "B", RegValue::Number(2));
  store.Write("Software\\Zant", "C", RegValue::Number(3));
  store.CreateKey("Software\\Zantrel\\2.0");

  EXPECT_TRUE(store.KeyExists("Software"));  // implied by the keys below it
  EXPECT_TRUE(store.KeyExists("\\software\\zantrel\\3.1\\"));
  EXPECT_TRUE(store.KeyExists(""));
  EXPECT_FALSE(store.KeyExists("Software\\Zantrel\\3"));
  EXPECT_FALSE(store.KeyExists("Software\\\\Zantrel"));
  EXPECT_EQ(store.SubkeyNames("Software"), (Names{"Zantrel", "Zant"}));
  EXPECT_EQ(store.SubkeyNames("SOFTWARE\\zantrel"), (Names{"3.1", "2.0"}));
  EXPECT_EQ(store.SubkeyNames("Software\\Zantrel\\3.1"), (Names{"Settings", "Recent"}));
  EXPECT_EQ(store.SubkeyNames(""), (Names{"Software"}));
  EXPECT_TRUE(store.ValueNames("Software\\Zantrel").empty());

  EXPECT_FALSE(store.CreateKey("Software\\Zantrel\\3.1"));  // exists already
  EXPECT_TRUE(store.DeleteKey("Software\\Zantrel\\3.1"));
  EXPECT_FALSE(store.KeyExists("Software\\Zantrel\\3.1\\Recent\\Deep"));
  EXPECT_TRUE(store.KeyExists("Software\\Zantrel\\2.0"));
  EXPECT_EQ(store.Read("Software\\Zant", "C"), RegValue::Number(3));  // a prefix by text only
  EXPECT_FALSE(store.DeleteKey("Software\\Zantrel\\3.1"));
  EXPECT_FALSE(store.DeleteKey(""));
}

TEST_F(RegistryFolders, PathsThatCannotBeWrittenAreRejected) {
  RegistryStore store(UserFile());
  EXPECT_THROW(store.Write("A\\\\B", "x", RegValue::Number(1)), RegistryError);
  EXPECT_THROW(store.Write("", "x", RegValue::Number(1)), RegistryError);
  EXPECT_THROW(store.CreateKey("A\nB"), RegistryError);
  EXPECT_FALSE(std::filesystem::exists(UserFile()));
}

TEST_F(RegistryFolders, CreatesAPrivateUserFolder) {
  const std::filesystem::path file = root_ / "home" / ".config" / "zantrel" / "user.reg";
  setenv("ZANTREL_CONFIG_DIR", file.parent_path().c_str(), 1);
  RegistryStore::User().Write("K", "V", RegValue::Number(1));
  struct stat st {};
  ASSERT_EQ(stat(file.parent_path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  RegistryStore::Machine().Write("K", "V", RegValue::Number(1));
  ASSERT_EQ(stat(MachineFile().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST_F(RegistryFolders, LinkedFileIsEditedWhereItLives) {
  const std::filesystem::path real = root_ / "dotfiles" / "user.reg";
  WriteText(real, kHandWritten);
  std::filesystem::create_directories(UserFile().parent_path());
  std::filesystem::create_symlink(real, UserFile());
  RegistryStore(UserFile()).Write("Software\\Zantrel\\3.1\\Settings", "Name", RegValue::String("Linked"));
  EXPECT_TRUE(std::filesystem::is_symlink(UserFile()));
  EXPECT_EQ(RegistryStore(real).Read("Software\\Zantrel\\3.1\\Settings", "Name"), RegValue::String("Linked"));
}

// Each damaged file fails the same way for a read and for every kind of write.
TEST_F(RegistryFolders, DamagedFileIsNeverOverwritten) {
  const std::vector<std::pair<std::string, std::string>> damaged = {
      {"[K]\n\"A\"=\"1\"\n\"B\"=\"unterminated\n", ":4: unterminated string"},
      {"[K]\n\"A\"=dword:12x4\n", ":3: bad dword"},
      {"[K\n\"A\"=\"1\"\n", ":2: missing ']'"},
      {"[K]\n\"A\"=\"1\"\nrandom garbage\n", ":4: expected a [key]"},
      {"[K]\n\"A\"=hex:00,0", ":3: bad hex byte"},  // cut short, without a final line break
  };
  RegistryStore store(UserFile());
  for (const auto& [body, reason] : damaged) {
    SCOPED_TRACE(body);
    const std::string text = "ZANTREL REGISTRY Version 1\n" + body;
    WriteText(UserFile(), text);
    const std::string expected = UserFile().string() + reason;
    const auto failsWithReason = [&](auto&& operation) {
      try {
        operation();
        ADD_FAILURE() << "no error";
      } catch (const RegistryError& e) {
        EXPECT_EQ(std::string(e.what()).substr(0, expected.size()), expected);
      }
      EXPECT_EQ(ReadText(UserFile()), text);
    };
    failsWithReason([&] { store.Read("K", "A"); });
    failsWithReason([&] { store.Write("K", "A", RegValue::Number(1)); });
    failsWithReason([&] { store.Write("New", "A", RegValue::Number(1)); });
    failsWithReason([&] { store.CreateKey("New"); });
    failsWithReason([&] { store.DeleteValue("K", "A"); });
    failsWithReason([&] { store.DeleteKey("K"); });
    failsWithReason([&] { store.Update([](RegDocument&) { return true; }); });
  }
}

// Runs body in a child process that waits until the returned pipe end is closed.
pid_t ForkWaiting(int gate[2], const std::function<bool()>& body) {
  const pid_t pid = fork();
  if (pid == 0) {
    close(gate[1]);
    char c;
    while (read(gate[0], &c, 1) > 0) {
    }
    bool ok = false;
    try {
      ok = body();
    } catch (...) {
    }
    _exit(ok ? 0 : 1);
  }
  return pid;
}

TEST_F(RegistryFolders, ConcurrentWritersKeepEachOthersValues) {
  constexpr int kPerWriter = 200;
  int gate[2];
  ASSERT_EQ(pipe(gate), 0);
  std::vector<pid_t> writers;
  for (const char* prefix : {"a", "b"}) {
    writers.push_back(ForkWaiting(gate, [&, prefix] {
      RegistryStore store(UserFile());
      for (int i = 0; i < kPerWriter; ++i)
        store.Write("Software\\Shared", prefix + std::to_string(i), RegValue::Number(static_cast<uint32_t>(i)));
      return true;
    }));
    ASSERT_GT(writers.back(), 0);
  }
  close(gate[0]);
  close(gate[1]);  // both start now
  for (pid_t pid : writers) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const RegDocument doc = RegistryStore(UserFile()).Load();
  Names missing;
  for (int i = 0; i < kPerWriter; ++i)
    for (const std::string& name : {"a" + std::to_string(i), "b" + std::to_string(i)})
      if (!doc.FindValue("Software\\Shared", name)) missing.push_back(name);
  EXPECT_EQ(missing, Names{});
  EXPECT_EQ(doc.ValueNames("Software\\Shared").size(), 2u * kPerWriter);
}

constexpr int kBigCount = 1000;

std::string BigText(const std::string& tag, int i) { return tag + "-" + std::to_string(i) + std::string(100, '.'); }

// Sets every value of a large key (some 130 KB) to BigText(tag, i).
bool WriteGeneration(RegistryStore& store, const std::string& tag) {
  return store.Update([&](RegDocument& doc) {
    for (int i = 0; i < kBigCount; ++i)
      doc.SetValue("Software\\Big", "value" + std::to_string(i), RegValue::String(BigText(tag, i)));
    return true;
  });
}

// The generation every value of the file belongs to, or "" when they disagree.
std::string GenerationOf(const RegistryStore& store) {
  RegDocument doc;
  try {
    doc = store.Load();
  } catch (const RegistryError& e) {
    return e.what();
  }
  std::string tag;
  const std::vector<std::string> names = doc.ValueNames("Software\\Big");
  if (names.size() != kBigCount) return "";
  for (int i = 0; i < kBigCount; ++i) {
    const RegValue* v = doc.FindValue("Software\\Big", "value" + std::to_string(i));
    if (!v) return "";
    const std::string t = v->text.substr(0, v->text.find('-'));
    if (v->text != BigText(t, i) || (!tag.empty() && t != tag)) return "";
    tag = t;
  }
  return tag;
}

TEST_F(RegistryFolders, KilledWriterLeavesTheOldOrTheNewFile) {
  RegistryStore store(UserFile());
  ASSERT_TRUE(WriteGeneration(store, "old"));
  std::mt19937 random(20260105);
  std::uniform_int_distribution<int> delayMicros(0, 20000);
  for (int round = 0; round < 50; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      RegistryStore child(UserFile());
      for (int i = 0; i < 100; ++i) WriteGeneration(child, i % 2 ? "old" : "new");
      _exit(0);
    }
    usleep(static_cast<useconds_t>(delayMicros(random)));
    kill(pid, SIGKILL);
    ASSERT_EQ(waitpid(pid, nullptr, 0), pid);
    const std::string generation = GenerationOf(store);
    EXPECT_TRUE(generation == "old" || generation == "new") << "mixed file: " << generation;
  }
  // The lock died with its holder, and the next writer clears what the killed ones left.
  ASSERT_TRUE(WriteGeneration(store, "last"));
  EXPECT_EQ(GenerationOf(store), "last");
  Names left;
  for (const auto& entry : std::filesystem::directory_iterator(UserFile().parent_path()))
    left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (Names{"user.reg", "user.reg.lock"}));
}

}  // namespace
}  // namespace zantrel
