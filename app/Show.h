// The show as a program plays it: loaded once from a data folder onto a render device,
// then updated and rendered once per frame, or simulated without drawing, or sought (a
// replay from its start without drawing, then on from there with the music). It owns
// everything the show is made of: the director with the scenes' content, the scene
// camera, the lyrics with their font, the loading picture and the particle sprite the
// systems share. Everything it put into the device's tables, and the sprite's GL
// texture, is given back by close, which must run while the device and its context are
// still there. It never owns the device; the session that made the device owns the show.
#pragma once

#include "app/Director.h"
#include "demo/effects/BitmapFont.h"
#include "demo/effects/LyricsText.h"
#include "demo/effects/ParticleSprite.h"
#include "demo/effects/PictureLayer.h"
#include "engine/geometry/Camera.h"

#include <cstdint>
#include <string>
#include <vector>

class RenderDevice;
class Window;

// The rate of frames that are simulated (seeking) or rendered offline unless told
// otherwise.
constexpr int FIXED_FPS = 60;
// When frame number frame of a run at fps frames per second begins, in nanoseconds from
// the run's start (exact, so millisecond clocks read the same at every rate).
constexpr std::int64_t frameTimeNs(std::int64_t frame, int fps)
{
    return frame * 1000000000 / fps;
}
// The frame of such a run on screen at ms milliseconds.
constexpr std::int64_t frameAtMs(std::int64_t ms, int fps)
{
    return ms * fps / 1000;
}

// What a load found missing.
struct ShowLoadReport {
    std::string dataFolder;
    // Data files that are missing or could not be read, each once, in the order the
    // show loads them.
    std::vector<std::string> missing;

    bool complete() const { return missing.empty(); }
    // Whether no picture, no model and no particle sprite loaded: no scene can draw
    // anything of its own.
    bool drawsNothing() const;
    // The missing files a picture of the show needs: all but the soundtrack.
    std::vector<std::string> missingForPictures() const;
};

// Names joined by ", ".
std::string joinNames(const std::vector<std::string>& names);

struct SeekReport {
    std::int64_t frames = 0; // frames simulated
    double milliseconds = 0; // real time the seek took
};

class Show {
public:
    Show();
    // Closes the show: the device given to load must still exist.
    ~Show();
    Show(const Show&) = delete;
    Show& operator=(const Show&) = delete;

    // Loads the whole show from dataFolder (an existing folder, which becomes the
    // working directory: the show's text files are read relative to it) onto device (not
    // owned; it must stay until close): the loading picture first, drawn and presented,
    // then timeline, paths, content, music (its timeline starts with it), lyrics and the
    // camera's start. Files that do not load are reported on the console as they fail
    // and listed in the result; the show plays with what loaded. With startMs > 0 the
    // show is replayed to startMs (seek) before the music starts, so nothing of the
    // song before startMs is heard.
    ShowLoadReport load(RenderDevice& device, const std::string& dataFolder, std::int32_t startMs = 0);
    // Advances the show by one frame (ticks the frame clock first).
    void update();
    // Draws one frame and presents it. Does nothing before load.
    void render();
    // One frame without drawing: update, then what drawing the scene would have changed
    // (particles, animation, lyrics). No device or GL call.
    void advance();
    // Replays the show from its start to showMs (timeline milliseconds, negative is 0)
    // without drawing: frames of 1/60 s of virtual time, no keyboard or mouse, the music
    // paused. Then the clocks go on from showMs (in real time unless a virtual clock was
    // running already) and the music plays from the same position. Says on the console
    // how long it took.
    SeekReport seek(std::int32_t showMs);
    // Gives back every table entry, buffer and GL texture the show holds; the show can
    // be loaded again afterwards. Does nothing when not loaded.
    void close();

    Director& director() { return director_; }
    const Director& director() const { return director_; }
    Camera& camera() { return camera_; }
    const LyricsText& lyrics() const { return lyrics_; }
    // The device given to load; null before load and after close.
    RenderDevice* device() const { return device_; }

private:
    Window* window() const;
    void placeCamera();
    void showLoadingPicture();
    void loadLyrics(std::vector<std::string>& missing);
    void rehearseScenes();
    // render without presenting; the lyrics only once they are loaded.
    void drawFrame(bool withLyrics);

    RenderDevice* device_ = nullptr;
    ParticleSprite sprite_;
    PictureLayer loading_;
    int musicSlot_ = -1; // the song's sound slot, started by load or by the first seek
    Director director_;
    Camera camera_;
    FontRegistry fonts_;
    LyricsText lyrics_;
};
