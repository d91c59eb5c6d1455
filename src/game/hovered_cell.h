// What lies under the pointer: the hovered cell, its description and the labels.
#pragma once

namespace game {

// Sets hoverColumn and hoverRow from the pointer and describes the cell.
void inspectCell();

} // namespace game
