// The hovered cell, its description and the labels of the two ships.
#include "inspection.h"

#include "platform/platform.h"
#include "state.h"

namespace game {

void inspectCell() {}

} // namespace game
