// datagen: writes the show's data folder from the code in this folder and the sources in
// data/: the soundtrack "rap2.mp3", the scene change times "Syncro.txt", the camera path
// files, the cel-shading program, script and ramps, the lyrics "rap.txt", the pictures,
// the particle sprite, the bitmap font and the models with their textures and
// animations. Same bytes on every run.
#include "app/CameraPath.h"
#include "demo/ShowFiles.h"
#include "tools/datagen/BitmapFont.h"
#include "tools/datagen/CameraPaths.h"
#include "tools/datagen/CelShading.h"
#include "tools/datagen/DataFile.h"
#include "tools/datagen/EmbeddedText.h"
#include "tools/datagen/Lyrics.h"
#include "tools/datagen/Mp3Encoder.h"
#include "tools/datagen/Painter.h"
#include "tools/datagen/Pictures.h"
#include "tools/datagen/ShowModels.h"
#include "tools/datagen/ShowTimeline.h"
#include "tools/datagen/Soundtrack.h"

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

namespace fs = std::filesystem;

constexpr int MP3_KBPS = 128;
constexpr int SPRITE_SIZE = 64;
constexpr int BAND_TEXTURE_SIZE = 16;

void usage(std::FILE* out)
{
    std::fprintf(out, "usage: datagen [--text | --no-soundtrack] OUTDIR\n"
                      "Writes the show's data (soundtrack, scene times, camera paths, cel shading,\n"
                      "lyrics, pictures, particle sprite, bitmap font, models) into OUTDIR, creating it when needed.\n"
                      "  --text           only the quick files (scene times, camera paths, cel shading, lyrics)\n"
                      "  --no-soundtrack  everything but the soundtrack, the slowest step\n");
}

// Wall and processor seconds since a mark: on a busy machine the two differ a lot.
struct Mark {
    std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
    std::clock_t cpu = std::clock();
    std::string text() const
    {
        char buffer[80];
        std::snprintf(buffer, sizeof buffer, "%.2f s (%.2f s of processor time)",
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count(),
            double(std::clock() - cpu) / CLOCKS_PER_SEC);
        return buffer;
    }
};

// One line per tenth, so a log reads as well as a terminal.
void encodingProgress(double fraction)
{
    static int shown = 0;
    const int tenth = int(fraction * 10.0);
    if (tenth > shown) {
        shown = tenth;
        std::fprintf(stderr, "datagen: encoding %s %d%%\n", showfiles::MUSIC, tenth * 10);
    }
}

bool writeTimeline(const fs::path& dir)
{
    std::string text;
    for (std::int32_t t : showtime::syncTimes())
        text += std::to_string(t) + "\n";
    return writeDataFile(dir, showfiles::SYNC, text);
}

// Each designed path goes through the show's own smoothing (the P key's moving average
// over 20 keys), as a path recorded with the free camera would.
bool writePaths(const fs::path& dir)
{
    constexpr int SMOOTHING_WINDOW = 20;
    for (const DesignedPath& path : designCameraPaths()) {
        if (!writeDataFile(dir, path.fileName, pathFileText(path)))
            return false;
        CameraPath smoothing;
        if (!smoothing.smooth(SMOOTHING_WINDOW, (dir / path.fileName).c_str())) {
            std::fprintf(stderr, "datagen: cannot smooth %s\n", path.fileName.c_str());
            return false;
        }
    }
    return true;
}

bool writeSoundtrack(const fs::path& dir)
{
    Mark mark;
    std::fprintf(stderr, "datagen: synthesising the soundtrack (%d bars at %d BPM)\n", showtime::totalBars(),
        showtime::BEATS_PER_MINUTE);
    StereoPcm pcm = synthesiseSoundtrack();
    std::fprintf(stderr, "datagen: %.1f s of music synthesised in %s\n",
        double(pcm.left.size()) / pcm.sampleRate, mark.text().c_str());
    mark = Mark();
    std::vector<unsigned char> mp3;
    std::string error;
    if (!encodeMp3(pcm, MP3_KBPS, mp3, error, encodingProgress)) {
        std::fprintf(stderr, "datagen: %s\n", error.c_str());
        return false;
    }
    std::fprintf(stderr, "datagen: %s encoded in %s, %zu bytes\n", showfiles::MUSIC, mark.text().c_str(), mp3.size());
    return writeDataFile(dir, showfiles::MUSIC, mp3);
}

bool writeLyrics(const fs::path& dir)
{
    const EmbeddedText source = embeddedText("lyrics.txt");
    std::string text, error;
    if (!source.found || !lyricsFileText(source.text, text, error)) {
        std::fprintf(stderr, "datagen: %s\n", source.found ? error.c_str() : "no lyrics.txt among the sources");
        return false;
    }
    return writeDataFile(dir, showfiles::LYRICS, text);
}

bool writePictures(const fs::path& dir)
{
    for (Typeface face : {Typeface::SANS, Typeface::SANS_BOLD, Typeface::SERIF, Typeface::SERIF_BOLD, Typeface::MONO}) {
        std::string error;
        if (!typeface(face, error)) {
            std::fprintf(stderr, "datagen: %s\n", error.c_str());
            return false;
        }
    }
    for (const PictureFile& picture : showPictures()) {
        Mark mark;
        if (!writePictureFile(dir, picture.name, picture.draw()))
            return false;
        std::error_code ec;
        std::fprintf(stderr, "datagen: %s drawn in %s, %ju bytes\n", picture.name, mark.text().c_str(),
            std::uintmax_t(fs::file_size(dir / picture.name, ec)));
    }
    return true;
}

// The particle sprite and the black of the lyrics bands.
bool writeSprites(const fs::path& dir)
{
    return writePictureFile(dir, showfiles::SPRITE, drawParticleSprite(SPRITE_SIZE))
        && writePictureFile(dir, showfiles::BAND, RgbImage(BAND_TEXTURE_SIZE, BAND_TEXTURE_SIZE));
}

bool writeFont(const fs::path& dir)
{
    BitmapFontImage font;
    std::string error;
    if (!renderBitmapFont(typefaceFile(Typeface::SANS), font, error)) {
        std::fprintf(stderr, "datagen: %s\n", error.c_str());
        return false;
    }
    return writePictureFile(dir, showfiles::FONT, font.image) && writeDataFile(dir, showfiles::FONT_WIDTHS, font.widths);
}

// One generator of the data folder. Text steps are the quick ones that --text keeps.
struct Step {
    const char* what;
    bool text;
    bool (*run)(const fs::path& dir);
};

// In the order they run; each writes its own files.
const Step STEPS[] = {
    {"scene times", true, writeTimeline},
    {"camera paths", true, writePaths},
    {"cel shading", true, writeCelShading},
    {"lyrics", true, writeLyrics},
    {"bitmap font", false, writeFont},
    {"particle sprite and band texture", false, writeSprites},
    {"pictures", false, writePictures},
    {"figure", false, writeFigure},
    {"dancer", false, writeDancer},
    {"ground", false, writeGround},
    {"orbit rings", false, writeOrbitRings},
    {"cave", false, writeCave},
    {"soundtrack", false, writeSoundtrack},
};

enum class Selection { ALL, TEXT, NO_SOUNDTRACK };

bool runSteps(const fs::path& dir, Selection selection)
{
    const int total = static_cast<int>(std::size(STEPS));
    int index = 0;
    for (const Step& step : STEPS) {
        ++index;
        if ((selection == Selection::TEXT && !step.text)
            || (selection == Selection::NO_SOUNDTRACK && step.run == writeSoundtrack))
            continue;
        std::fprintf(stderr, "datagen: [%d/%d] %s\n", index, total, step.what);
        if (!step.run(dir))
            return false;
    }
    return true;
}

}

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        usage(stdout);
        return 0;
    }
    Selection selection = Selection::ALL;
    if (argc == 3 && std::strcmp(argv[1], "--text") == 0)
        selection = Selection::TEXT;
    else if (argc == 3 && std::strcmp(argv[1], "--no-soundtrack") == 0)
        selection = Selection::NO_SOUNDTRACK;
    const char* out = argv[argc - 1];
    if ((argc != 2 && selection == Selection::ALL) || out[0] == '\0' || out[0] == '-') {
        usage(stderr);
        return 2;
    }
    const fs::path dir = out;
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec || !fs::is_directory(dir)) {
        std::fprintf(stderr, "datagen: cannot create the folder %s%s%s\n", dir.c_str(), ec ? ": " : "",
            ec ? ec.message().c_str() : "");
        return 1;
    }
    if (!runSteps(dir, selection))
        return 1;
    std::fprintf(stderr, "datagen: data written to %s\n", dir.c_str());
    return 0;
}
