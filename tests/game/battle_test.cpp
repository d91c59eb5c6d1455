// The battle, played through the real start-up by scripted input: the price,
// running away, the two halves and their shots, shields, the end test, the
// payout and the repeatability of it all.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/state.h"
#include "platform/backends/headless/headless_backend.h"
#include "platform/platform.h"
#include "support/case_name.h"
#include "support/design_session.h"
#include "support/game_report.h"
#include "support/session.h"
#include "support/test_system.h"

namespace fs = std::filesystem;

namespace {
using drayvane_test::PrintTo;
constexpr int kClickFrame = kFirstDesignFrame + 10;
constexpr int kEndX = 298, kEndY = 750; // on the end button

struct TCell {
  int column, row;
  int under, underCondition;
  int equip = 0, equipCondition = 0;
};
using TShip = std::vector<TCell>;

TCell bare(int column, int row, int under, int condition = 100) {
  return {column, row, under, condition};
}
// No equip item, but a condition in the equip layer: the structure beneath
// can never be hit.
TCell shielded(int column, int row, int under) {
  return {column, row, under, 100, 0, 100};
}

struct TBattle {
  int columns = 12, rows = 10;
  TShip player, enemy;
  int credits = 5000;
  bool enemyOnTop = false;                 // the exchange button before the battle
  int enterPresses = 0;                    // on the design screen, before the end click
  bool runAway = false;                    // Space, as the end button is released
  std::optional<std::int32_t> randomState; // set as the frame before the click is presented
};

// What the game showed and held at one present from the end click on.
struct TPresent {
  long long frame = 0, messageState = 0, battleView = 0, shownShip = 0, credits = 0;
  long long randomState = 0, points = 0, firepower = 0, shots = 0;
  unsigned long long texts = 0; // hash of the text area below the grids
  long long topEquipItem = 0, topEquipCondition = 0, topUnderItem = 0, topUnderCondition = 0;
  long long miniUnderItem = 0;
};

struct TCellState {
  long long under = 0, underCondition = 0, equip = 0, equipCondition = 0;
  bool operator==(const TCellState &) const = default;
};

struct TBattleRun {
  TSessionResult session;
  TReport state{""};
  std::vector<TPresent> all;    // every present from the click on
  std::vector<TPresent> battle; // the battle's own presents
  TPresent after;               // the present of the frame the battle ran in
  std::vector<TCellState> player, enemy;
  bool stateWasSet = false;
};

// The text area of the battle screens, left of the mini display.
unsigned long long textAreaHash(const std::vector<std::uint32_t> &frame) {
  std::vector<std::uint32_t> area;
  for (int y = 625; y < 736; ++y)
    for (int x = 0; x < 450; ++x)
      area.push_back(frame.at(static_cast<std::size_t>(y) * 1024 + x));
  return FrameHash(area.data(), area.size());
}

// The text area as the platform alone draws the texts on a cleared screen.
unsigned long long textsAlone(std::function<void()> draw) {
  TSessionOptions options;
  options.script = "100 end\n";
  options.entry = [draw] {
    StartPlatform();
    OpenDisplay(1024, 768, 32, 60, 0);
    Cls();
    draw();
    Flip(-1);
  };
  return textAreaHash(RunSession(options).frames.at(-1));
}

struct TFigures {
  int points, damage, firepower, shots, cargo;
};

unsigned long long turnTexts(bool playersTurn, TFigures f) {
  return textsAlone([=] {
    DrawString(u"Firepower = " + DecimalText(f.firepower) + u"  Shots=Firepower/10 =" +
                   DecimalText(f.shots),
               5, 647);
    DrawString(u"Points Value = " + DecimalText(f.points) + u"  Total Damage = " +
                   DecimalText(f.damage),
               5, 631);
    if (playersTurn) {
      DrawString(u"ABOVE INFO ARE FOR YOUR SHIP NOT THE SHIP SHOWN ", 5, 678);
      DrawString(u"  Cargo on Ship = " + DecimalText(f.cargo), 5, 663);
    } else {
      DrawString(u"  Cargo on Ship = " + DecimalText(f.cargo), 5, 663);
      DrawString(u"ABOVE INFO ARE FOR ENEMY SHIP NOT THE SHIP SHOWN ", 5, 680);
    }
    DrawString(u"Press Enter To Flip between ShipS", 5, 699);
    DrawString(playersTurn ? u"ENEMY SHIP NOW SHOWING" : u"YOUR SHIP NOW SHOWING", 5, 715);
  });
}

// --- the random numbers a battle gets -------------------------------------

struct TShot {
  int column, row, damage;
};

// The state as the battle starts, when the state was set in the frame before
// the click: that frame's throw-away draw sees the pointer on the end button.
std::int32_t battleStart(std::int32_t state) {
  randomState = state;
  RandomInt(kEndX, kEndY);
  return randomState;
}

std::vector<TShot> shotsFrom(std::int32_t state, int count, int columns, int rows) {
  randomState = battleStart(state);
  std::vector<TShot> shots;
  for (int i = 0; i < count; ++i) {
    TShot s;
    s.column = RandomInt(0, columns - 1);
    s.row = RandomInt(0, rows - 1);
    s.damage = RandomInt(0, 70);
    shots.push_back(s);
  }
  return shots;
}

// The first state whose battle begins with the wanted shots.
std::int32_t stateFor(int count, int columns, int rows,
                      const std::function<bool(const std::vector<TShot> &)> &wanted) {
  for (std::int32_t s = 1; s < 10000000; ++s)
    if (wanted(shotsFrom(s, count, columns, rows)))
      return s;
  ADD_FAILURE() << "no state gives the wanted shots";
  return 1;
}

// How many draws lead from one state to another; -1 when none up to the limit.
long long drawsBetween(std::int32_t from, long long to, long long limit = 1000000) {
  randomState = from;
  for (long long n = 0; n <= limit; ++n) {
    if (randomState == to)
      return n;
    RandomInt(0, 0);
  }
  return -1;
}

// --- one battle in a session ------------------------------------------------

// Lives in the session's child: the battle being played and what it logged.
TBattle childBattle;
bool childStopsAtResult = true;
bool childStateSet = false;
std::string childLog;

void putCell(game::ShipGrid under, game::ShipGrid equipGrid, const TCell &cell) {
  under[cell.column][cell.row][game::kItemSlot] = cell.under;
  under[cell.column][cell.row][game::kConditionSlot] = cell.underCondition;
  equipGrid[cell.column][cell.row][game::kItemSlot] = cell.equip;
  equipGrid[cell.column][cell.row][game::kConditionSlot] = cell.equipCondition;
}

std::string cellLine(const char *ship, game::ShipGrid under, game::ShipGrid equipGrid,
                     const TCell &cell) {
  std::ostringstream out;
  out << "cell " << ship << ' ' << under[cell.column][cell.row][game::kItemSlot] << ' '
      << under[cell.column][cell.row][game::kConditionSlot] << ' '
      << equipGrid[cell.column][cell.row][game::kItemSlot] << ' '
      << equipGrid[cell.column][cell.row][game::kConditionSlot] << '\n';
  return out.str();
}

// Every element of all six grids, hashed, for comparing whole runs.
unsigned long long gridsHash() {
  unsigned long long h = 14695981039346656037ull;
  for (game::ShipGrid grid : {game::topEquip, game::topUnder, game::miniEquip, game::miniUnder,
                              game::swapEquip, game::swapUnder}) {
    const std::int32_t *p = &grid[0][0][0];
    for (int i = 0; i < 1000000; ++i) {
      h ^= static_cast<std::uint32_t>(p[i]);
      h *= 1099511628211ull;
    }
  }
  return h;
}

void onPresent(std::int64_t index) {
  using namespace game;
  const TBattle &b = childBattle;
  THeadlessBackend &backend = Headless();
  const std::int64_t frame = backend.presents().back().frame;
  if (index == kFirstDesignFrame) {
    gridColumns = b.columns;
    gridRows = b.rows;
    credits = b.credits;
    carryLayer = 2;
    carriedItem = 37;
    // The player's ship is on top at first, the enemy's in the mini display.
    for (const TCell &cell : b.player)
      putCell(topUnder, topEquip, cell);
    for (const TCell &cell : b.enemy)
      putCell(miniUnder, miniEquip, cell);
  }
  if (frame == kClickFrame - 1 && b.randomState) {
    randomState = *b.randomState;
    childStateSet = true;
  }
  if (frame < kClickFrame)
    return;
  std::ostringstream line;
  line << "present " << frame << ' ' << messageState << ' ' << battleView << ' ' << shownShip << ' '
       << credits << ' ' << randomState << ' ' << topPointsValue << ' ' << topFirepower << ' '
       << topShots << ' ' << textAreaHash(backend.lastPresentedFrame()) << ' '
       << topEquip[0][0][kItemSlot] << ' ' << topEquip[0][0][kConditionSlot] << ' '
       << topUnder[0][0][kItemSlot] << ' ' << topUnder[0][0][kConditionSlot] << ' '
       << miniUnder[0][0][kItemSlot] << '\n';
  childLog += line.str();
  if (childStopsAtResult && messageState != 0)
    std::exit(kOutOfInputStatus);
}

std::string atEnd() {
  using namespace game;
  std::ostringstream out;
  // The report reads signed values.
  out << GameStateReport() << childLog << "gridsHash=" << (gridsHash() >> 2) << '\n';
  if (childStateSet)
    out << "stateSet\n";
  ShipGrid playerUnder = shownShip == 0 ? topUnder : miniUnder;
  ShipGrid playerEquip = shownShip == 0 ? topEquip : miniEquip;
  ShipGrid enemyUnder = shownShip == 0 ? miniUnder : topUnder;
  ShipGrid enemyEquip = shownShip == 0 ? miniEquip : topEquip;
  for (const TCell &cell : childBattle.player)
    out << cellLine("player", playerUnder, playerEquip, cell);
  for (const TCell &cell : childBattle.enemy)
    out << cellLine("enemy", enemyUnder, enemyEquip, cell);
  return out.str();
}

// The set-up, the presses and clicks before the end click, the end click,
// then whatever comes later.
std::string battleScript(const TBattle &b, const std::string &later) {
  std::ostringstream s;
  s << kSetup12x10Script << kFirstDesignFrame << " move " << kEndX << ' ' << kEndY << '\n';
  if (b.enemyOnTop)
    s << kFirstDesignFrame + 1 << " click 130 750\n";
  for (int i = 0; i < b.enterPresses; ++i)
    s << kFirstDesignFrame + 4 + i << " tap Enter\n";
  s << kClickFrame - 1 << " move " << kEndX << ' ' << kEndY << '\n'
    << kClickFrame << " click " << kEndX << ' ' << kEndY << '\n';
  // The design frame would take a Space press made before the click.
  if (b.runAway)
    s << kClickFrame + 1 << " tap Space\n";
  s << later;
  return s.str();
}

// Plays a battle from start-up. The run ends at the present of the design
// frame in which the battle ran, unless later events are given; then it ends
// at endFrame.
TBattleRun playBattle(const TBattle &battle, const std::string &later = "",
                      int endFrame = kClickFrame + 20000, std::string programFolder = "") {
  childBattle = battle;
  childStopsAtResult = later.empty();
  TSessionOptions options;
  options.script = battleScript(battle, later) + std::to_string(endFrame) + " end\n";
  options.onPresent = onPresent;
  options.atEnd = atEnd;
  // A battle that never ends fails the test rather than hanging it.
  options.beforeStart = [] { EndSessionAfter(30); };
  options.programFolder = std::move(programFolder);

  TBattleRun run;
  run.session = RunSession(options);
  run.state = TReport(run.session.report);
  std::istringstream in(run.session.report);
  bool over = false;
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    std::string kind;
    words >> kind;
    if (kind == "present") {
      TPresent p;
      words >> p.frame >> p.messageState >> p.battleView >> p.shownShip >> p.credits >>
          p.randomState >> p.points >> p.firepower >> p.shots >> p.texts >> p.topEquipItem >>
          p.topEquipCondition >> p.topUnderItem >> p.topUnderCondition >> p.miniUnderItem;
      run.all.push_back(p);
      if (over)
        continue;
      if (p.messageState != 0) {
        run.after = p;
        over = true;
      } else {
        run.battle.push_back(p);
      }
    } else if (kind == "cell") {
      std::string ship;
      TCellState c;
      words >> ship >> c.under >> c.underCondition >> c.equip >> c.equipCondition;
      (ship == "player" ? run.player : run.enemy).push_back(c);
    } else if (kind == "stateSet") {
      run.stateWasSet = true;
    }
  }
  if (battle.randomState && !run.stateWasSet)
    ADD_FAILURE() << "the random state was never set";
  return run;
}

TCellState stateOf(const TCell &c) {
  return {c.under, c.underCondition, c.equip, c.equipCondition};
}

// A design priced 300 on a 3 x 2 grid: cargo 25 and 99, weapons 96 and 72,
// armour 8. Firepower 168: one shot a turn.
TShip pricedDesign(bool unbeatable) {
  TShip ship = {bare(0, 0, 25), bare(1, 0, 99), bare(2, 0, 96), bare(0, 1, 72), bare(1, 1, 8)};
  if (unbeatable)
    for (TCell &c : ship)
      c = shielded(c.column, c.row, c.under);
  return ship;
}
// One bare armour item: no weapons, one shot a turn.
const TShip kWeakEnemy = {bare(2, 1, 1)};
// Weapons in every cell, none of them can be hit: five shots a turn.
const TShip kStrongEnemy = {shielded(0, 0, 96), shielded(1, 0, 96), shielded(2, 0, 96),
                            shielded(0, 1, 96), shielded(1, 1, 96), shielded(2, 1, 96)};
constexpr std::int32_t kSomeState = 123456;

struct TMoneyCase {
  const char *name;
  int credits;
  bool playerWins; // else the enemy does
  bool runAway;
  int expectedCredits;
  int expectedMessage;
  bool battleRan; // else nothing of the ships changed
};

class BattleMoney : public ::testing::TestWithParam<TMoneyCase> {};
} // namespace

TEST_P(BattleMoney, SettlesTheCredits) {
  const TMoneyCase &c = GetParam();
  TBattle b;
  b.columns = 3;
  b.rows = 2;
  b.credits = c.credits;
  b.player = pricedDesign(c.playerWins);
  b.enemy = c.playerWins ? kWeakEnemy : kStrongEnemy;
  b.runAway = c.runAway;
  b.randomState = kSomeState;
  TBattleRun run = playBattle(b);
  ASSERT_EQ(run.session.exitStatus, 3) << run.session.standardError;
  EXPECT_EQ(run.after.messageState, c.expectedMessage);
  EXPECT_EQ(run.after.credits, c.expectedCredits);
  EXPECT_EQ(run.state["shownShip"], 0);
  EXPECT_EQ(run.state["splatTimer"], 9) << "the battle starts the click marker; one frame drew it";

  const long long draws = drawsBetween(battleStart(kSomeState), run.after.randomState);
  if (c.battleRan) {
    EXPECT_EQ(run.state["creditsAtStart"], c.credits);
    EXPECT_EQ(run.state["carryLayer"], 0) << "the carried item is dropped at the first shot";
    EXPECT_EQ(run.state["carriedItem"], 0);
    EXPECT_GT(draws, 0);
    EXPECT_EQ(draws % 3, 0) << "three draws a shot";
  } else {
    EXPECT_EQ(run.state["carryLayer"], 2);
    EXPECT_EQ(run.state["carriedItem"], 37);
    EXPECT_EQ(draws, 0) << "no shot was fired";
    EXPECT_TRUE(run.battle.empty()) << "no battle frame was shown";
    for (std::size_t i = 0; i < b.player.size(); ++i)
      EXPECT_EQ(run.player.at(i), stateOf(b.player[i])) << "player cell " << i;
    for (std::size_t i = 0; i < b.enemy.size(); ++i)
      EXPECT_EQ(run.enemy.at(i), stateOf(b.enemy[i])) << "enemy cell " << i;
  }
  if (c.expectedMessage == 2) {
    EXPECT_EQ(run.player.at(0).under, 25) << "the cargo is still aboard";
    EXPECT_EQ(run.player.at(1).under, 99);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, BattleMoney,
    ::testing::Values(
        // 5000 - 300 + cargo 25 + 99 + the 5000 held at the start.
        TMoneyCase{"WonPaysTheCargoAndTheStartCredits", 5000, true, false, 9824, 2, true},
        TMoneyCase{"LostKeepsThePrice", 5000, false, false, 4700, 3, true},
        TMoneyCase{"RanAwayCosts1000NotThePrice", 5000, false, true, 4000, 4, false},
        TMoneyCase{"ExactlyThePriceIsEnough", 300, false, false, 0, 3, true},
        TMoneyCase{"OneCreditShortStartsNothing", 299, true, false, 299, 1, false},
        TMoneyCase{"RunningAwayWithLittleGoesNegative", 500, true, true, -500, 4, false},
        // 2,000,000,000 twice over does not fit 32 bits: it stops at the top
        // rather than turning into a debt.
        TMoneyCase{"WinningPastTheLargestSumStopsThere", 2000000000, true, false, 2147483647, 2,
                   true}),
    [](const ::testing::TestParamInfo<TMoneyCase> &info) { return info.param.name; });

TEST(Battle, AfterRunningAwayIntoDebtNoBattleStartsUntilALoad) {
  // A folder of its own, so that the load finds no slot file.
  const fs::path folder = fs::temp_directory_path() / "drayvane-battle-debt";
  fs::remove_all(folder);
  fs::create_directories(folder);
  fs::copy(fs::path(DRAYVANE_ART_DIR), folder / "IronholdArt", fs::copy_options::recursive);

  TBattle b;
  b.columns = 3;
  b.rows = 2;
  b.credits = 500;
  b.player = pricedDesign(true);
  b.enemy = kWeakEnemy;
  b.runAway = true;
  std::ostringstream later;
  later << kClickFrame + 5 << " click " << kEndX << ' ' << kEndY << '\n'
        << kClickFrame + 10 << " tap 5\n"
        << kClickFrame + 15 << " click " << kEndX << ' ' << kEndY << '\n';
  TBattleRun run = playBattle(b, later.str(), kClickFrame + 400, folder.string());
  fs::remove_all(folder);
  ASSERT_EQ(run.session.exitStatus, 3) << run.session.standardError;

  // The message and credits each design frame showed, in order, without repeats.
  std::vector<std::pair<long long, long long>> shown;
  for (const TPresent &p : run.all)
    if (p.messageState != 0 &&
        (shown.empty() || shown.back() != std::pair{p.messageState, p.credits}))
      shown.emplace_back(p.messageState, p.credits);
  const std::vector<std::pair<long long, long long>> expected = {
      {4, -500}, // ran away
      {1, -500}, // no price fits negative credits, not even the empty ship's
      {1, 5000}, // the load gave fresh credits
      {2, 9824}, // and the next click started a battle, won
  };
  EXPECT_EQ(shown, expected);
}

namespace {
struct TEnterCase {
  const char *name;
  int presses;
  int battleView;
};
class TwoEmptyShips : public ::testing::TestWithParam<TEnterCase> {};
} // namespace

// Each half fires one shot that hits nothing, and the main grid is empty at
// the end test: lost, at no price. Enter presses made on the design screen
// act at the first shot, as one toggle however many.
TEST_P(TwoEmptyShips, OneShotEachHalfLostAndEnterChoosesTheHalfShown) {
  const TEnterCase &c = GetParam();
  TBattle b;
  b.enterPresses = c.presses;
  b.randomState = kSomeState;
  TBattleRun run = playBattle(b);
  ASSERT_EQ(run.session.exitStatus, 3) << run.session.standardError;
  EXPECT_EQ(run.after.messageState, 3);
  EXPECT_EQ(run.after.credits, 5000);
  EXPECT_EQ(run.state["battleView"], c.battleView);
  EXPECT_EQ(drawsBetween(battleStart(kSomeState), run.after.randomState), 6);
  // The half shown presents its one shot; the other is drawn unseen.
  ASSERT_EQ(run.battle.size(), 1u);
  EXPECT_EQ(run.battle[0].texts, turnTexts(c.battleView == 0, {0, 0, 0, 0, 0}));
  EXPECT_EQ(drawsBetween(battleStart(kSomeState), run.battle[0].randomState),
            c.battleView == 0 ? 3 : 6);
}

INSTANTIATE_TEST_SUITE_P(EnterPresses, TwoEmptyShips,
                         ::testing::Values(TEnterCase{"NoEnterShowsThePlayersTurn", 0, 0},
                                           TEnterCase{"OneEnterShowsTheEnemysTurn", 1, 1},
                                           TEnterCase{"TwoEntersToggleOnce", 2, 1}),
                         [](const ::testing::TestParamInfo<TEnterCase> &info) {
                           return info.param.name;
                         });

namespace {
struct TShieldCase {
  const char *name;
  TCell target; // the enemy's one cell, at (0, 0)
  int damage;   // of the player's first shot
  TCellState afterShot;
};
class Shields : public ::testing::TestWithParam<TShieldCase> {};
} // namespace

// On a 1 x 1 grid every shot lands on (0, 0); the player's first shot is
// looked at as it is presented, before any drawing pass cleans the cell.
TEST_P(Shields, TheEquipLayerTakesTheHitFirst) {
  const TShieldCase &c = GetParam();
  TBattle b;
  b.columns = 1;
  b.rows = 1;
  b.player = {shielded(0, 0, 96)};
  b.enemy = {c.target};
  b.randomState =
      stateFor(1, 1, 1, [&](const std::vector<TShot> &s) { return s[0].damage == c.damage; });
  // Some of these ships cannot lose: only the first shot matters.
  TBattleRun run = playBattle(b, "", kClickFrame + 3);
  ASSERT_EQ(run.session.exitStatus, 3) << run.session.standardError;
  ASSERT_FALSE(run.battle.empty());
  const TPresent &shot = run.battle[0];
  ASSERT_EQ(drawsBetween(battleStart(*b.randomState), shot.randomState), 3);
  EXPECT_EQ(shot.shownShip, 1) << "the enemy ship is the target";
  const TCellState seen{shot.topUnderItem, shot.topUnderCondition, shot.topEquipItem,
                        shot.topEquipCondition};
  EXPECT_EQ(seen.under, c.afterShot.under);
  EXPECT_EQ(seen.underCondition, c.afterShot.underCondition);
  EXPECT_EQ(seen.equip, c.afterShot.equip);
  EXPECT_EQ(seen.equipCondition, c.afterShot.equipCondition);
}

INSTANTIATE_TEST_SUITE_P(
    Hits, Shields,
    ::testing::Values(
        // An equip item brought to exactly 0 stays until the next drawing
        // pass, and the structure beneath takes the same hit.
        TShieldCase{"ShieldAt30HitFor30PassesTheHit", {0, 0, 50, 100, 5, 30}, 30, {50, 70, 5, 0}},
        TShieldCase{"ShieldHitFor0Holds", {0, 0, 50, 100, 5, 30}, 0, {50, 100, 5, 30}},
        TShieldCase{
            "ShieldDrivenBelow0IsGoneAndPassesTheHit", {0, 0, 50, 100, 5, 20}, 30, {50, 70, 0, 0}},
        TShieldCase{"ShieldThatHoldsTakesItAll", {0, 0, 50, 100, 5, 100}, 70, {50, 100, 5, 30}},
        TShieldCase{
            "ConditionWithoutEquipItemShields", {0, 0, 50, 100, 0, 40}, 70, {50, 100, 0, 40}},
        TShieldCase{"NoShieldTakesTheHit", {0, 0, 50, 100}, 70, {50, 30, 0, 0}},
        TShieldCase{"StructureAtExactly0StaysForTheDrawingPass", {0, 0, 50, 30}, 30, {50, 0, 0, 0}},
        TShieldCase{"StructureDrivenBelow0IsGone", {0, 0, 50, 30}, 31, {0, 0, 0, 0}}),
    [](const ::testing::TestParamInfo<TShieldCase> &info) { return info.param.name; });

namespace {
struct TLastItemCase {
  const char *name;
  int playerCondition; // minus the enemy's hit
  int expectedMessage;
  int expectedCredits;
  TCellState player;
};
class EnemyLosesItsLastItem : public ::testing::TestWithParam<TLastItemCase> {};
} // namespace

// The player's first shot destroys the enemy's only item; the enemy, without
// weapons, still fires its one shot before the end test.
TEST_P(EnemyLosesItsLastItem, TheEnemyStillFiresItsOneShot) {
  const TLastItemCase &c = GetParam();
  TBattle b;
  b.columns = 1;
  b.rows = 1;
  b.enemy = {bare(0, 0, 1, 1)};
  b.randomState = stateFor(
      2, 1, 1, [](const std::vector<TShot> &s) { return s[0].damage >= 2 && s[1].damage == 40; });
  b.player = {bare(0, 0, 96, 40 + c.playerCondition)};
  TBattleRun run = playBattle(b);
  ASSERT_EQ(run.session.exitStatus, 3) << run.session.standardError;
  EXPECT_EQ(drawsBetween(battleStart(*b.randomState), run.after.randomState), 6);
  EXPECT_EQ(run.after.messageState, c.expectedMessage);
  EXPECT_EQ(run.after.credits, c.expectedCredits);
  EXPECT_EQ(run.player.at(0), c.player);
  EXPECT_EQ(run.enemy.at(0), (TCellState{0, 0, 0, 0}));
}

INSTANTIATE_TEST_SUITE_P(EnemyHits, EnemyLosesItsLastItem,
                         ::testing::Values(
                             // 5000 - 96 + 5000: no cargo aboard.
                             TLastItemCase{"TheShipSurvivesTheHit", 60, 2, 9904, {96, 60, 0, 0}},
                             // A condition of exactly 0 still counts at the end test.
                             TLastItemCase{"TheShipAtExactly0StillWins", 0, 2, 9904, {96, 0, 0, 0}},
                             TLastItemCase{"TheShipDestroyedLoses", -1, 3, 4904, {0, 0, 0, 0}}),
                         [](const ::testing::TestParamInfo<TLastItemCase> &info) {
                           return info.param.name;
                         });

TEST(Battle, WithTheEnemyShipOnTopTheFirstTurnIsThatShipsAgainstItself) {
  // The enemy: three weapons, 288 points, firepower 288 - 1 = 287, two shots.
  // The player: one armour item that cannot be hit, firepower 0, one shot.
  TBattle b;
  b.columns = 2;
  b.rows = 2;
  b.player = {shielded(0, 0, 1)};
  b.enemy = {bare(0, 0, 96), bare(1, 0, 96), bare(0, 1, 96)};
  b.enemyOnTop = true;
  TBattleRun run = playBattle(b);
  ASSERT_EQ(run.session.exitStatus, 3) << run.session.standardError;
  ASSERT_GE(run.battle.size(), 3u);
  // The first turn: the enemy ship's price, figures and two shots, at itself.
  for (int i : {0, 1}) {
    const TPresent &p = run.battle[i];
    EXPECT_EQ(p.credits, 5000 - 288) << i;
    EXPECT_EQ(p.shownShip, 1) << i;
    EXPECT_EQ(p.firepower, 287) << i;
    EXPECT_EQ(p.shots, 2) << i;
    EXPECT_EQ(p.miniUnderItem, 1) << "the player's ship is in the mini display " << i;
  }
  EXPECT_EQ(run.battle[0].texts, turnTexts(true, {288, 0, 287, 2, 0}));
  // From the second turn on the player's ship fires.
  for (std::size_t i = 2; i < run.battle.size(); ++i) {
    EXPECT_EQ(run.battle[i].firepower, 0) << i;
    EXPECT_EQ(run.battle[i].shownShip, 1) << "the enemy ship is the target " << i;
    EXPECT_EQ(run.battle[i].miniUnderItem, 1) << i;
  }
  EXPECT_EQ(run.after.messageState, 2);
  EXPECT_EQ(run.after.credits, 5000 - 288 + 5000);
  EXPECT_EQ(run.state["shownShip"], 0);
}

TEST(Battle, TheSameScriptGivesTheSameBattleWithThreeDrawsAShot) {
  // Both ships take damage: weapons, armour, cargo and equip items, none shielded.
  TBattle b;
  b.columns = 6;
  b.rows = 4;
  for (int c = 0; c < 6; ++c)
    for (int r = 0; r < 4; ++r) {
      const int k = c * 4 + r;
      b.player.push_back({c, r, 1 + (k * 7) % 99, 100, k % 3 == 0 ? 12 : 0, k % 3 == 0 ? 100 : 0});
      if (k % 2 == 0)
        b.enemy.push_back({c, r, 1 + (k * 11) % 99, 100, k % 4 == 0 ? 30 : 0, k % 4 == 0 ? 60 : 0});
    }
  b.randomState = kSomeState;
  TBattleRun first = playBattle(b);
  TBattleRun second = playBattle(b);
  ASSERT_EQ(first.session.exitStatus, 3) << first.session.standardError;
  ASSERT_GE(first.battle.size(), 4u) << "a battle of several turns";
  EXPECT_NE(first.after.messageState, 0);

  ASSERT_EQ(first.session.presents.size(), second.session.presents.size());
  for (std::size_t i = 0; i < first.session.presents.size(); ++i)
    EXPECT_EQ(first.session.presents[i].hash, second.session.presents[i].hash) << "present " << i;
  for (const char *name : {"credits", "messageState", "randomState", "gridsHash"})
    EXPECT_EQ(first.state[name], second.state[name]) << name;
  EXPECT_EQ(first.player, second.player);
  EXPECT_EQ(first.enemy, second.enemy);

  // Every present of the player's turn follows whole shots of three draws.
  std::int32_t from = battleStart(kSomeState);
  for (const TPresent &p : first.battle) {
    const long long draws = drawsBetween(from, p.randomState);
    EXPECT_GT(draws, 0);
    EXPECT_EQ(draws % 3, 0) << "at frame " << p.frame;
    from = static_cast<std::int32_t>(p.randomState);
  }
  EXPECT_EQ(drawsBetween(from, first.after.randomState) % 3, 0);
}

namespace {
struct TEmptyGridCase {
  const char *name;
  int columns, rows;
};
class GridWithoutCells : public ::testing::TestWithParam<TEmptyGridCase> {};
} // namespace

// With no column or no row a shot aims at -1 or at the cells just beyond the
// grid: it hits nothing. The enemy keeps items that the end test sees but no
// shot may reach, and both ships keep items far outside the grid.
TEST_P(GridWithoutCells, ShotsTouchNoCell) {
  const TEmptyGridCase &c = GetParam();
  TBattle b;
  b.columns = c.columns;
  b.rows = c.rows;
  for (int i = 0; i < 5; ++i) {
    const int column = c.columns == 0 ? 0 : i, row = c.columns == 0 ? i : 0;
    b.enemy.push_back(bare(column, row, 50));
    b.enemy.push_back(bare(i, 99, 51));
    b.player.push_back(bare(i, 99, 52));
  }
  for (std::int32_t state : {kSomeState, 777, 4242}) {
    b.randomState = state;
    TBattleRun run = playBattle(b);
    ASSERT_TRUE(run.session.exited) << "signal " << run.session.signal;
    ASSERT_EQ(run.session.exitStatus, 3) << run.session.standardError;
    EXPECT_EQ(run.after.messageState, 3) << "the player's ship has nothing within the grid";
    EXPECT_EQ(run.after.credits, 5000);
    EXPECT_EQ(drawsBetween(battleStart(state), run.after.randomState), 6);
    for (std::size_t i = 0; i < b.player.size(); ++i)
      EXPECT_EQ(run.player.at(i), stateOf(b.player[i])) << "player cell " << i;
    for (std::size_t i = 0; i < b.enemy.size(); ++i)
      EXPECT_EQ(run.enemy.at(i), stateOf(b.enemy[i])) << "enemy cell " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, GridWithoutCells,
                         ::testing::Values(TEmptyGridCase{"NoColumns", 0, 5},
                                           TEmptyGridCase{"NoRows", 5, 0},
                                           TEmptyGridCase{"NeitherColumnsNorRows", 0, 0}),
                         [](const ::testing::TestParamInfo<TEmptyGridCase> &info) {
                           return info.param.name;
                         });
