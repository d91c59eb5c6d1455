// make_font: turns the readable glyph file into the built-in font's 1536-byte bitmap source.
//
// Usage: make_font <glyphs.txt> <out.cpp>
// The glyph file is read strictly; any fault is reported with its line number and nothing is
// written. The output is rewritten only when its text changes, so an unchanged font does not
// recompile the platform library.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

namespace {

constexpr int kFirstCode = 32;
constexpr int kGlyphCount = 96;
constexpr int kCellWidth = 8;
constexpr int kCellHeight = 16;
constexpr std::size_t kBitmapSize = kGlyphCount * kCellHeight;

using Bitmap = std::array<std::uint8_t, kBitmapSize>;

struct ParseError {
  int line;
  std::string message;
};

// Reads the code of a "glyph <code> [label]" line; the label is for the reader, but a single
// character must be the glyph's own, which catches a shape pasted under the wrong code.
std::optional<std::string> ParseGlyphHeader(std::string_view text, int &code) {
  constexpr std::string_view kKeyword = "glyph";
  if (text.substr(0, kKeyword.size()) != kKeyword) {
    return "expected a \"glyph <code>\" line, a comment or an empty line";
  }
  std::string_view rest = text.substr(kKeyword.size());
  if (rest.empty() || rest[0] != ' ') {
    return "expected a space and a character code after \"glyph\"";
  }
  rest.remove_prefix(1);
  std::size_t digits = 0;
  while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') {
    ++digits;
  }
  if (digits == 0 || digits > 3 || (digits < rest.size() && rest[digits] != ' ')) {
    return "the character code must be a decimal number from 32 to 127";
  }
  int value = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    value = value * 10 + (rest[i] - '0');
  }
  if (value < kFirstCode || value >= kFirstCode + kGlyphCount) {
    return "character code " + std::to_string(value) + " is outside 32 to 127";
  }
  std::string_view label = rest.substr(digits);
  if (!label.empty()) {
    if (label.size() < 2) {
      return "expected a space and a label after the character code";
    }
    label.remove_prefix(1);
    if (label.size() == 1 && static_cast<unsigned char>(label[0]) != value) {
      return "label '" + std::string(label) + "' is not the character of code " +
             std::to_string(value);
    }
  }
  code = value;
  return std::nullopt;
}

std::optional<ParseError> ParseGlyphs(std::istream &in, Bitmap &bitmap) {
  bitmap.fill(0);
  std::array<int, kGlyphCount> definedAt{}; // line of each glyph's header, 0 = not yet seen
  std::string text;
  int lineNumber = 0;
  int glyph = -1; // index of the glyph whose rows are being read, -1 between glyphs
  int row = 0;
  while (std::getline(in, text)) {
    ++lineNumber;
    if (!text.empty() && text.back() == '\r') {
      text.pop_back(); // a checkout with Windows line ends reads the same
    }
    if (glyph >= 0) {
      if (text.size() != kCellWidth) {
        return ParseError{lineNumber, "row " + std::to_string(row) + " of glyph " +
                                          std::to_string(kFirstCode + glyph) + " has " +
                                          std::to_string(text.size()) + " characters, not 8"};
      }
      std::uint8_t bits = 0;
      for (int column = 0; column < kCellWidth; ++column) {
        const char c = text[column];
        if (c == '#') {
          bits = static_cast<std::uint8_t>(bits | (1u << column));
        } else if (c != '.') {
          return ParseError{lineNumber, "row " + std::to_string(row) + " of glyph " +
                                            std::to_string(kFirstCode + glyph) +
                                            " holds a character other than '#' or '.' in column " +
                                            std::to_string(column)};
        }
      }
      bitmap[static_cast<std::size_t>(row) * kGlyphCount + glyph] = bits;
      if (++row == kCellHeight) {
        glyph = -1;
      }
      continue;
    }
    if (text.empty() || text[0] == '#') {
      continue;
    }
    int code = 0;
    if (auto fault = ParseGlyphHeader(text, code)) {
      return ParseError{lineNumber, *fault};
    }
    const int index = code - kFirstCode;
    if (definedAt[index] != 0) {
      return ParseError{lineNumber, "glyph " + std::to_string(code) +
                                        " is already defined on line " +
                                        std::to_string(definedAt[index])};
    }
    definedAt[index] = lineNumber;
    glyph = index;
    row = 0;
  }
  if (glyph >= 0) {
    return ParseError{lineNumber, "the file ends after " + std::to_string(row) +
                                      " of the 16 rows of glyph " +
                                      std::to_string(kFirstCode + glyph)};
  }
  std::string missing;
  for (int index = 0; index < kGlyphCount; ++index) {
    if (definedAt[index] == 0) {
      missing += (missing.empty() ? "" : ", ") + std::to_string(kFirstCode + index);
    }
  }
  if (!missing.empty()) {
    return ParseError{std::max(lineNumber, 1), "the file ends without glyphs for codes " + missing};
  }
  return std::nullopt;
}

std::string RenderSource(const Bitmap &bitmap) {
  std::ostringstream out;
  out << "// The built-in font's bitmap, made by make_font from font_glyphs.txt; edit that file.\n"
         "#include \"platform/font.h\"\n\n"
         "const std::array<std::uint8_t, 1536> kBuiltinFontBitmap = {\n";
  constexpr int kPerLine = 12;
  for (int row = 0; row < kCellHeight; ++row) {
    out << "    // row " << row << "\n";
    for (int glyph = 0; glyph < kGlyphCount; ++glyph) {
      if (glyph % kPerLine == 0) {
        out << "    ";
      }
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%02x,",
                    bitmap[static_cast<std::size_t>(row) * kGlyphCount + glyph]);
      out << hex << (glyph % kPerLine == kPerLine - 1 ? "\n" : " ");
    }
  }
  out << "};\n";
  return out.str();
}

std::optional<std::string> ReadWhole(const std::filesystem::path &path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// Writes beside the target and renames over it, so a failed run never leaves half a file.
bool WriteIfChanged(const std::filesystem::path &path, const std::string &content) {
  if (auto existing = ReadWhole(path); existing && *existing == content) {
    return true;
  }
  std::error_code error;
  if (path.has_parent_path()) {
    std::filesystem::create_directories(path.parent_path(), error);
  }
  std::filesystem::path temporary = path;
  temporary += ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << content;
    out.close();
    if (!out) {
      std::filesystem::remove(temporary, error);
      return false;
    }
  }
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::cerr << "usage: make_font <glyphs.txt> <out.cpp>\n";
    return 1;
  }
  const std::string glyphPath = argv[1];
  std::ifstream in(glyphPath, std::ios::binary);
  if (!in) {
    std::cerr << "make_font: cannot open " << glyphPath << "\n";
    return 1;
  }
  Bitmap bitmap{};
  if (auto fault = ParseGlyphs(in, bitmap)) {
    std::cerr << glyphPath << ":" << fault->line << ": " << fault->message << "\n";
    return 1;
  }
  if (in.bad()) {
    std::cerr << "make_font: reading " << glyphPath << " failed\n";
    return 1;
  }
  if (!WriteIfChanged(argv[2], RenderSource(bitmap))) {
    std::cerr << "make_font: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
