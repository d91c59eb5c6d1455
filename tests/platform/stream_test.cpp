// File streams: the integers' bytes, the stream errors that end the program,
// opening, closing, the path rule and the replacing stream's failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

#include "platform/platform.h"
#include "support/case_name.h"
#include "support/scratch_folder.h"
#include "support/session.h"
#include "support/test_system.h"

namespace fs = std::filesystem;

namespace {
using drayvane_test::PrintTo;
using TBytes = std::vector<unsigned char>;

TBytes readFile(const fs::path &name) {
  std::ifstream in(name, std::ios::binary);
  return TBytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path &name, const TBytes &bytes) {
  std::ofstream out(name, std::ios::binary);
  out.write(reinterpret_cast<const char *>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// Each test works in a fresh folder of its own, as the working directory.
class Streams : public ::testing::Test {
protected:
  void TearDown() override { InjectStreamFault(TStreamFault::None); }
  TScratchFolder scratch{"stream"};
  const fs::path &folder = scratch.path;
};

struct TIntCase {
  const char *name;
  std::int32_t value;
  std::array<unsigned char, 4> bytes;
};

class StreamIntegers : public Streams, public ::testing::WithParamInterface<TIntCase> {};
} // namespace

TEST_P(StreamIntegers, AreFourBytesLeastSignificantFirst) {
  const TIntCase &c = GetParam();
  int out = OpenForWriting(u"int.bin");
  ASSERT_NE(out, 0);
  WriteInt(out, c.value);
  EXPECT_EQ(StreamFromHandle(out)->_pos, 4);
  EXPECT_EQ(StreamFromHandle(out)->_size, 4);
  Close(out);
  EXPECT_EQ(readFile("int.bin"), TBytes(c.bytes.begin(), c.bytes.end()));

  int in = OpenForReading(u"int.bin");
  ASSERT_NE(in, 0);
  EXPECT_EQ(StreamFromHandle(in)->_size, 4);
  EXPECT_EQ(ReadInt(in), c.value);
  Close(in);
}

INSTANTIATE_TEST_SUITE_P(
    Values, StreamIntegers,
    ::testing::Values(TIntCase{"One", 1, {0x01, 0x00, 0x00, 0x00}},
                      TIntCase{"MinusOne", -1, {0xFF, 0xFF, 0xFF, 0xFF}},
                      TIntCase{"Mixed", 305419896, {0x78, 0x56, 0x34, 0x12}},
                      TIntCase{"HighByteFE", -16777217, {0xFF, 0xFF, 0xFF, 0xFE}}),
    [](const ::testing::TestParamInfo<TIntCase> &info) { return info.param.name; });

namespace {
struct TUncaughtCase {
  const char *name;
  void (*entry)();
  const char *message;
  bool needsFullDevice = false;
};

class UncaughtStreamError : public Streams, public ::testing::WithParamInterface<TUncaughtCase> {};

void readPastTheEnd() {
  // One whole integer, then three bytes.
  writeFile("seven.bin", {1, 0, 0, 0, 2, 3, 4});
  int in = OpenForReading(u"seven.bin");
  if (ReadInt(in) != 1)
    std::exit(10);
  ReadInt(in);
  std::exit(11); // not reached: the read error ends the program
}

void writeOntoAFullDevice() {
  int out = OpenForWriting(TextFromAscii(FullDevice()));
  if (out == 0)
    std::exit(12);
  // More than the file buffer holds, so the device is asked to take bytes.
  for (int i = 0; i < 100000; ++i)
    WriteInt(out, i);
  std::exit(13);
}

void writeWithTheDiskFull() {
  int out = OpenForWriting(u"full.bin");
  if (out == 0)
    std::exit(14);
  InjectStreamFault(TStreamFault::Write);
  WriteInt(out, 1);
  std::exit(15);
}
} // namespace

TEST_P(UncaughtStreamError, EndsTheProgramWithStatusMinusOneAndTheMessage) {
  const TUncaughtCase &c = GetParam();
  if (c.needsFullDevice && FullDevice().empty())
    GTEST_SKIP() << "this system has no device that is always full";
  TSessionOptions options;
  options.script = "100 end\n";
  options.programFolder = folder.string();
  // The child is forked inside the test body, where the test framework would
  // catch the error; a noexcept frame leaves it without a handler, as in the game.
  options.entry = [&c]() noexcept {
    StartPlatform();
    OpenDisplay(1024, 768, 32, 60, 0);
    c.entry();
  };
  TSessionResult run = RunSession(options);
  ASSERT_TRUE(run.exited) << "signal " << run.signal;
  EXPECT_EQ(run.exitStatus, 255);
  EXPECT_EQ(run.standardError, c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, UncaughtStreamError,
    ::testing::Values(
        TUncaughtCase{"ReadIntWithThreeBytesLeft", readPastTheEnd, "Error reading from stream"},
        TUncaughtCase{"WriteIntOntoAFullDevice", writeOntoAFullDevice, "Error writing to stream",
                      true},
        TUncaughtCase{"WriteIntWithTheDiskFull", writeWithTheDiskFull, "Error writing to stream"}),
    [](const ::testing::TestParamInfo<TUncaughtCase> &info) { return info.param.name; });

TEST_F(Streams, OpenForWritingEmptiesAnExistingFile) {
  writeFile("saved.sdx", TBytes(2400012, 0x5A));
  int out = OpenForWriting(u"saved.sdx");
  ASSERT_NE(out, 0);
  EXPECT_EQ(StreamFromHandle(out)->_size, 0);
  EXPECT_EQ(fs::file_size("saved.sdx"), 0u) << "emptied before the first write";
  Close(out);
  EXPECT_EQ(fs::file_size("saved.sdx"), 0u);
}

TEST_F(Streams, ASecondCloseDoesNothing) {
  int out = OpenForWriting(u"closed.bin");
  ASSERT_NE(out, 0);
  WriteInt(out, 7);
  Close(out);
  TStream *stream = StreamFromHandle(out);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->_pos, 0);
  EXPECT_EQ(stream->_size, 0);
  Close(out);
  // A later stream is not disturbed by closing the old handle again.
  int other = OpenForWriting(u"other.bin");
  Close(out);
  WriteInt(other, 9);
  Close(other);
  EXPECT_EQ(readFile("closed.bin"), (TBytes{7, 0, 0, 0}));
  EXPECT_EQ(readFile("other.bin"), (TBytes{9, 0, 0, 0}));
}

TEST_F(Streams, ABackslashPathOpensTheSlashPathInTheProgramFolder) {
  // The working folder of the test holds decoys; the program folder the file.
  fs::create_directories("program/IronholdArt");
  fs::create_directories("IronholdArt");
  writeFile("program/IronholdArt/saved3.sdx", {0x33, 0, 0, 0});
  writeFile("IronholdArt/saved3.sdx", {0x44, 0, 0, 0});
  writeFile(".\\IronholdArt\\saved3.sdx", {0x55, 0, 0, 0});
  TSessionOptions options;
  options.script = "100 end\n";
  options.programFolder = (folder / "program").string();
  static std::string report;
  options.entry = [] {
    StartPlatform();
    int in = OpenForReading(u".\\IronholdArt\\saved3.sdx");
    report = in == 0 ? "none" : std::to_string(ReadInt(in));
  };
  options.atEnd = [] { return report; };
  TSessionResult run = RunSession(options);
  EXPECT_EQ(run.report, "51");
}

namespace {
struct TNoneCase {
  const char *name;
  int (*open)(const TText &);
  const char16_t *path;
};
class OpeningGivesNone : public Streams, public ::testing::WithParamInterface<TNoneCase> {};
} // namespace

TEST_P(OpeningGivesNone, WithoutAMessage) {
  fs::create_directory("folder");
  testing::internal::CaptureStderr();
  EXPECT_EQ(GetParam().open(GetParam().path), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Paths, OpeningGivesNone,
    ::testing::Values(TNoneCase{"ReadingAMissingFile", OpenForReading, u"missing.sdx"},
                      TNoneCase{"ReadingAFolder", OpenForReading, u"folder"},
                      TNoneCase{"WritingIntoAMissingFolder", OpenForWriting, u"absent\\a.sdx"},
                      TNoneCase{"WritingOntoAFolder", OpenForWriting, u"folder"},
                      TNoneCase{"ReplacingIntoAMissingFolder", OpenForReplacing, u"absent\\a.sdx"},
                      TNoneCase{"ReplacingAFolder", OpenForReplacing, u"folder"}),
    [](const ::testing::TestParamInfo<TNoneCase> &info) { return info.param.name; });

namespace {
struct TReplaceCase {
  const char *name;
  TStreamFault fault;
  bool replaced;
};
class ReplacingStream : public Streams, public ::testing::WithParamInterface<TReplaceCase> {};
} // namespace

TEST_P(ReplacingStream, GivesTheWholeNewFileOrLeavesTheOldOne) {
  const TReplaceCase &c = GetParam();
  const TBytes old(10000, 0x11);
  writeFile("slot.sdx", old);
  chmod("slot.sdx", 0640);
  struct stat before {};
  ASSERT_EQ(stat("slot.sdx", &before), 0);
  int out = OpenForReplacing(u"slot.sdx");
  ASSERT_NE(out, 0);
  InjectStreamFault(c.fault);
  bool raised = false;
  try {
    for (int i = 0; i < 5000; ++i)
      WriteInt(out, 0x22222222);
    Flush(out);
    EXPECT_EQ(readFile("slot.sdx"), old) << "nothing is visible before the commit";
    Commit(out);
  } catch (const TStreamWriteException &) {
    raised = true;
  }
  Close(out);
  EXPECT_EQ(raised, !c.replaced);
  EXPECT_EQ(readFile("slot.sdx"), c.replaced ? TBytes(20000, 0x22) : old);
  EXPECT_EQ(FolderListing(folder), std::vector<std::string>{"slot.sdx"}) << "no temporary file";
  struct stat info {};
  ASSERT_EQ(stat("slot.sdx", &info), 0);
  EXPECT_EQ(info.st_mode & 0777, before.st_mode & 0777) << "the slot keeps its permissions";
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ReplacingStream,
    ::testing::Values(TReplaceCase{"NoFault", TStreamFault::None, true},
                      TReplaceCase{"WriteFails", TStreamFault::Write, false},
                      TReplaceCase{"DiskFlushFails", TStreamFault::Sync, false},
                      TReplaceCase{"RenameFails", TStreamFault::Rename, false}),
    [](const ::testing::TestParamInfo<TReplaceCase> &info) { return info.param.name; });

TEST_F(Streams, AReplacingStreamLeavesAReadOnlyFileAlone) {
  writeFile("slot.sdx", {1, 2, 3, 4});
  chmod("slot.sdx", 0444);
  EXPECT_EQ(OpenForReplacing(u"slot.sdx"), 0);
  EXPECT_EQ(readFile("slot.sdx"), (TBytes{1, 2, 3, 4}));
  EXPECT_EQ(FolderListing(folder), std::vector<std::string>{"slot.sdx"});
}

TEST_F(Streams, AReplacingStreamClosedWithoutCommitLeavesNoTrace) {
  int out = OpenForReplacing(u"new.sdx");
  ASSERT_NE(out, 0);
  WriteInt(out, 5);
  Close(out);
  EXPECT_TRUE(FolderListing(folder).empty());
}

TEST_F(Streams, ASaveRemovesWhatAStoppedSaveOfItsSlotLeftButNotASaveUnderWay) {
  writeFile("slot.sdx.4242-7.tmp", {9}); // a save stopped mid-way
  writeFile("slot.sdx.1-1.tmp", {9});
  writeFile("other.sdx.4242-7.tmp", {9}); // another slot's
  writeFile("slot.sdx.notes.tmp", {9});   // not the game's
  const int underWay = OpenForReplacing(u"slot.sdx");
  ASSERT_NE(underWay, 0);

  const int out = OpenForReplacing(u"slot.sdx");
  ASSERT_NE(out, 0);
  WriteInt(out, 5);
  Commit(out);
  Close(out);
  std::vector<std::string> left = FolderListing(folder);
  EXPECT_EQ(left.size(), 4u) << ::testing::PrintToString(left);
  for (const char *gone : {"slot.sdx.4242-7.tmp", "slot.sdx.1-1.tmp"})
    EXPECT_EQ(std::count(left.begin(), left.end(), gone), 0) << gone;

  // The save under way still completes.
  WriteInt(underWay, 6);
  Commit(underWay);
  Close(underWay);
  EXPECT_EQ(readFile("slot.sdx"), (TBytes{6, 0, 0, 0}));
  EXPECT_EQ(FolderListing(folder),
            (std::vector<std::string>{"other.sdx.4242-7.tmp", "slot.sdx", "slot.sdx.notes.tmp"}));
}
