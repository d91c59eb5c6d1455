// make_art <folder>: paints the game's thirteen pictures and writes them into the art folder.
#include <exception>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "art.h"
#include "png_out.h"

int main(int argc, char **argv) {
  if (argc != 2) {
    std::cerr << "usage: make_art <output folder>\n";
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  // Only the pictures are written; saved designs in the folder stay as they are.
  const std::vector<std::pair<const char *, std::function<Canvas()>>> pictures = {
      {"bakboard.png", drawBoard},
      {"bacdrop.png", drawPaletteBackdrop},
      {"equip.png", drawEquipSheet},
      {"underequip.png", drawUnderequipSheet},
      {"mov.png", [] { return drawButton(ButtonKind::Equip); }},
      {"shoot.png", [] { return drawButton(ButtonKind::Swap); }},
      {"fight.png", [] { return drawButton(ButtonKind::Grid); }},
      {"rally.png", [] { return drawButton(ButtonKind::Hull); }},
      {"end.png", [] { return drawButton(ButtonKind::Battle); }},
      {"next.png", [] { return drawButton(ButtonKind::New); }},
      {"swords2.png", drawEnemyShotMarker},
      {"swords.png", drawPlayerShotMarker},
      {"splat.png", drawClickMarker},
  };
  try {
    std::filesystem::create_directories(folder);
    for (const auto &[name, paint] : pictures)
      writePng(paint(), folder / name);
  } catch (const std::exception &e) {
    std::cerr << "make_art: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
