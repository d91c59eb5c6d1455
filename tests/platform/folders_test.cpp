// Where the art is found and where saved designs go: beside the program or in
// the installed layout, the art folder while the player may write to it, else
// the player's own data folder, made on the first save.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/folders.h"
#include "platform/platform.h"
#include "support/scratch_folder.h"
#include "support/session.h"

namespace fs = std::filesystem;

namespace {
enum class TLayout { Portable, Installed, None };
enum class TSaves { InArt, InXdgDataHome, InLocalShare, Nowhere };

struct TFolderCase {
  const char *name;
  TLayout layout;
  bool artWritable;
  bool xdgDataHome; // XDG_DATA_HOME set, else only HOME
  TSaves saves;
};

class GameFolders : public ::testing::TestWithParam<TFolderCase> {
protected:
  // A read-only folder is emptied and removed with the scratch folder.
  void TearDown() override {
    std::error_code ignored;
    for (const auto &entry : fs::recursive_directory_iterator(folder, ignored))
      if (entry.is_directory(ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  TScratchFolder scratch{"folders"};
  const fs::path &folder = scratch.path;
};

std::string readAll(const fs::path &name) {
  std::ifstream in(name, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string report;

// What the game sees of its folders: the picture's file, the saves folder, a
// save and its load.
void saveAndLoad() {
  report = "art " + ArtFileName(u".\\IronholdArt\\swords.png") + "\n";
  report += "saves " + SavesFolder() + (fs::exists(SavesFolder()) ? " there\n" : " missing\n");
  const int out = OpenForReplacing(u".\\IronholdArt\\saved1.sdx");
  if (out == 0) {
    report += "no save\n";
    return;
  }
  WriteInt(out, 0x31323334);
  Commit(out);
  Close(out);
  const int in = OpenForReading(u".\\IronholdArt\\saved1.sdx");
  report += "loaded " + std::to_string(in == 0 ? -1 : ReadInt(in)) + "\n";
}

// As root, the game runs as nobody, for whom folders without write permission
// are as read-only as for any player; root comes back for the session's report.
bool becomeNobody() {
  return geteuid() != 0 || (setresgid(65534, 65534, 0) == 0 && setresuid(65534, 65534, 0) == 0);
}
void becomeRootAgain() {
  if (getuid() == 65534 && setresuid(0, 0, 0) == 0)
    setresgid(0, 0, 0);
}
} // namespace

TEST_P(GameFolders, FindTheArtAndPutSavesWhereThePlayerMayWrite) {
  const TFolderCase &c = GetParam();
  // Open to nobody, the player of a test run by root.
  fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
  const fs::path program = c.layout == TLayout::Portable ? folder / "game" : folder / "usr/games";
  const fs::path art = c.layout == TLayout::Portable
                           ? program / "IronholdArt"
                           : folder / "usr/share/games/drayvane31/IronholdArt";
  fs::create_directories(program);
  if (c.layout != TLayout::None) {
    fs::create_directories(art);
    std::ofstream(art / "swords.png") << "art";
    fs::permissions(art, c.artWritable ? fs::perms::all
                                       : fs::perms::owner_read | fs::perms::owner_exec |
                                             fs::perms::group_read | fs::perms::group_exec |
                                             fs::perms::others_read | fs::perms::others_exec);
  }
  // The player's home and data folder, both missing their game folder.
  fs::create_directories(folder / "home");
  fs::create_directories(folder / "data");
  fs::permissions(folder / "home", fs::perms::all);
  fs::permissions(folder / "data", fs::perms::all);
  const fs::path xdg = folder / "data/xdg";
  const fs::path expected = c.saves == TSaves::InArt           ? art
                            : c.saves == TSaves::InXdgDataHome ? xdg / "drayvane31"
                            : c.saves == TSaves::InLocalShare
                                ? folder / "home/.local/share/drayvane31"
                                : fs::path();

  TSessionOptions options;
  options.script = "100 end\n";
  options.programFolder = program.string();
  options.beforeStart = [&] {
    setenv("HOME", (folder / "home").c_str(), 1);
    if (c.xdgDataHome)
      setenv("XDG_DATA_HOME", xdg.c_str(), 1);
    else
      unsetenv("XDG_DATA_HOME");
    if (!becomeNobody())
      std::exit(20);
    // Started from elsewhere: a working folder with an art folder of its own.
    fs::create_directories(folder / "home/elsewhere/IronholdArt");
    fs::current_path(folder / "home/elsewhere");
  };
  options.entry = [&] {
    StartPlatform();
    saveAndLoad();
    becomeRootAgain();
  };
  options.atEnd = [] { return report; };
  const TSessionResult run = RunSession(options);
  ASSERT_TRUE(run.exited) << run.standardError;
  ASSERT_NE(run.exitStatus, 20) << "cannot run as nobody";

  if (c.layout == TLayout::None) {
    EXPECT_NE(run.report.find("no save"), std::string::npos) << run.report;
    EXPECT_FALSE(fs::exists(folder / "home/.local")) << "a folder made for no game";
    EXPECT_FALSE(fs::exists(xdg));
    return;
  }
  EXPECT_NE(run.report.find("art " + (art / "swords.png").string() + "\n"), std::string::npos)
      << run.report;
  EXPECT_NE(run.report.find("loaded 825373492\n"), std::string::npos) << run.report;
  EXPECT_EQ(readAll(expected / "saved1.sdx"), "4321");
  EXPECT_TRUE(fs::is_empty(folder / "home/elsewhere/IronholdArt"));
  if (c.saves == TSaves::InArt) {
    EXPECT_NE(run.report.find("saves " + art.string() + " there\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder / "home/.local"));
    EXPECT_FALSE(fs::exists(xdg));
  } else {
    // Made on the first save, not at the start, and for the player alone.
    EXPECT_NE(run.report.find("saves " + expected.string() + " missing\n"), std::string::npos)
        << run.report;
    EXPECT_EQ(fs::status(expected).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_FALSE(fs::exists(art / "saved1.sdx"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, GameFolders,
    ::testing::Values(TFolderCase{"PortableSavesBesideTheProgram", TLayout::Portable, true, true,
                                  TSaves::InArt},
                      TFolderCase{"PortableOnAReadOnlyFolderSavesInTheHome", TLayout::Portable,
                                  false, true, TSaves::InXdgDataHome},
                      TFolderCase{"InstalledSavesInXdgDataHome", TLayout::Installed, false, true,
                                  TSaves::InXdgDataHome},
                      TFolderCase{"InstalledWithoutXdgDataHomeSavesInLocalShare",
                                  TLayout::Installed, false, false, TSaves::InLocalShare},
                      TFolderCase{"InstalledIntoAFolderOfThePlayersSavesBesideTheArt",
                                  TLayout::Installed, true, true, TSaves::InArt},
                      TFolderCase{"NoArtFolderMakesNoFolderInTheHome", TLayout::None, true, true,
                                  TSaves::Nowhere}),
    [](const ::testing::TestParamInfo<TFolderCase> &info) { return info.param.name; });
