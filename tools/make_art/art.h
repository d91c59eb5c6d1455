// The thirteen pictures of the game, each painted by one function of the art generator.
#pragma once

#include "canvas.h"

// Structure items fall into three classes by their number alone; 0 is the eraser.
enum class HullClass { Eraser, Weapon, Armour, Cargo };
HullClass hullClassOf(int item);

// One 25 x 25 structure item and one 20 x 20 inner-system item.
Canvas drawHullItem(int item);
Canvas drawSystemItem(int item);

// The two sheets of 10 x 10 frames, frame f at (pitch * (f % 10), pitch * (f / 10)).
Canvas drawUnderequipSheet();
Canvas drawEquipSheet();

// The six 50 x 30 buttons of the design screen's bar.
enum class ButtonKind { Equip, Hull, Swap, Grid, New, Battle };
Canvas drawButton(ButtonKind kind);

Canvas drawPlayerShotMarker();
Canvas drawEnemyShotMarker();
Canvas drawClickMarker();

Canvas drawPaletteBackdrop();
Canvas drawBoard();
