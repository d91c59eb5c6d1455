// The five slot files: the byte layout, loads that refuse damaged files,
// saves that never lose the old design, and the ten keys in the running game.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <sys/stat.h>

#include "game/saved_designs.h"
#include "game/state.h"
#include "platform/platform.h"
#include "support/case_name.h"
#include "support/design_session.h"
#include "support/game_report.h"
#include "support/scratch_folder.h"
#include "support/session.h"

#include "slot_files.h"

namespace {
using drayvane_test::PrintTo;
} // namespace

TEST_F(SlotFiles, ASaveOfEmptyShipsIsZerosThenTheTrailer) {
  saveDesign(1);
  const TBytes bytes = readFile(art / "saved1.sdx");
  ASSERT_EQ(bytes.size(), kFileBytes);
  EXPECT_EQ(std::count(bytes.begin(), bytes.begin() + 2400000, 0), 2400000);
  EXPECT_EQ(intAt(bytes, 2400000), 0);
  EXPECT_EQ(intAt(bytes, 2400004), 12);
  EXPECT_EQ(intAt(bytes, 2400008), 10);
}

namespace {
struct TOffsetCase {
  const char *name;
  int c, r, k, g;
};
class SlotFileOffsets : public SlotFiles, public ::testing::WithParamInterface<TOffsetCase> {};
} // namespace

TEST_P(SlotFileOffsets, PutEachElementWhereTheLayoutSays) {
  const TOffsetCase &p = GetParam();
  gridNumber(p.g)[p.c][p.r][p.k] = 0x5A5A5A;
  saveDesign(2);
  const TBytes bytes = readFile(art / "saved2.sdx");
  ASSERT_EQ(bytes.size(), kFileBytes);
  std::vector<std::size_t> nonZero;
  for (std::size_t at = 0; at < 2400000; at += 4)
    if (intAt(bytes, at) != 0)
      nonZero.push_back(at);
  EXPECT_EQ(nonZero, std::vector<std::size_t>{offsetOf(p.c, p.r, p.k, p.g)});
  EXPECT_EQ(intAt(bytes, offsetOf(p.c, p.r, p.k, p.g)), 0x5A5A5A);
}

INSTANTIATE_TEST_SUITE_P(
    Elements, SlotFileOffsets,
    ::testing::Values(TOffsetCase{"First", 0, 0, 0, 0},
                      TOffsetCase{"LastGridOfTheFirstSlot", 0, 0, 0, 5},
                      TOffsetCase{"ItemSlot", 0, 0, 1, 1}, TOffsetCase{"NextRow", 0, 1, 0, 0},
                      TOffsetCase{"NextColumn", 1, 0, 0, 0}, TOffsetCase{"Inside", 37, 12, 2, 3},
                      TOffsetCase{"Last", 99, 99, 9, 5}),
    [](const ::testing::TestParamInfo<TOffsetCase> &info) { return info.param.name; });

TEST_F(SlotFiles, AHandMadeFileLoadsExactlyAndSavesBackTheSameBytes) {
  markTheGrids();
  const TBytes file = handMadeFile(1, 39, 24);
  writeFile(art / "saved3.sdx", file);
  topUnder[4][4][kConditionSlot] = 37; // a damaged item, overwritten by the file
  carryLayer = 2;
  carriedItem = 17;
  repeatPlace = 1;
  messageState = 2;
  gridLinesHidden = 1;
  battleView = 1;
  credits = 50000;

  loadDesign(3);

  std::size_t wrong = 0;
  for (int g = 0; g < 6; ++g)
    for (int c = 0; c < 100; ++c)
      for (int r = 0; r < 100; ++r)
        for (int k = 0; k < 100; ++k) {
          const bool marked = c % 9 == 0 && r % 11 == 0 && k % 3 == 0;
          const std::int32_t expected = k < 10   ? patternValue(c, r, k, g)
                                        : marked ? 5000 + g * 100 + k
                                                 : 0;
          wrong += gridNumber(g)[c][r][k] != expected;
        }
  EXPECT_EQ(wrong, 0u) << "slots 0 to 9 from the file, 10 to 99 as they were";
  EXPECT_EQ(shownShip, 1);
  EXPECT_EQ(gridColumns, 39);
  EXPECT_EQ(gridRows, 24);
  EXPECT_EQ(credits, 5000);
  EXPECT_EQ(carryLayer, 2);
  EXPECT_EQ(carriedItem, 17);
  EXPECT_EQ(repeatPlace, 1);
  EXPECT_EQ(messageState, 2);
  EXPECT_EQ(gridLinesHidden, 1);
  EXPECT_EQ(battleView, 1);

  saveDesign(4);
  EXPECT_TRUE(readFile(art / "saved4.sdx") == file) << "a save writes back the same bytes";
}

TEST_F(SlotFiles, AConditionOf37AndTheEnemyOnTopComeBack) {
  topUnder[3][4][kItemSlot] = 12;
  topUnder[3][4][kConditionSlot] = 37;
  topEquip[3][4][0] = -4;
  topEquip[3][4][9] = 99;
  miniUnder[1][1][kItemSlot] = 55; // the enemy's ship
  exchangeShips();                 // the enemy on top: shownShip 1
  saveDesign(5);
  clearAllGrids();
  shownShip = 0;
  loadDesign(5);
  EXPECT_EQ(shownShip, 1);
  EXPECT_EQ(topUnder[1][1][kItemSlot], 55) << "the enemy's ship is on top";
  EXPECT_EQ(miniUnder[3][4][kItemSlot], 12);
  EXPECT_EQ(miniUnder[3][4][kConditionSlot], 37);
  EXPECT_EQ(miniEquip[3][4][0], -4);
  EXPECT_EQ(miniEquip[3][4][9], 99);
  EXPECT_EQ(swapUnder[3][4][kConditionSlot], 37) << "the swap pair is stored as well";
}

namespace {
struct TFileCase {
  const char *name;
  std::size_t size;
  std::int32_t ship, columns, rows;
  bool accepted;
};
class LoadedFiles : public SlotFiles, public ::testing::WithParamInterface<TFileCase> {};
} // namespace

TEST_P(LoadedFiles, AreTakenWholeOrRefusedLikeAMissingFile) {
  const TFileCase &c = GetParam();
  writeFile(art / "saved1.sdx", handMadeFile(c.ship, c.columns, c.rows, c.size));
  markTheGrids();
  const std::uint64_t before = stateFingerprint();
  credits = 200;
  loadDesign(1);
  EXPECT_EQ(credits, 5000);
  if (!c.accepted) {
    EXPECT_EQ(stateFingerprint(), before) << "a refused file changes nothing";
    return;
  }
  EXPECT_EQ(topUnder[98][97][kItemSlot], patternValue(98, 97, kItemSlot, 1));
  EXPECT_EQ(swapUnder[0][0][0], patternValue(0, 0, 0, 5));
  EXPECT_EQ(topEquip[0][0][12], 5012) << "slots from 10 on are not in the file";
  EXPECT_EQ(shownShip, c.ship);
  EXPECT_EQ(gridColumns, c.columns);
  EXPECT_EQ(gridRows, c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadedFiles,
    ::testing::Values(TFileCase{"Empty", 0, 0, 12, 10, false},
                      TFileCase{"ThreeBytes", 3, 0, 12, 10, false},
                      TFileCase{"OneByteShort", kFileBytes - 1, 0, 12, 10, false},
                      TFileCase{"ShownShip2", kFileBytes, 2, 12, 10, false},
                      TFileCase{"ShownShipNegative", kFileBytes, -1, 12, 10, false},
                      TFileCase{"Columns40", kFileBytes, 0, 40, 10, false},
                      TFileCase{"ColumnsNegative", kFileBytes, 0, -1, 10, false},
                      TFileCase{"ColumnsHuge", kFileBytes, 0, 2147483647, 10, false},
                      TFileCase{"Rows25", kFileBytes, 0, 12, 25, false},
                      TFileCase{"RowsNegative", kFileBytes, 0, 12, -2147483647 - 1, false},
                      TFileCase{"LargestValues", kFileBytes, 1, 39, 24, true},
                      TFileCase{"NoCells", kFileBytes, 0, 0, 0, true},
                      TFileCase{"LongerFile", kFileBytes + 999, 0, 30, 20, true}),
    [](const ::testing::TestParamInfo<TFileCase> &info) { return info.param.name; });

TEST_F(SlotFiles, AMissingFileOnlySetsTheCredits) {
  markTheGrids();
  const std::uint64_t before = stateFingerprint();
  for (std::int32_t held : {200, 50000}) {
    credits = held;
    loadDesign(2);
    EXPECT_EQ(credits, 5000) << "from " << held;
    EXPECT_EQ(stateFingerprint(), before);
  }
}

namespace {
struct TFailedSaveCase {
  const char *name;
  void (*arrange)(const fs::path &art);
  bool oldFile; // a previous design lies in the slot
};
class FailedSaves : public SlotFiles, public ::testing::WithParamInterface<TFailedSaveCase> {};
} // namespace

TEST_P(FailedSaves, LeaveTheSlotAsItWasAndTheGameGoesOn) {
  const TFailedSaveCase &c = GetParam();
  const TBytes old = handMadeFile(0, 25, 11);
  if (c.oldFile)
    writeFile(art / "saved1.sdx", old);
  c.arrange(art);
  markTheGrids();
  const std::uint64_t before = stateFingerprint();
  saveDesign(1); // returns: nothing ends the game
  EXPECT_EQ(stateFingerprint(), before);
  InjectStreamFault(TStreamFault::None);
  if (!fs::exists(art))
    return;
  chmod(art.string().c_str(), 0755);
  EXPECT_EQ(FolderListing(art),
            c.oldFile ? std::vector<std::string>{"saved1.sdx"} : std::vector<std::string>{})
      << "no temporary file stays behind";
  if (c.oldFile) {
    EXPECT_TRUE(readFile(art / "saved1.sdx") == old) << "the old design, byte for byte";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailedSaves,
    ::testing::Values(
        TFailedSaveCase{"DiskFull",
                        [](const fs::path &) { InjectStreamFault(TStreamFault::Write); }, true},
        TFailedSaveCase{"DiskFlushFails",
                        [](const fs::path &) { InjectStreamFault(TStreamFault::Sync); }, true},
        TFailedSaveCase{"RenameFails",
                        [](const fs::path &) { InjectStreamFault(TStreamFault::Rename); }, true},
        TFailedSaveCase{"ReadOnlySlot",
                        [](const fs::path &art) { chmod((art / "saved1.sdx").string().c_str(), 0444); },
                        true},
        TFailedSaveCase{"MissingArtFolder", [](const fs::path &art) { fs::remove_all(art); },
                        false}),
    [](const ::testing::TestParamInfo<TFailedSaveCase> &info) { return info.param.name; });

// The keys in the running game, through the real start-up and set-up.
namespace {

class SlotKeys : public SlotFiles {
protected:
  TSessionResult run(const std::string &events, TSessionOptions options = {}) {
    options.script = kSetup12x10Script + events;
    options.programFolder = folder.string();
    return RunSession(options);
  }
};
} // namespace

TEST_F(SlotKeys, EachKeySavesOrLoadsItsOwnSlot) {
  // Q, W, E, R and T save with 11 to 15 rows; then 3, 1, 5, 2 and 4 load them
  // back, with the rows set to 20 before each.
  TSessionOptions options;
  static std::vector<std::int32_t> rowsAfter;
  options.onPresent = [](std::int64_t index) {
    rowsAfter.push_back(gridRows);
    if (index >= kFirstDesignFrame && index < kFirstDesignFrame + 5)
      gridRows = static_cast<std::int32_t>(11 + index - kFirstDesignFrame);
    else
      gridRows = 20;
  };
  options.atEnd = [] {
    std::ostringstream out;
    for (std::size_t i = kFirstDesignFrame + 6; i < rowsAfter.size(); ++i)
      out << rowsAfter[i] << " ";
    return out.str();
  };
  std::ostringstream events;
  const char *keys[] = {"Q", "W", "E", "R", "T", "3", "1", "5", "2", "4"};
  for (int i = 0; i < 10; ++i)
    events << kFirstDesignFrame + 1 + i << " tap " << keys[i] << "\n";
  events << kFirstDesignFrame + 12 << " end\n";
  TSessionResult result = run(events.str(), options);
  ASSERT_EQ(result.exitStatus, 3) << result.standardError;
  for (int slot = 1; slot <= 5; ++slot) {
    const TBytes bytes = readFile(art / ("saved" + std::to_string(slot) + ".sdx"));
    ASSERT_EQ(bytes.size(), kFileBytes) << "slot " << slot;
    EXPECT_EQ(intAt(bytes, 2400008), 10 + slot) << "slot " << slot;
  }
  EXPECT_EQ(result.report, "13 11 15 12 14 20 ");
}

TEST_F(SlotKeys, APlayedDesignSavesTheSameBytesOnEverySystem) {
  // Items from both palettes into both ships, then Q. The file's bytes are
  // those the Linux build wrote when this test was made, on every system.
  const TSessionResult result = run("12 click 80 750\n20 click 262 12\n28 click 42 42\n"
                                    "36 click 28 750\n44 click 70 10\n52 click 67 67\n"
                                    "60 click 130 750\n68 click 80 750\n76 click 112 12\n"
                                    "84 click 17 17\n92 click 130 750\n100 tap Q\n106 end\n");
  ASSERT_EQ(result.exitStatus, 3) << result.standardError;
  const TBytes bytes = readFile(art / "saved1.sdx");
  ASSERT_EQ(bytes.size(), kFileBytes);
  int nonZero = 0;
  for (std::size_t at = 0; at < kFileBytes; at += 4)
    nonZero += intAt(bytes, at) != 0;
  EXPECT_EQ(nonZero, 7) << "what the clicks put into the grids, and the grid size";
  std::uint64_t hash = 14695981039346656037ull; // FNV-1a 64 of the whole file
  for (unsigned char b : bytes)
    hash = (hash ^ b) * 1099511628211ull;
  EXPECT_EQ(hash, 0x5749ba26e6f095d7ull);
}

TEST_F(SlotKeys, QThenOneInOneFrameSavesBeforeLoading) {
  // Slot 1 holds another design, which a load before the save would bring in.
  writeFile(art / "saved1.sdx", handMadeFile(1, 30, 20));
  TSessionOptions options;
  options.onPresent = [](std::int64_t index) {
    if (index == kFirstDesignFrame) {
      topUnder[2][3][kItemSlot] = 41;
      topUnder[2][3][kConditionSlot] = 100;
      credits = 200;
    }
  };
  options.atEnd = [] {
    return GameStateReport() + "item=" + std::to_string(topUnder[2][3][kItemSlot]) + "\n";
  };
  TSessionResult result = run(std::to_string(kFirstDesignFrame + 2) + " tap Q\n" +
                                  std::to_string(kFirstDesignFrame + 2) + " tap 1\n" +
                                  std::to_string(kFirstDesignFrame + 4) + " end\n",
                              options);
  ASSERT_EQ(result.exitStatus, 3) << result.standardError;
  TReport state(result.report);
  EXPECT_EQ(state["item"], 41);
  EXPECT_EQ(state["gridColumns"], 12);
  EXPECT_EQ(state["shownShip"], 0);
  EXPECT_EQ(state["credits"], 5000);
  EXPECT_EQ(state["nonZeroGridElements"], 2);
}

TEST_F(SlotKeys, ALoadBringsAnotherGridSizeWithoutASetUp) {
  writeFile(art / "saved2.sdx", handMadeFile(1, 30, 20));
  TSessionOptions options;
  options.onPresent = [](std::int64_t index) {
    if (index == kFirstDesignFrame)
      messageState = 3;
  };
  options.atEnd = GameStateReport;
  TSessionResult result = run(std::to_string(kFirstDesignFrame + 2) + " tap 2\n" +
                                  std::to_string(kFirstDesignFrame + 4) + " end\n",
                              options);
  ASSERT_EQ(result.exitStatus, 3) << result.standardError;
  TReport state(result.report);
  EXPECT_EQ(state["gridColumns"], 30);
  EXPECT_EQ(state["gridRows"], 20);
  EXPECT_EQ(state["shownShip"], 1);
  EXPECT_EQ(state["messageState"], 3) << "a set-up would have reset the message";
  EXPECT_GT(state["nonZeroGridElements"], 0);
}

TEST_F(SlotKeys, ALetterPressedOnASetUpPromptSavesTheEmptiedShips) {
  // A design, then "next": Q is pressed while the prompts ask for 25 x 11.
  TSessionOptions options;
  options.onPresent = [](std::int64_t index) {
    if (index == kFirstDesignFrame)
      topUnder[1][1][kItemSlot] = 9;
  };
  std::ostringstream events;
  events << kFirstDesignFrame + 2 << " click 240 750\n"
         << kFirstDesignFrame + 4 << " tap 2\n"
         << kFirstDesignFrame + 5 << " tap Q\n"
         << kFirstDesignFrame + 6 << " tap 5\n"
         << kFirstDesignFrame + 8 << " tap 1\n"
         << kFirstDesignFrame + 10 << " tap 1\n"
         << kFirstDesignFrame + 12 << " end\n";
  TSessionResult result = run(events.str(), options);
  ASSERT_EQ(result.exitStatus, 3) << result.standardError;
  const TBytes bytes = readFile(art / "saved1.sdx");
  ASSERT_EQ(bytes.size(), kFileBytes);
  EXPECT_EQ(std::count(bytes.begin(), bytes.begin() + 2400000, 0), 2400000);
  EXPECT_EQ(intAt(bytes, 2400004), 25);
  EXPECT_EQ(intAt(bytes, 2400008), 11);
}

namespace {} // namespace

TEST_F(SlotKeys, ADesignSavedWithTheEnemyOnTopLoadsWithTheLabelsSayingSo) {
  writeFile(art / "saved1.sdx", handMadeFile(1, 12, 10));
  TSessionOptions options;
  options.keepFrames = {kFirstDesignFrame + 1, kFirstDesignFrame + 2};
  options.atEnd = GameStateReport;
  TSessionResult result = run(std::to_string(kFirstDesignFrame + 2) + " tap 1\n" +
                                  std::to_string(kFirstDesignFrame + 3) + " end\n",
                              options);
  ASSERT_EQ(result.exitStatus, 3) << result.standardError;
  EXPECT_EQ(TReport(result.report)["shownShip"], 1);
  const std::vector<std::uint32_t> enemyOnTop = DrawnAlone([] {
    DrawString(u"YOUR Mini Display", 405, 744);
    DrawString(u"ENEMY! SYSTEMS DISPLAY AT TOP!", 660, 631);
  });
  // The main grid's label, and the mini display's label right of the buttons.
  for (const auto &frame : {kFirstDesignFrame + 1, kFirstDesignFrame + 2}) {
    const auto &drawn = result.frames.at(frame);
    const bool loaded = frame == kFirstDesignFrame + 2;
    EXPECT_EQ(FirstDifferenceIn(drawn, enemyOnTop, 660, 631, 1024, 647).empty(), loaded)
        << "frame " << frame;
    EXPECT_EQ(FirstDifferenceIn(drawn, enemyOnTop, 330, 744, 600, 760).empty(), loaded)
        << "frame " << frame;
  }
}
