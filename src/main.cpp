// Drayvane 31: the program takes no arguments and reads no configuration.
#include "game/startup.h"

int main() {
  game::startUp();
  return 0;
}
