// The fish-eye picture: a sunny tiled square between rows of painted houses, with an avenue
// running to a tower on the horizon, seen through a 180-degree equidistant fish-eye lens.
// Each pixel casts a ray into a small scene of boxes and a ground plane.
#include "fisheye_picture.h"

#include <cmath>
#include <vector>

namespace {
constexpr double kPi = 3.14159265358979323846;

// Lens: the image circle and its field of view.
constexpr double kCircleCentre = kPictureSize / 2.0;  // pixels
constexpr double kCircleRadius = 62.0;                // pixels
constexpr double kHalfField = kPi / 2.0;              // 90 degrees from the axis to the rim
constexpr double kCameraHeight = 1.7;                 // metres above the square
constexpr double kCameraPitch = 8.0 * kPi / 180.0;    // looking this far above level
constexpr int kSamplesPerSide = 4;                    // 16 rays per pixel

// Town: blocks of houses on a grid either side of an avenue along +z.
constexpr double kBlockPitch = 14.0;    // metres from one block's centre to the next
constexpr double kBlockHalfSide = 5.0;  // a block is 10 m square
constexpr double kAvenueHalfWidth = 6.0;
constexpr int kBlocksAcross = 3;  // on each side of the avenue
constexpr int kBlocksAlong = 7;
constexpr double kFirstBlockZ = -17.0;
constexpr double kTowerZ = 120.0;
constexpr double kHazeDistance = 160.0;  // metres at which the air has taken 63 % of a colour

// Facades: storey height and window bays.
constexpr double kStorey = 3.0;
constexpr double kBay = 2.5;
constexpr double kTile = 2.0;  // paving tiles, metres

struct Vec {
    double x, y, z;
};
Vec operator+(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec operator*(Vec a, double k) {
    return {a.x * k, a.y * k, a.z * k};
}
double dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec normalised(Vec v) {
    return v * (1.0 / std::sqrt(dot(v, v)));
}

const Vec kToSun = normalised({-0.45, 0.85, -0.30});  // high, behind the viewer's left

const Colour kLensBlack{0.02, 0.02, 0.03};
const Colour kZenith{0.16, 0.38, 0.82};
const Colour kHorizonSky{0.72, 0.85, 0.97};
const Colour kSunlight{1.0, 0.96, 0.86};
const Colour kShade{0.42, 0.48, 0.62};  // skylight in shadow
const Colour kTerracotta{0.80, 0.42, 0.27};
const Colour kCream{0.94, 0.88, 0.74};
const Colour kGlass{0.20, 0.28, 0.42};
const Colour kRoof{0.45, 0.30, 0.26};
const Colour kFacades[] = {{0.95, 0.72, 0.30}, {0.92, 0.48, 0.40}, {0.45, 0.70, 0.90},
                           {0.55, 0.82, 0.52}, {0.78, 0.58, 0.90}, {0.96, 0.86, 0.55},
                           {0.96, 0.56, 0.22}, {0.40, 0.72, 0.68}};

struct Box {
    Vec low, high;
    Colour facade;
};

struct Hit {
    double distance = 1e30;
    Vec normal{0, 0, 0};
    const Box* box = nullptr;  // null: the ground
};

// A fixed pseudo-random number in [0, 1) for a block (its height), the same on every run.
double blockValue(int i, int j) {
    return valueNoise(i * 7.31, j * 3.17, 40u);
}

std::vector<Box> buildTown() {
    std::vector<Box> town;
    for (int side = -1; side <= 1; side += 2)
        for (int i = 0; i < kBlocksAcross; ++i)
            for (int j = 0; j < kBlocksAlong; ++j) {
                double cx = side * (kAvenueHalfWidth + kBlockHalfSide + i * kBlockPitch);
                double cz = kFirstBlockZ + j * kBlockPitch;
                double height = 7.0 + 20.0 * blockValue(side * 5 + i, j);
                int colour = (3 * i + 5 * j + (side > 0 ? 4 : 0)) % 8;  // neighbours differ
                town.push_back({{cx - kBlockHalfSide, 0, cz - kBlockHalfSide},
                                {cx + kBlockHalfSide, height, cz + kBlockHalfSide},
                                kFacades[colour]});
            }
    town.push_back({{-4, 0, kTowerZ - 4}, {4, 55, kTowerZ + 4}, {0.90, 0.80, 0.62}});
    return town;
}

// Slab test of a ray against a box; keeps the nearest hit in front of the origin.
void hitBox(Vec origin, Vec direction, const Box& box, Hit& hit) {
    double nearest = -1e30, farthest = 1e30;
    Vec normal{0, 0, 0};
    const double o[3] = {origin.x, origin.y, origin.z};
    const double d[3] = {direction.x, direction.y, direction.z};
    const double lo[3] = {box.low.x, box.low.y, box.low.z};
    const double hi[3] = {box.high.x, box.high.y, box.high.z};
    for (int axis = 0; axis < 3; ++axis) {
        if (std::fabs(d[axis]) < 1e-12) {
            if (o[axis] < lo[axis] || o[axis] > hi[axis])
                return;
            continue;
        }
        double t0 = (lo[axis] - o[axis]) / d[axis];
        double t1 = (hi[axis] - o[axis]) / d[axis];
        double sign = -1.0;
        if (t0 > t1) {
            std::swap(t0, t1);
            sign = 1.0;
        }
        if (t0 > nearest) {
            nearest = t0;
            normal = Vec{axis == 0 ? sign : 0, axis == 1 ? sign : 0, axis == 2 ? sign : 0};
        }
        farthest = std::fmin(farthest, t1);
    }
    if (nearest > 1e-6 && nearest <= farthest && nearest < hit.distance) {
        hit.distance = nearest;
        hit.normal = normal;
        hit.box = &box;
    }
}

Hit traceRay(Vec origin, Vec direction, const std::vector<Box>& town) {
    Hit hit;
    if (direction.y < 0) {
        hit.distance = -origin.y / direction.y;
        hit.normal = {0, 1, 0};
    }
    for (const Box& box : town)
        hitBox(origin, direction, box, hit);
    return hit;
}

bool inShadow(Vec point, const std::vector<Box>& town) {
    return traceRay(point + kToSun * 1e-4, kToSun, town).box != nullptr;
}

Colour skyColour(Vec direction) {
    double up = std::fmax(direction.y, 0.0);
    Colour sky = mix(kHorizonSky, kZenith, std::pow(up, 0.6));
    // Fair-weather clouds on a plane high above, thinning toward the horizon.
    double spread = 1.0 / (up + 0.08);
    double cloud =
        fractalNoise(direction.x * spread * 1.6 + 3.0, direction.z * spread * 1.6, 11u, 4);
    sky = mix(sky, Colour{1, 1, 1}, smoothstep(0.50, 0.72, cloud) * smoothstep(0.0, 0.25, up));
    double glow = std::pow(std::fmax(dot(direction, kToSun), 0.0), 60.0);
    return mix(sky, kSunlight, glow);
}

Colour pavingColour(Vec point) {
    int u = static_cast<int>(std::floor(point.x / kTile));
    int v = static_cast<int>(std::floor(point.z / kTile));
    Colour tile = (u + v) % 2 == 0 ? kTerracotta : kCream;
    double fu = point.x / kTile - u, fv = point.z / kTile - v;
    double grout = std::fmin(std::fmin(fu, 1 - fu), std::fmin(fv, 1 - fv));
    return mix(tile * 0.55, tile, smoothstep(0.0, 0.05, grout));
}

Colour facadeColour(const Box& box, Vec point, Vec normal) {
    if (normal.y > 0.5)
        return kRoof;
    double along = normal.x != 0 ? point.z : point.x;
    double bay = along / kBay - std::floor(along / kBay);
    double storey = point.y / kStorey - std::floor(point.y / kStorey);
    bool window = bay > 0.28 && bay < 0.72 && storey > 0.30 && storey < 0.78;
    if (point.y < kStorey)  // shop fronts: a dark band of glass along the street
        window = storey > 0.15 && storey < 0.85 && bay > 0.1 && bay < 0.9;
    return window ? mix(kGlass, kHorizonSky, 0.35 * storey) : box.facade;
}

Colour sceneColour(Vec origin, Vec direction, const std::vector<Box>& town) {
    Hit hit = traceRay(origin, direction, town);
    if (hit.distance >= 1e29)
        return skyColour(direction);
    Vec point = origin + direction * hit.distance;
    Colour surface = hit.box ? facadeColour(*hit.box, point, hit.normal) : pavingColour(point);
    double sun = std::fmax(dot(hit.normal, kToSun), 0.0);
    if (sun > 0 && inShadow(point, town))
        sun = 0;
    Colour lit = surface * (kShade + kSunlight * (0.7 * sun));
    double haze = 1.0 - std::exp(-hit.distance / kHazeDistance);
    return mix(lit, kHorizonSky, haze);
}

// Equidistant mapping: the angle from the lens axis grows in step with the distance from
// the centre of the image circle.
Colour lensColour(double x, double y, const std::vector<Box>& town) {
    double dx = (x - kCircleCentre) / kCircleRadius;
    double dy = (kCircleCentre - y) / kCircleRadius;
    double r = std::sqrt(dx * dx + dy * dy);
    if (r > 1.0)
        return kLensBlack;
    double angle = r * kHalfField;
    double around = std::atan2(dy, dx);
    Vec ray{std::sin(angle) * std::cos(around), std::sin(angle) * std::sin(around),
            std::cos(angle)};
    // Tilt the lens up by the pitch (a turn about the x axis).
    Vec direction{ray.x, ray.y * std::cos(kCameraPitch) + ray.z * std::sin(kCameraPitch),
                  ray.z * std::cos(kCameraPitch) - ray.y * std::sin(kCameraPitch)};
    Colour scene = sceneColour({0, kCameraHeight, 0}, direction, town);
    double vignette = 1.0 - 0.45 * std::pow(r, 6.0);
    return scene * vignette;
}
}  // namespace

Picture paintFisheye() {
    const std::vector<Box> town = buildTown();
    Picture picture;
    paintPicture(
        picture, [&](double x, double y) { return lensColour(x, y, town); }, kSamplesPerSide);
    return picture;
}
