// Who moves the scene camera each frame, decided by the current scene's path mode:
// the path (playing), the user (free camera), the user while the path records, or
// nobody for the one frame a path file is smoothed. Keys Space, C, R and P switch the
// modes. Keyboard and mouse are read through the platform layer; the cursor through the
// window. It owns nothing.
#pragma once

class CameraPath;
class Camera;
class Director;
class Window;

// Space leaves any mode for the free camera (closing a recording); in free mode C asks
// for smoothing, R starts recording into "New.txt", P replays the path's file (or
// "New.txt") in recorded time. Each prints its word on the console.
void handleKeys(CameraPath& path);
// Arrows strafe and advance one unit, mouse buttons lift and lower by 2/3, and the
// cursor's offset from the window centre turns the camera; the cursor goes back to the
// centre. Per frame, not per second. Without a window, or without real mouse motion
// over it while it has the focus, there is no mouse look.
void freeCamera(Camera& camera, Window* window);
// The camera step of the current path's mode (0 free, 1 recording, 2 playing,
// 4 smoothing); any other mode moves nothing.
void cameraStep(Director& director, Camera& camera, Window* window);
