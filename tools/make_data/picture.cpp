// Colour, shape and noise helpers for painting the data files.
#include "picture.h"

#include <cmath>
#include <cstdint>

Colour operator+(Colour a, Colour b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
Colour operator*(Colour c, double k) {
    return {c.r * k, c.g * k, c.b * k};
}
Colour operator*(Colour a, Colour b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}
Colour mix(Colour a, Colour b, double t) {
    return a * (1.0 - t) + b * t;
}

double clamp01(double x) {
    return x < 0.0 ? 0.0 : (x > 1.0 ? 1.0 : x);
}

double smoothstep(double edge0, double edge1, double x) {
    double t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

double ellipseMask(double x, double y, double cx, double cy, double rx, double ry, double soft) {
    double dx = (x - cx) / rx;
    double dy = (y - cy) / ry;
    double distance = std::sqrt(dx * dx + dy * dy);
    return 1.0 - smoothstep(1.0 - soft, 1.0 + soft, distance);
}

namespace {
// An integer hash of a lattice point (a fixed mixing function, so no seeding by time).
double latticeValue(int x, int y, unsigned seed) {
    uint32_t h = static_cast<uint32_t>(x) * 0x8da6b343u ^ static_cast<uint32_t>(y) * 0xd8163841u ^
                 seed * 0xcb1ab31fu;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return (h & 0xFFFFFFu) / 16777216.0;
}
}  // namespace

double valueNoise(double x, double y, unsigned seed) {
    int x0 = static_cast<int>(std::floor(x));
    int y0 = static_cast<int>(std::floor(y));
    double fx = smoothstep(0.0, 1.0, x - x0);
    double fy = smoothstep(0.0, 1.0, y - y0);
    double top = latticeValue(x0, y0, seed) * (1 - fx) + latticeValue(x0 + 1, y0, seed) * fx;
    double bottom =
        latticeValue(x0, y0 + 1, seed) * (1 - fx) + latticeValue(x0 + 1, y0 + 1, seed) * fx;
    return top * (1 - fy) + bottom * fy;
}

double fractalNoise(double x, double y, unsigned seed, int octaves) {
    double sum = 0.0;
    double amplitude = 0.5;
    double total = 0.0;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += valueNoise(x, y, seed + octave) * amplitude;
        total += amplitude;
        x *= 2.0;
        y *= 2.0;
        amplitude *= 0.5;
    }
    return sum / total;
}

Picture::Picture() : pixels_(kPictureSize * kPictureSize, Colour{0, 0, 0}) {}
