// Makes the Windows program's icon file from one of the game's pictures:
// black, the art's see-through colour, becomes transparent, and the picture
// goes into the icon file as a PNG, which Windows reads since Vista.
// Usage: make_icon PICTURE.png ICON.ico
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {
void put16(std::vector<unsigned char> &out, unsigned value) {
  out.push_back(static_cast<unsigned char>(value & 0xFF));
  out.push_back(static_cast<unsigned char>(value >> 8));
}
void put32(std::vector<unsigned char> &out, std::uint32_t value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}
} // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_icon PICTURE.png ICON.ico\n");
    return 2;
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, argv[1])) {
    std::fprintf(stderr, "make_icon: cannot read %s\n", argv[1]);
    return 1;
  }
  image.format = PNG_FORMAT_RGBA;
  std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) || image.width > 256 ||
      image.height > 256) {
    std::fprintf(stderr, "make_icon: %s is no picture of at most 256 x 256\n", argv[1]);
    return 1;
  }
  for (std::size_t i = 0; i < pixels.size(); i += 4)
    if (pixels[i] == 0 && pixels[i + 1] == 0 && pixels[i + 2] == 0)
      pixels[i + 3] = 0;

  png_alloc_size_t size = 0;
  if (!png_image_write_get_memory_size(image, size, 0, pixels.data(), 0, nullptr))
    return 1;
  std::vector<unsigned char> picture(size);
  if (!png_image_write_to_memory(&image, picture.data(), &size, 0, pixels.data(), 0, nullptr))
    return 1;
  picture.resize(size);

  // The icon file: its header, one entry, then the picture.
  std::vector<unsigned char> icon;
  put16(icon, 0);
  put16(icon, 1); // an icon
  put16(icon, 1); // one picture
  icon.push_back(static_cast<unsigned char>(image.width & 0xFF)); // 0 stands for 256
  icon.push_back(static_cast<unsigned char>(image.height & 0xFF));
  icon.push_back(0); // no palette
  icon.push_back(0);
  put16(icon, 1);  // colour planes
  put16(icon, 32); // bits a pixel
  put32(icon, static_cast<std::uint32_t>(picture.size()));
  put32(icon, 6 + 16); // where the picture starts
  icon.insert(icon.end(), picture.begin(), picture.end());

  const std::filesystem::path target = argv[2];
  const std::filesystem::path temporary = target.string() + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(icon.data()),
              static_cast<std::streamsize>(icon.size()));
    if (!out)
      return 1;
  }
  std::filesystem::rename(temporary, target);
  return 0;
}
