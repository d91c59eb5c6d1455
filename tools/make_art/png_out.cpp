// PNG encoding through libpng with no varying chunk, so every build writes the same bytes.
#include "png_out.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace {

[[noreturn]] void onError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void onWarning(png_structp, png_const_charp) {}

// Everything libpng may jump past lives in the caller, so no destructor is skipped.
bool encode(std::FILE *file, const Canvas &picture, const std::vector<png_bytep> &rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
  if (png == nullptr)
    return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png)) != 0) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_compression_level(png, 9);
  png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width()),
               static_cast<png_uint_32>(picture.height()), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, const_cast<png_bytepp>(rows.data()));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

} // namespace

void writePng(const Canvas &picture, const std::filesystem::path &path) {
  std::vector<std::uint8_t> bytes = picture.rgbBytes();
  std::vector<png_bytep> rows(static_cast<std::size_t>(picture.height()));
  const std::size_t stride = static_cast<std::size_t>(picture.width()) * 3;
  for (std::size_t y = 0; y < rows.size(); ++y)
    rows[y] = bytes.data() + y * stride;

  // A name no saved design or picture of the game ever has.
  std::string tempName = ".";
  tempName += path.filename().string();
  tempName += ".writing";
  std::filesystem::path temp = path;
  temp.replace_filename(tempName);

  std::FILE *file = std::fopen(temp.string().c_str(), "wb");
  if (file == nullptr)
    throw std::runtime_error("cannot create " + temp.string());
  const bool encoded = encode(file, picture, rows);
  const bool closed = std::fclose(file) == 0;
  if (!encoded || !closed) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    throw std::runtime_error("cannot write " + temp.string());
  }
  std::error_code error;
  std::filesystem::rename(temp, path, error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    throw std::runtime_error("cannot replace " + path.string() + ": " + error.message());
  }
}
