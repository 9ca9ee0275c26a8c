// The scenes' content: the loading picture shown before anything else loads, and (with
// the director's loadContent and renderScene) the pictures, models and particle systems
// of each scene. The director owns the content; this file only says what it is made of.
#pragma once

class RenderDevice;
class Camera;

// Draws the loading picture once, without beginning or presenting a frame.
void loadingPicture(RenderDevice* device, const Camera& camera);
