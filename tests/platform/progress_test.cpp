#include <gtest/gtest.h>

#include "core/context.h"
#include "core/version.h"
#include "platform/progress.h"
#include "platform/status.h"

using namespace zantrel;

namespace {

TEST(Progress, CaptionsAreLengthPrefixed) {
  EXPECT_EQ(LengthPrefixed("abc"), std::string("\x03" "abc"));
  EXPECT_EQ(LengthPrefixed(""), std::string(1, '\0'));
  EXPECT_EQ(static_cast<unsigned char>(LengthPrefixed(std::string(300, 'x'))[0]), 255);
  EXPECT_EQ(StripLengthPrefix(LengthPrefixed("Loading")), "Loading");
}

TEST(Progress, StatusFacadeDrivesTheLibrary) {
  auto recording = std::make_unique<RecordingProgress>();
  RecordingProgress* lib = recording.get();
  lib->cancelAfterPolls = 1;
  InstallProgress(std::move(recording));
  ObPStatus& status = Status();
  status.ShowStatus2(42, "Zantrel - Checking Database ...");
  status.DispStatus("Please wait ...");
  status.SetStatus(ObPStatus::Percent(1, 3));
  EXPECT_EQ(status.StatusIsCancelled(), 0);
  EXPECT_EQ(status.StatusIsCancelled(), 1);
  status.CloseStatus();
  std::vector<std::string> expected = {"ShowProgress2 Zantrel - Checking Database ...", "SetInfo Please wait ...",
                                       "SetProgress 33", "CloseProgress"};
  EXPECT_EQ(lib->calls, expected);
  InstallProgress(std::make_unique<ProgressLibrary>());
}

TEST(Progress, PercentRoundsHalvesToEven) {
  EXPECT_EQ(ObPStatus::Percent(1, 8), 12);   // 12.5
  EXPECT_EQ(ObPStatus::Percent(3, 8), 38);   // 37.5
  EXPECT_EQ(ObPStatus::Percent(2, 3), 67);
  EXPECT_EQ(ObPStatus::Percent(5, 0), 0);
}

TEST(Progress, VersionAndBuiltInCode) {
  ObPStatus& status = Status();
  status.GetVer("libzantrel.so");
  EXPECT_EQ(status.mj1, version::kMajor);
  EXPECT_EQ(status.mn2, version::kBuild);
  std::string code = status.GetSysCode();
  EXPECT_FALSE(code.empty());
  EXPECT_EQ(code.find('\0'), std::string::npos);
}

}  // namespace
