// The grid-size prompts.
#pragma once

namespace game {

// Empties both ships and asks for the columns and the rows.
void runGridSetup();

} // namespace game
