#include "engine/geometry/AnimationTable.h"

namespace {

struct Table {
    Animation* slots[AnimationTable::Capacity] = {};
    std::int32_t freeHint = 0;  // lowest empty slot, -1 when full
};

Table& table()
{
    static Table instance;
    return instance;
}

}

namespace AnimationTable {

std::int32_t add(Animation* animation)
{
    Table& t = table();
    if (t.freeHint < 0 || !animation)
        return -1;
    std::int32_t index = t.freeHint;
    t.slots[index] = animation;
    t.freeHint = -1;
    for (std::int32_t i = index + 1; i < Capacity; ++i) {
        if (!t.slots[i]) {
            t.freeHint = i;
            break;
        }
    }
    return index;
}

Animation* entry(std::int32_t index)
{
    if (std::uint32_t(index) >= std::uint32_t(Capacity))
        return nullptr;
    return table().slots[index];
}

void remove(std::int32_t index, const Animation* animation)
{
    Table& t = table();
    if (!animation || entry(index) != animation)
        return;
    t.slots[index] = nullptr;
    if (t.freeHint < 0 || index < t.freeHint)
        t.freeHint = index;
}

void clear()
{
    table() = Table();
}

}
