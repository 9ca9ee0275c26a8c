// The show's data files by name: the one table the show loads from, datagen writes, and
// velvet-render and the tests check against. Every name is relative to the data folder.
// It owns nothing and opens nothing; files a model refers to from inside (its own
// textures) belong to that model, not to this table.
#pragma once

#include <cstddef>

namespace showfiles {

inline constexpr const char* SYNC = "Syncro.txt";
inline constexpr const char* MUSIC = "rap2.mp3";
inline constexpr const char* LYRICS = "rap.txt";
inline constexpr const char* FONT = "Verdana256.bmp";
// The font's glyph widths: the font's name with "qzf" for its last three letters.
inline constexpr const char* FONT_WIDTHS = "Verdana256.qzf";
// The lyrics' letterbox bands.
inline constexpr const char* BAND = "noir.bmp";
inline constexpr const char* SPRITE = "Particle.bmp";

inline constexpr std::size_t PICTURE_COUNT = 7;
// The full-screen pictures in the order the show loads them.
inline constexpr const char* PICTURES[PICTURE_COUNT] = {"Scene0_Collectif.jpg", "Scene1_Mur.jpg",
    "Scene2_mare.jpg", "modeling.jpg", "code.jpg", "zik.jpg", "duzer.jpg"};
// Shown while everything else loads.
inline constexpr const char* LOADING_PICTURE = "Scene0_Collectif.jpg";

inline constexpr const char* FIGURE = "FIXE.qzg";
inline constexpr const char* CAVE = "cave_Scene_4.qzg";
inline constexpr const char* DANCER = "police.qzg";
inline constexpr const char* DANCE = "police.qza";
inline constexpr const char* GROUND = "sol.qzg";
inline constexpr const char* SWELLS = "sol.qza";
// Drawn without cel shading.
inline constexpr const char* ORBIT = "rien.qzg";

inline constexpr const char* TONES = "tones.jpg";
inline constexpr const char* OUTLINE_TONES = "tonesOutline.jpg";
inline constexpr const char* CEL_PROGRAM = "CellShading_OutLine.vsh";
inline constexpr const char* CEL_MATERIAL = "CellShading_OutLine_FFP.psh";

inline constexpr std::size_t PATH_COUNT = 7;
inline constexpr const char* PATHS[PATH_COUNT] = {"Fixe.txt", "Fixe2.txt", "Scene4.txt", "Scene5.txt",
    "Scene6.txt", "Scene7.txt", "Scene8.txt"};
// Where the free camera records a path (the show writes it; it is not part of the data).
inline constexpr const char* RECORDED_PATH = "New.txt";

// What a file is to the show, for messages and for checks that care about some kinds.
enum class Kind { Timeline, Path, Music, Lyrics, Font, Band, Picture, Sprite, Model, Animation, CelShading };

struct Entry {
    const char* name;
    Kind kind;
};

// Every file of the show's data, in the order datagen writes them.
inline constexpr Entry ALL[] = {
    {SYNC, Kind::Timeline},
    {PATHS[0], Kind::Path}, {PATHS[1], Kind::Path}, {PATHS[2], Kind::Path}, {PATHS[3], Kind::Path},
    {PATHS[4], Kind::Path}, {PATHS[5], Kind::Path}, {PATHS[6], Kind::Path},
    {CEL_PROGRAM, Kind::CelShading}, {CEL_MATERIAL, Kind::CelShading}, {TONES, Kind::CelShading},
    {OUTLINE_TONES, Kind::CelShading},
    {LYRICS, Kind::Lyrics}, {FONT, Kind::Font}, {FONT_WIDTHS, Kind::Font}, {SPRITE, Kind::Sprite},
    {BAND, Kind::Band},
    {PICTURES[0], Kind::Picture}, {PICTURES[1], Kind::Picture}, {PICTURES[2], Kind::Picture},
    {PICTURES[3], Kind::Picture}, {PICTURES[4], Kind::Picture}, {PICTURES[5], Kind::Picture},
    {PICTURES[6], Kind::Picture},
    {FIGURE, Kind::Model}, {DANCER, Kind::Model}, {DANCE, Kind::Animation}, {GROUND, Kind::Model},
    {SWELLS, Kind::Animation}, {ORBIT, Kind::Model}, {CAVE, Kind::Model},
    {MUSIC, Kind::Music},
};

}
