#include "app/SceneContent.h"

#include "app/Director.h"

// The scenes' pictures, models, particle systems and the loading picture arrive with the
// content; until then every scene draws only the director's background.

void loadingPicture(RenderDevice*, const Camera&)
{
}

void Director::loadContent()
{
}

void Director::renderScene(float, const Vec3&)
{
}

void Director::simulateScene(float, const Vec3&)
{
}

void Director::resetContent()
{
}
