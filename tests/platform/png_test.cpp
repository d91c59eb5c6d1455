// Guards PNG decoding: the standard test pictures, and broken files a player's art folder may hold.
#include "platform/png.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using TBytes = std::vector<unsigned char>;

const fs::path kSuiteDir = fs::path(DRAYVANE_SOURCE_DIR) / "tests/data/pngsuite";
// Pixel hashes made by reference_png.py, our own decoder written apart from
// libpng; the suite table's hash column does not follow its own FNV-1a rule.
const fs::path kPixelTable = fs::path(DRAYVANE_SOURCE_DIR) / "tests/platform/pngsuite_pixels.tsv";

TBytes ReadBytes(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  return TBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path &path, const TBytes &bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char *>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

fs::path TempPath(const std::string &name) {
  return fs::path(::testing::TempDir()) / name;
}

const char *KindName(TPixelKind kind) {
  switch (kind) {
  case TPixelKind::Grey:
    return "grey";
  case TPixelKind::Rgb:
    return "rgb";
  case TPixelKind::Rgba:
    return "rgba";
  }
  return "?";
}

// FNV-1a 64 of the pixel bytes, as 16 hex digits.
std::string HashText(const std::vector<std::uint8_t> &bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (std::uint8_t byte : bytes) {
    hash ^= byte;
    hash *= 1099511628211ull;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

// Size, kind and byte count in one line that fails readably.
std::string Layout(const std::optional<TPixmap> &pixmap) {
  if (!pixmap)
    return "none";
  std::ostringstream text;
  text << pixmap->width << "x" << pixmap->height << " " << KindName(pixmap->kind) << " "
       << pixmap->bytes.size() << " bytes";
  return text.str();
}

std::string Describe(const std::optional<TPixmap> &pixmap) {
  return pixmap ? Layout(pixmap) + " " + HashText(pixmap->bytes) : "none";
}

// ---- The standard test pictures, one test per file of the expected table.

struct TSuiteRow {
  std::string file; // empty: the suite's table could not be read
  std::string status;
  int width = 0;
  int height = 0;
  std::string buffer;
  std::string hash; // from the pixel table; empty when the file is missing there
};

void PrintTo(const TSuiteRow &row, std::ostream *out) {
  *out << row.file;
}

// File name to pixel hash, from the reference table ('#' lines are notes).
std::map<std::string, std::string> LoadPixelHashes() {
  std::ifstream in(kPixelTable);
  std::map<std::string, std::string> hashes;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#' || line.rfind("file\t", 0) == 0)
      continue; // notes and column names
    std::istringstream fields(line);
    std::string file, status, width, height, buffer, hash;
    if (fields >> file >> status >> width >> height >> buffer >> hash)
      hashes[file] = hash;
  }
  return hashes;
}

// Status, size and buffer kind from the suite's table; the hash from ours.
std::vector<TSuiteRow> LoadSuiteRows() {
  std::ifstream in(kSuiteDir / "expected.tsv");
  if (!in)
    return {TSuiteRow{}};
  const std::map<std::string, std::string> hashes = LoadPixelHashes();
  std::vector<TSuiteRow> rows;
  std::string line;
  std::getline(in, line); // column names
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    TSuiteRow row;
    std::string unusedHash;
    if (fields >> row.file >> row.status >> row.width >> row.height >> row.buffer >> unusedHash) {
      const auto found = hashes.find(row.file);
      if (found != hashes.end())
        row.hash = found->second;
      rows.push_back(row);
    }
  }
  return rows;
}

std::string SuiteRowName(const ::testing::TestParamInfo<TSuiteRow> &info) {
  if (info.param.file.empty())
    return "suite_missing";
  std::string name = fs::path(info.param.file).stem().string();
  for (char &c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)))
      c = '_';
  return name;
}

class PngSuiteTest : public ::testing::TestWithParam<TSuiteRow> {};

TEST_P(PngSuiteTest, DecodesToTheExpectedPixelsOrNothing) {
  const TSuiteRow &row = GetParam();
  ASSERT_FALSE(row.file.empty()) << "test pictures missing: " << kSuiteDir;
  const fs::path path = kSuiteDir / row.file;
  const TBytes bytes = ReadBytes(path);
  ASSERT_FALSE(bytes.empty()) << path;

  const std::optional<TPixmap> fromFile = DecodePngFile(path.string());
  if (row.status == "ok") {
    const std::size_t byteCount = static_cast<std::size_t>(row.width) * row.height *
                                  (row.buffer == "grey"  ? 1
                                   : row.buffer == "rgb" ? 3
                                                         : 4);
    std::ostringstream layout;
    layout << row.width << "x" << row.height << " " << row.buffer << " " << byteCount << " bytes";
    ASSERT_EQ(Layout(fromFile), layout.str());
    ASSERT_FALSE(row.hash.empty()) << row.file << " missing from " << kPixelTable;
    EXPECT_EQ(HashText(fromFile->bytes), row.hash);
  } else {
    ASSERT_EQ(row.status, "fail");
    EXPECT_EQ(Describe(fromFile), "none");
  }
  EXPECT_EQ(Describe(DecodePngBytes(bytes.data(), bytes.size())), Describe(fromFile))
      << "memory and file decoding differ";
}

INSTANTIATE_TEST_SUITE_P(PngSuite, PngSuiteTest, ::testing::ValuesIn(LoadSuiteRows()),
                         SuiteRowName);

// ---- Hand-made files.

void PutChunk(TBytes &png, const char *type, const TBytes &data) {
  const auto put32 = [&png](std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
      png.push_back(static_cast<unsigned char>(value >> shift));
  };
  put32(static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  put32(static_cast<std::uint32_t>(
      crc32(0, png.data() + typeAt, static_cast<uInt>(png.size() - typeAt))));
}

// An 8-bit, non-interlaced PNG of the given colour type; pixels are the rows
// without filter bytes.
TBytes MakePng(std::uint32_t width, std::uint32_t height, unsigned char colourType,
               const TBytes &pixels) {
  const std::size_t rowBytes = pixels.size() / height;
  TBytes raw;
  for (std::size_t y = 0; y < height; ++y) {
    raw.push_back(0); // filter: none
    raw.insert(raw.end(), pixels.begin() + y * rowBytes, pixels.begin() + (y + 1) * rowBytes);
  }
  uLongf packedSize = compressBound(raw.size());
  TBytes packed(packedSize);
  EXPECT_EQ(compress2(packed.data(), &packedSize, raw.data(), raw.size(), 9), Z_OK);
  packed.resize(packedSize);

  TBytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  TBytes header;
  for (std::uint32_t value : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8)
      header.push_back(static_cast<unsigned char>(value >> shift));
  header.insert(header.end(), {8, colourType, 0, 0, 0});
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", packed);
  PutChunk(png, "IEND", {});
  return png;
}

// Noise, so the image data chunk is long enough to cut in the middle.
TBytes NoisePixels(std::size_t count) {
  TBytes pixels(count);
  std::uint32_t state = 12345;
  for (unsigned char &byte : pixels) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<unsigned char>(state >> 16);
  }
  return pixels;
}

constexpr int kSide = 32;
constexpr unsigned char kColourRgba = 6;

class DamagedPngTest : public ::testing::Test {
protected:
  void SetUp() override {
    valid_ = MakePng(kSide, kSide, kColourRgba, NoisePixels(kSide * kSide * 4));
    path_ = TempPath(std::string(::testing::UnitTest::GetInstance()->current_test_info()->name())
                         .append(".png"));
    // The damaged copies only mean something if the intact file decodes.
    const std::optional<TPixmap> intact = DecodePngBytes(valid_.data(), valid_.size());
    ASSERT_TRUE(intact);
    intactText_ = Describe(intact);
  }
  void TearDown() override { fs::remove(path_); }

  // Decodes the bytes from a file and from memory; the two must agree.
  std::string DecodeBothWays(const TBytes &bytes) {
    WriteBytes(path_, bytes);
    const std::string fromFile = Describe(DecodePngFile(path_.string()));
    EXPECT_EQ(Describe(DecodePngBytes(bytes.data(), bytes.size())), fromFile)
        << "memory and file decoding differ";
    return fromFile;
  }

  TBytes valid_;
  std::string intactText_;
  fs::path path_;
};

TEST_F(DamagedPngTest, IntactFileDecodesLikeTheSameBytesInMemory) {
  EXPECT_EQ(DecodeBothWays(valid_), intactText_);
}

TEST_F(DamagedPngTest, FileCutShortYieldsNothing) {
  const std::size_t size = valid_.size();
  const std::size_t imageDataStart = 8 + 25 + 8;
  const std::size_t cuts[] = {
      0,                                                 // empty file
      7,                                                 // shorter than the signature
      8,                                                 // signature only
      20,                                                // inside the header chunk
      33,                                                // after the header chunk
      imageDataStart + (size - 12 - imageDataStart) / 2, // inside the image data
      size - 16,                                         // image data without its checksum
      size - 12,                                         // no end chunk
      size - 1,                                          // end chunk without its last byte
  };
  for (std::size_t cut : cuts)
    EXPECT_EQ(DecodeBothWays(TBytes(valid_.begin(), valid_.begin() + cut)), "none")
        << "cut at " << cut << " of " << size;
}

TEST_F(DamagedPngTest, WrongSignatureYieldsNothing) {
  for (std::size_t at : {0, 1, 4, 7}) {
    TBytes damaged = valid_;
    damaged[at] ^= 0x20;
    EXPECT_EQ(DecodeBothWays(damaged), "none") << "signature byte " << at;
  }
}

// Each colour type lands in its buffer kind; grey with alpha is widened to
// RGBA with the grey value in red, green and blue.
TEST(PngFileTest, EachColourTypeYieldsItsBufferKindAndPixels) {
  struct TCase {
    unsigned char colourType;
    int channels;
    TPixelKind kind;
  };
  const TCase cases[] = {{0, 1, TPixelKind::Grey},
                         {2, 3, TPixelKind::Rgb},
                         {4, 2, TPixelKind::Rgba},
                         {6, 4, TPixelKind::Rgba}};
  const int width = 7, height = 3; // odd, so a row is never a multiple of 4 bytes
  for (const TCase &c : cases) {
    const TBytes pixels = NoisePixels(static_cast<std::size_t>(width) * height * c.channels);
    std::vector<std::uint8_t> expected;
    for (std::size_t i = 0; i < pixels.size(); i += c.channels) {
      if (c.colourType == 4)
        expected.insert(expected.end(), {pixels[i], pixels[i], pixels[i], pixels[i + 1]});
      else
        expected.insert(expected.end(), pixels.begin() + i, pixels.begin() + i + c.channels);
    }
    const TBytes png = MakePng(width, height, c.colourType, pixels);
    const std::optional<TPixmap> pixmap = DecodePngBytes(png.data(), png.size());
    ASSERT_TRUE(pixmap) << "colour type " << int{c.colourType};
    EXPECT_EQ(pixmap->width, width);
    EXPECT_EQ(pixmap->height, height);
    EXPECT_EQ(pixmap->kind, c.kind) << "colour type " << int{c.colourType};
    EXPECT_EQ(pixmap->bytes, expected) << "colour type " << int{c.colourType};
  }
}

TEST(PngFileTest, MissingFileOrFolderYieldsNothing) {
  EXPECT_FALSE(DecodePngFile(TempPath("no_such_picture.png").string()));
  EXPECT_FALSE(DecodePngFile(::testing::TempDir()));
}

// The side limit keeps a hostile header from making the loader allocate
// without bound; pictures up to it still load.
TEST(PngFileTest, PictureWiderThanTheSideLimitYieldsNothing) {
  for (std::uint32_t width : {16384u, 16385u}) {
    const TBytes png = MakePng(width, 1, 0, TBytes(width, 0x7f));
    const std::optional<TPixmap> pixmap = DecodePngBytes(png.data(), png.size());
    EXPECT_EQ(pixmap.has_value(), width <= 16384) << width;
  }
}

} // namespace
