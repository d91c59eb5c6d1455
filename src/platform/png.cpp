// PNG decoding through libpng: signature check, whole-image decoding, kind of the result.
#include "png.h" // this folder's header; <png.h> below is libpng's

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "system/system.h"

namespace {

// No picture of the game comes near these; they keep a hostile file from
// making us allocate without bound.
constexpr png_uint_32 kMaxSide = 16384;
constexpr std::size_t kMaxPixelBytes = std::size_t{256} << 20;

constexpr std::size_t kSignatureSize = 8;

struct TMemorySource {
  const unsigned char *data;
  std::size_t size;
  std::size_t pos;
};

void ReadFromMemory(png_structp png, png_bytep out, std::size_t length) {
  auto *source = static_cast<TMemorySource *>(png_get_io_ptr(png));
  if (length > source->size - source->pos)
    png_error(png, "file ends early");
  std::memcpy(out, source->data + source->pos, length);
  source->pos += length;
}

void ReadFromFile(png_structp png, png_bytep out, std::size_t length) {
  auto *file = static_cast<std::FILE *>(png_get_io_ptr(png));
  if (std::fread(out, 1, length, file) != length)
    png_error(png, "file ends early");
}

// Failures are never shown: errors jump back to the decoder, warnings vanish.
[[noreturn]] void OnError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

// Everything that owns memory lives here, in the caller's frame, so a jump out
// of libpng back to the setjmp point never skips a destructor.
struct TDecodeState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  TPixmap pixmap;
  std::vector<std::uint8_t> greyAlpha; // 2 bytes a pixel, widened after reading
  std::vector<png_bytep> rows;

  TDecodeState() {
    png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (png != nullptr)
      info = png_create_info_struct(png);
  }
  ~TDecodeState() { png_destroy_read_struct(&png, &info, nullptr); }
  TDecodeState(const TDecodeState &) = delete;
  TDecodeState &operator=(const TDecodeState &) = delete;
};

// Reads from just past the signature to the end chunk. libpng may jump out of
// any of its calls here; nothing in this frame has a destructor.
void ReadImage(TDecodeState &state) {
  png_structp png = state.png;
  png_infop info = state.info;
  png_set_sig_bytes(png, static_cast<int>(kSignatureSize));
  png_set_user_limits(png, kMaxSide, kMaxSide);
  // Pictures need only the critical chunks and tRNS. Skipping every other chunk
  // unread also stops libpng from allocating a text chunk's claimed length
  // (up to 2 GiB) before it finds that the file is much shorter.
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_read_info(png, info);

  png_set_strip_16(png);
  png_set_palette_to_rgb(png);
  png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS) != 0)
    png_set_tRNS_to_alpha(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  const int colourType = png_get_color_type(png, info);
  std::size_t readBytesPerPixel = 0;
  TPixelKind kind = TPixelKind::Rgba;
  switch (colourType) {
  case PNG_COLOR_TYPE_GRAY:
    kind = TPixelKind::Grey;
    readBytesPerPixel = 1;
    break;
  case PNG_COLOR_TYPE_GRAY_ALPHA:
    kind = TPixelKind::Rgba;
    readBytesPerPixel = 2;
    break;
  case PNG_COLOR_TYPE_RGB:
    kind = TPixelKind::Rgb;
    readBytesPerPixel = 3;
    break;
  case PNG_COLOR_TYPE_RGB_ALPHA:
    kind = TPixelKind::Rgba;
    readBytesPerPixel = 4;
    break;
  default:
    png_error(png, "unexpected colour type");
  }
  if (png_get_bit_depth(png, info) != 8 || width == 0 || height == 0 || width > kMaxSide ||
      height > kMaxSide)
    png_error(png, "unexpected layout");
  const std::size_t rowBytes = std::size_t{width} * readBytesPerPixel;
  const std::size_t pixelBytes = std::size_t{width} * height * static_cast<std::size_t>(kind);
  if (png_get_rowbytes(png, info) != rowBytes || pixelBytes > kMaxPixelBytes)
    png_error(png, "picture too large");

  std::vector<std::uint8_t> &target =
      colourType == PNG_COLOR_TYPE_GRAY_ALPHA ? state.greyAlpha : state.pixmap.bytes;
  target.resize(rowBytes * height);
  state.rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y)
    state.rows[y] = target.data() + rowBytes * y;
  png_read_image(png, state.rows.data());
  png_read_end(png, nullptr);

  state.pixmap.width = static_cast<int>(width);
  state.pixmap.height = static_cast<int>(height);
  state.pixmap.kind = kind;
}

// The only frame that holds a jump point; it keeps no locals across it.
bool RunDecoder(TDecodeState &state) {
  if (setjmp(png_jmpbuf(state.png)))
    return false;
  ReadImage(state);
  return true;
}

void WidenGreyAlpha(TPixmap &pixmap, const std::vector<std::uint8_t> &greyAlpha) {
  const std::size_t pixels = greyAlpha.size() / 2;
  pixmap.bytes.resize(pixels * 4);
  for (std::size_t i = 0; i < pixels; ++i) {
    const std::uint8_t grey = greyAlpha[2 * i];
    pixmap.bytes[4 * i + 0] = grey;
    pixmap.bytes[4 * i + 1] = grey;
    pixmap.bytes[4 * i + 2] = grey;
    pixmap.bytes[4 * i + 3] = greyAlpha[2 * i + 1];
  }
}

// Decodes whatever follows a signature that the caller has already checked.
std::optional<TPixmap> Decode(png_rw_ptr read, void *source) {
  try {
    TDecodeState state;
    if (state.png == nullptr || state.info == nullptr)
      return std::nullopt;
    png_set_read_fn(state.png, source, read);
    if (!RunDecoder(state))
      return std::nullopt;
    if (!state.greyAlpha.empty())
      WidenGreyAlpha(state.pixmap, state.greyAlpha);
    return std::move(state.pixmap);
  } catch (const std::bad_alloc &) {
    return std::nullopt;
  }
}

bool IsSignature(const unsigned char *bytes) {
  return png_sig_cmp(bytes, 0, kSignatureSize) == 0;
}

struct TFileCloser {
  void operator()(std::FILE *file) const { std::fclose(file); }
};

} // namespace

std::optional<TPixmap> DecodePngFile(const std::string &fileName) {
  std::int64_t length = 0;
  const std::unique_ptr<std::FILE, TFileCloser> file(OpenFileForReading(fileName, length));
  if (!file)
    return std::nullopt;
  unsigned char signature[kSignatureSize];
  if (std::fread(signature, 1, kSignatureSize, file.get()) != kSignatureSize ||
      !IsSignature(signature))
    return std::nullopt;
  return Decode(ReadFromFile, file.get());
}

std::optional<TPixmap> DecodePngBytes(const unsigned char *data, std::size_t size) {
  if (data == nullptr || size < kSignatureSize || !IsSignature(data))
    return std::nullopt;
  TMemorySource source{data, size, kSignatureSize};
  return Decode(ReadFromMemory, &source);
}
