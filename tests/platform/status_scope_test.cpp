#include <gtest/gtest.h>

#include "platform/progress.h"
#include "platform/status.h"

using namespace zantrel;

namespace {

TEST(StatusScope, ClosesTheWindowOnceWhateverHappensInside) {
  auto recording = std::make_unique<RecordingProgress>();
  RecordingProgress* lib = recording.get();
  InstallProgress(std::move(recording));
  {
    StatusScope window(&ObPStatus::ShowStatus3, 7, "Zantrel - Generating");
    EXPECT_TRUE(Status().shown);
  }
  EXPECT_FALSE(Status().shown);
  try {
    StatusScope window(&ObPStatus::ShowStatus2, 7, "Zantrel - Loading");
    Status().CloseIfShown();  // a stage that closes it early
    throw std::runtime_error("stage failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(Status().shown);
  std::vector<std::string> expected = {"ShowProgress3 Zantrel - Generating", "CloseProgress",
                                       "ShowProgress2 Zantrel - Loading", "CloseProgress"};
  EXPECT_EQ(lib->calls, expected);
  InstallProgress(std::make_unique<ProgressLibrary>());
}

}  // namespace
