// Texts as the game uses them: 16-bit character codes, joined end to end.
#pragma once

#include <cstdint>
#include <string>

using TText = std::u16string;

// The decimal form of a 32-bit integer, "-" first when negative.
TText DecimalText(std::int32_t value);

// A path in the game's form (backslashes) as a file name for the system.
std::string FileNameFromPath(const TText &path);

// Plain ASCII into a text, for messages built by the platform itself.
TText TextFromAscii(const std::string &ascii);
