// Start-up: the art folder, damaged pictures, and the first screen.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "support/game_report.h"
#include "support/session.h"

namespace fs = std::filesystem;

namespace {
const char *const kPictures[] = {"bakboard.png", "bacdrop.png", "equip.png",   "underequip.png",
                                 "mov.png",      "shoot.png",   "fight.png",   "rally.png",
                                 "end.png",      "next.png",    "swords2.png", "swords.png",
                                 "splat.png"};

// A program folder of its own, removed again at the end of the test.
class ProgramFolder : public ::testing::Test {
protected:
  void SetUp() override {
    folder =
        fs::temp_directory_path() /
        ("drayvane-startup-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  void copyArt() {
    fs::copy(fs::path(DRAYVANE_ART_DIR), folder / "IronholdArt", fs::copy_options::recursive);
  }
  TSessionResult run(const std::string &script) {
    TSessionOptions options;
    options.script = script;
    options.programFolder = folder.string();
    options.atEnd = GameStateReport;
    return RunSession(options);
  }
  fs::path folder;
};

const std::string kToDesignScreenAndOut = "4 tap 1\n6 tap 2\n8 tap 1\n10 tap 0\n13 tap Escape\n";
} // namespace

TEST_F(ProgramFolder, WithTheArtInPlaceTheFirstPromptShowsAtOnceAndNothingIsReported) {
  copyArt();
  TSessionResult result = run(kToDesignScreenAndOut);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.standardError, "");
  ASSERT_GE(result.presents.size(), 3u);
  EXPECT_EQ(result.presents[2].frame, 2) << "the first prompt is the first frame after opening";
}

TEST_F(ProgramFolder, AMissingArtFolderNamesEveryPictureAndTheGameStillRuns) {
  TSessionResult result = run(kToDesignScreenAndOut);
  ASSERT_TRUE(result.exited) << "signal " << result.signal;
  EXPECT_EQ(result.exitStatus, 0);
  for (const char *picture : kPictures)
    EXPECT_NE(result.standardError.find(std::string("IronholdArt/") + picture + "\n"),
              std::string::npos)
        << picture;
  EXPECT_EQ(TReport(result.report)["gridColumns"], 12);
}

TEST_F(ProgramFolder, ATruncatedPictureIsNamedAloneAndTheRestStillLoad) {
  copyArt();
  const fs::path sheet = folder / "IronholdArt" / "underequip.png";
  fs::resize_file(sheet, fs::file_size(sheet) / 2);
  TSessionResult result = run(kToDesignScreenAndOut);
  ASSERT_TRUE(result.exited) << "signal " << result.signal;
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_NE(result.standardError.find("IronholdArt/underequip.png"), std::string::npos);
  EXPECT_EQ(std::count(result.standardError.begin(), result.standardError.end(), '\n'), 1)
      << result.standardError;
}

TEST_F(ProgramFolder, TheGameFindsItsArtFromItsOwnFolderWhateverTheWorkingFolder) {
  copyArt();
  TSessionOptions options;
  options.script = kToDesignScreenAndOut;
  options.programFolder = folder.string();
  options.beforeStart = [] { fs::current_path("/"); };
  TSessionResult result = RunSession(options);
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(result.standardError, "");
}
