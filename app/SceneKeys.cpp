#include "app/SceneKeys.h"

#include "app/Show.h"
#include "platform/Input.h"

namespace {

// Whether each key was down at the last look: a jump needs a new press.
bool nextHeld = false;
bool previousHeld = false;

bool pressed(platform::Key key, bool& held)
{
    const bool down = platform::keyDown(key);
    const bool fresh = down && !held;
    held = down;
    return fresh;
}

}

void handleSceneKeys(Show& show)
{
    const bool next = pressed(platform::Key::PageDown, nextHeld);
    const bool previous = pressed(platform::Key::PageUp, previousHeld);
    const Director& director = show.director();
    const std::uint32_t scene = director.sceneIndex();
    std::int32_t target = -1;
    if (next)
        target = director.sceneStartMs(scene + 1);
    else if (previous)
        target = director.sceneStartMs(scene > 0 ? scene - 1 : 0);
    if (target < 0)
        return;
    show.seek(target);
}
