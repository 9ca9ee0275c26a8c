// The show is designed for a 1024 x 768 screen. On an output of another size it is drawn
// into the largest rectangle of that shape centred in the output (black bars fill the
// rest), and everything measured in design pixels (the lyrics' bands and text strip) is
// scaled with that rectangle. This file only computes rectangles and scales; it draws
// nothing.
#pragma once

namespace design {

constexpr int WIDTH = 1024;
constexpr int HEIGHT = 768;

// Pixels of an output, x from its left, y from its top.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The largest WIDTH:HEIGHT rectangle centred in an output of width x height pixels (whole
// pixels, cut down when the shape does not divide evenly). Sizes below 1 count as 1.
Rect frameIn(int width, int height);

// Output pixels per design pixel in a frame frameHeight pixels high (1 at 768).
float scale(int frameHeight);

}
