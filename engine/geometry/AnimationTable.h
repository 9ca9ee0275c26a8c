// AnimationTable: the one process-wide table of 128 animation slots through which bones
// refer to their animation by index. It does not own the animations (the show's live until
// the program ends); it only remembers where they are and which slot is free next.
#pragma once

#include <cstdint>

class Animation;

namespace AnimationTable {

constexpr std::int32_t Capacity = 128;

// Stores the animation in the lowest empty slot and returns that index; -1 when the
// table is full (nothing changes then). A null animation is refused with -1.
std::int32_t add(Animation* animation);
// The animation in slot index, or null for an empty slot or an index outside 0..127.
Animation* entry(std::int32_t index);
// Empties slot index when it still holds animation (an owner giving its animation
// back before destroying it), so the table never points at a destroyed animation.
// Anything else changes nothing.
void remove(std::int32_t index, const Animation* animation);
// Empties every slot (the animations are not destroyed). For tests and tools.
void clear();

}
