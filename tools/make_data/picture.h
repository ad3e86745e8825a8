// A 128 x 128 colour picture in the making, and the colour, shape and noise helpers that paint
// the data files. Everything here is deterministic: the same build paints the same bytes.
#pragma once

#include <vector>

constexpr int kPictureSize = 128;  // pixels per side of every data file

struct Colour {
    double r;
    double g;
    double b;
};

Colour operator+(Colour a, Colour b);
Colour operator*(Colour c, double k);
Colour operator*(Colour a, Colour b);  // channel by channel, as a filter or a light would
Colour mix(Colour a, Colour b, double t);

double clamp01(double x);
double smoothstep(double edge0, double edge1, double x);

// 1 inside the ellipse, 0 outside, with a soft edge `soft` wide in units of the radii.
double ellipseMask(double x, double y, double cx, double cy, double rx, double ry, double soft);

// Smooth value noise in [0, 1) on a unit lattice, and its sum over octaves.
double valueNoise(double x, double y, unsigned seed);
double fractalNoise(double x, double y, unsigned seed, int octaves);

// Pixels in rows from the top of the picture as the program shows it, left to right.
class Picture {
public:
    Picture();
    Colour& at(int x, int y) { return pixels_[y * kPictureSize + x]; }
    const Colour& at(int x, int y) const { return pixels_[y * kPictureSize + x]; }

private:
    std::vector<Colour> pixels_;
};

// Fills a picture from a colour function of picture coordinates (x right, y down, one unit a
// pixel), averaging samplesPerSide x samplesPerSide samples over each pixel to smooth edges.
template <class ColourAt>
void paintPicture(Picture& picture, ColourAt colourAt, int samplesPerSide) {
    const double weight = 1.0 / (samplesPerSide * samplesPerSide);
    for (int y = 0; y < kPictureSize; ++y)
        for (int x = 0; x < kPictureSize; ++x) {
            Colour sum{0, 0, 0};
            for (int sy = 0; sy < samplesPerSide; ++sy)
                for (int sx = 0; sx < samplesPerSide; ++sx)
                    sum = sum + colourAt(x + (sx + 0.5) / samplesPerSide,
                                         y + (sy + 0.5) / samplesPerSide);
            picture.at(x, y) = sum * weight;
        }
}
