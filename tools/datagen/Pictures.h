// The show's full-screen pictures and its particle sprite, drawn with cairo in one
// palette. Pictures are added over black with particles under them, so they are dark
// with bright content; in the show the lyrics bands hide their top and bottom 106 rows,
// so what matters sits between. Each is the same on every run. It writes no files.
#pragma once

#include "tools/datagen/ImageEncoders.h"

#include <vector>

constexpr int PICTURE_WIDTH = 1024;
constexpr int PICTURE_HEIGHT = 768;
constexpr int LYRICS_BAND = 106; // rows hidden at the top and at the bottom
// Where the picture layers' particle sphere sits in every picture (the picture scenes'
// camera paths put it there), and how far its widest swing reaches, in pixels. Each
// picture makes it part of a subject there and keeps its words out of that circle.
constexpr double SPHERE_X = 512, SPHERE_Y = 260, SPHERE_REACH = 108;

// "Velvet Orbit": a ringed planet over the city, the title and its line.
RgbImage drawTitleCard();
// A brick wall at night under a lamp, with a neon sign.
RgbImage drawWallAtNight();
// A pond at night: the moon and the far city mirrored in rippling water.
RgbImage drawPondAtNight();
// The credit cards, one role each: 0 modeling, 1 code, 2 music, 3 the engine's name.
RgbImage drawCreditCard(int index);

struct PictureFile {
    const char* name;
    RgbImage (*draw)();
};
// The seven picture files in the order the show loads them.
const std::vector<PictureFile>& showPictures();

// A round sprite size x size: a white point in a narrow glow, black well before the edge.
RgbImage drawParticleSprite(int size);
