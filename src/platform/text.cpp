// Decimal texts and the path rule.
#include "text.h"

TText DecimalText(std::int32_t value) {
  // Work in 64 bits so the smallest 32-bit value has an absolute value too.
  std::int64_t magnitude = value;
  bool negative = magnitude < 0;
  if (negative)
    magnitude = -magnitude;
  char16_t digits[12];
  int count = 0;
  do {
    digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  TText text;
  if (negative)
    text.push_back(u'-');
  while (count > 0)
    text.push_back(digits[--count]);
  return text;
}

std::string FileNameFromPath(const TText &path) {
  std::string name;
  name.reserve(path.size());
  for (char16_t c : path) {
    if (c == u'\\')
      name.push_back('/');
    else if (c < 0x80)
      name.push_back(static_cast<char>(c));
    else if (c < 0x800) {
      name.push_back(static_cast<char>(0xC0 | (c >> 6)));
      name.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      name.push_back(static_cast<char>(0xE0 | (c >> 12)));
      name.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      name.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return name;
}

TText TextFromAscii(const std::string &ascii) {
  return TText(ascii.begin(), ascii.end());
}
