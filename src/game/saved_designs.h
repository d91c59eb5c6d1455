// The five slot files: saving and loading the whole design.
#pragma once

namespace game {

// Slots 1 to 5.
void saveDesign(int slot);
void loadDesign(int slot);
// The design frame's keys Q, 1, W, 2, E, 3, R, 4, T, 5 in that order.
void handleSavedDesignKeys();

} // namespace game
