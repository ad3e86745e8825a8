// The portrait, painted in layers from the back: sky, far mountains, hills with a winding road
// and a river, then the sitter's hair, dress, sleeves, hands, neck and face, and last a warm
// varnish with darkened corners. Coordinates are pixels, x to the right and y down.
#include "portrait_picture.h"

#include <cmath>

namespace {
constexpr int kSamplesPerSide = 4;

// The sitter: where the head and the body are.
constexpr double kHeadX = 64.0;
constexpr double kHeadY = 54.0;  // centre of the face oval
constexpr double kFaceHalfWidth = 13.0;
constexpr double kFaceHalfHeight = 17.5;
constexpr double kEyeY = kHeadY - 3.5;
constexpr double kEyeSpacing = 6.8;  // from the face's centre line to each eye
constexpr double kMouthY = kHeadY + 9.0;
constexpr double kShoulderY = 82.0;  // where the shoulders meet the neck
constexpr double kHorizonY = 46.0;   // the far hills' foot, near eye level

const Colour kSkyTop{0.46, 0.56, 0.52};
const Colour kSkyHaze{0.82, 0.80, 0.62};
const Colour kFarHills{0.44, 0.56, 0.54};
const Colour kNearHills{0.40, 0.36, 0.20};
const Colour kRoad{0.74, 0.60, 0.38};
const Colour kRiver{0.52, 0.64, 0.62};
const Colour kHair{0.16, 0.10, 0.05};
const Colour kDress{0.10, 0.09, 0.06};
const Colour kTrim{0.62, 0.46, 0.20};
const Colour kSleeve{0.56, 0.38, 0.17};
const Colour kSkin{0.86, 0.70, 0.50};
const Colour kSkinShadow{0.52, 0.36, 0.20};
const Colour kEyeDark{0.16, 0.10, 0.06};
const Colour kLips{0.55, 0.30, 0.20};
const Colour kVarnish{1.0, 0.95, 0.78};

// ---- Background ----

Colour skyAndMountains(double x, double y) {
    Colour sky = mix(kSkyTop, kSkyHaze, smoothstep(0.0, kHorizonY, y));
    // Two ranges of far, blue mountains: lower on the left, higher on the right.
    double ridge = 38.0 + 6.0 * smoothstep(90.0, 20.0, x) +
                   7.0 * (fractalNoise(x * 0.06, 1.0, 3u, 4) - 0.5) * 2.0;
    double range = 1.0 - smoothstep(ridge - 0.6, ridge + 0.6, y);
    Colour far = mix(kFarHills, kSkyHaze, 0.25 + 0.35 * fractalNoise(x * 0.2, y * 0.2, 5u, 3));
    return mix(far, sky, range);
}

// A road winding down the left hills and a river curling through the right.
double roadMask(double x, double y) {
    double centre = 22.0 + 9.0 * std::sin(y * 0.22) - (y - kHorizonY) * 0.25;
    double halfWidth = 0.6 + (y - kHorizonY) * 0.09;
    return 1.0 - smoothstep(halfWidth, halfWidth + 0.8, std::fabs(x - centre));
}

double riverMask(double x, double y) {
    double centre = 104.0 + 8.0 * std::sin(y * 0.18 + 1.3) + (y - kHorizonY) * 0.35;
    double halfWidth = 0.8 + (y - kHorizonY) * 0.12;
    return 1.0 - smoothstep(halfWidth, halfWidth + 0.8, std::fabs(x - centre));
}

Colour landscape(double x, double y) {
    Colour colour = skyAndMountains(x, y);
    double hillTop = kHorizonY + 2.0 + 3.0 * std::sin(x * 0.09) +
                     4.0 * (fractalNoise(x * 0.05, 7.0, 9u, 3) - 0.5);
    if (y < hillTop - 1.0)
        return colour;
    double depth = clamp01((y - hillTop) / 60.0);  // nearer hills are darker and warmer
    Colour hills = mix(mix(kFarHills, kNearHills, 0.5), kNearHills * 0.75, depth);
    hills = hills * (0.8 + 0.35 * fractalNoise(x * 0.15, y * 0.15, 13u, 4));
    hills = mix(hills, kRoad, roadMask(x, y) * 0.9);
    hills = mix(hills, kRiver, riverMask(x, y) * 0.85);
    return mix(colour, hills, smoothstep(hillTop - 1.0, hillTop + 0.5, y));
}

// ---- The sitter ----

// Long dark hair: a crown around the head and locks falling to the shoulders either side.
double hairMask(double x, double y) {
    double crown = ellipseMask(x, y, kHeadX, kHeadY - 3.0, 17.5, 22.0, 0.05);
    double wave = 1.2 * std::sin(y * 0.45);
    double lockTop = kHeadY - 6.0, lockBottom = kShoulderY + 14.0;
    double lockHalfWidth = 17.0 + (y - lockTop) * 0.22 + wave;
    double locks =
        (1.0 - smoothstep(lockHalfWidth - 0.8, lockHalfWidth + 0.8, std::fabs(x - kHeadX))) *
        smoothstep(lockTop, lockTop + 2.0, y) * (1.0 - smoothstep(lockBottom - 6.0, lockBottom, y));
    return std::fmax(crown, locks);
}

Colour hairColour(double x, double y) {
    // Long strands: noise stretched along the fall of the hair.
    double strands = fractalNoise(x * 0.45 + 2.0 * std::sin(y * 0.12), y * 0.04, 17u, 3);
    return kHair * (0.65 + 0.9 * strands);
}

// Shoulders fall away from the neck; everything below them is the dress.
double shoulderLine(double x) {
    double dx = std::fabs(x - kHeadX);
    return kShoulderY - 6.0 + 0.012 * dx * dx + 0.25 * dx;
}

double bodyMask(double x, double y) {
    return smoothstep(-0.7, 0.7, y - shoulderLine(x));
}

// The low, rounded neckline that shows the chest, with a golden trim along its edge.
double necklineDistance(double x, double y) {
    double dx = (x - kHeadX) / 19.0, dy = (y - (kShoulderY - 8.0)) / 17.0;
    return std::sqrt(dx * dx + dy * dy) - 1.0;
}

Colour dressColour(double x, double y) {
    // Soft vertical folds gathered toward the waist.
    double fold = std::sin((x - kHeadX) * 0.35 / (1.0 + (128.0 - y) * 0.01));
    Colour dress = kDress * (1.0 + 0.35 * fold);
    double trim = 1.0 - smoothstep(0.0, 0.06, std::fabs(necklineDistance(x, y) + 0.03));
    return mix(dress, kTrim, trim * 0.8);
}

// Sleeves of a golden-brown cloth on the forearms that cross at the bottom.
double sleeveMask(double x, double y) {
    double left = ellipseMask(x, y, 30.0, 122.0, 30.0, 14.0, 0.06);
    double right = ellipseMask(x, y, 100.0, 118.0, 26.0, 13.0, 0.06);
    return std::fmax(left, right);
}

Colour sleeveColour(double x, double y) {
    // Satin pleats catching the light, gathered in soft, uneven folds.
    double pleat = fractalNoise(x * 0.18 + y * 0.10, y * 0.05, 29u, 3);
    return kSleeve * (0.55 + 0.8 * smoothstep(0.25, 0.75, pleat));
}

// Distance from a point to the segment from (ax, ay) to (bx, by).
double segmentDistance(double x, double y, double ax, double ay, double bx, double by) {
    double vx = bx - ax, vy = by - ay;
    double t = clamp01(((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy));
    double dx = x - ax - vx * t, dy = y - ay - vy * t;
    return std::sqrt(dx * dx + dy * dy);
}

// The left hand rests flat; the right hand lies across its wrist, four fingers reaching to
// the viewer's right. Returns how far inside the hands a point is: above 0 inside, 1 deep in.
double handDepth(double x, double y) {
    double depth = 1.0 - segmentDistance(x, y, 70.0, 121.0, 86.0, 119.0) / 4.5;  // left hand
    depth = std::fmax(depth, 1.0 - segmentDistance(x, y, 52.0, 117.0, 63.0, 116.0) / 5.5);
    for (int finger = 0; finger < 4; ++finger) {
        double fy = 112.5 + finger * 2.5;
        double length = finger == 0 || finger == 3 ? 9.0 : 11.0;
        depth =
            std::fmax(depth, 1.0 - segmentDistance(x, y, 63.0, fy, 63.0 + length, fy + 1.5) / 1.35);
    }
    return depth;
}

double handMask(double x, double y) {
    return smoothstep(-0.12, 0.12, handDepth(x, y));
}

Colour handColour(double x, double y) {
    // Rounded forms: darker where a finger or the hand turns away at its edge.
    double round = smoothstep(0.0, 0.7, handDepth(x, y));
    Colour hand = mix(kSkinShadow, kSkin, 0.35 + 0.65 * round);
    return mix(hand, kSkinShadow, smoothstep(114.0, 126.0, y) * 0.35);
}

double neckMask(double x, double y) {
    double halfWidth = 6.5 + smoothstep(kShoulderY - 14.0, kShoulderY, y) * 2.0;
    return (1.0 - smoothstep(halfWidth - 0.7, halfWidth + 0.7, std::fabs(x - kHeadX))) *
           smoothstep(kHeadY, kHeadY + 2.0, y);
}

Colour neckAndChestColour(double x, double y) {
    // Shadow under the chin, and the light falling from the left.
    double chinShadow =
        1.0 - smoothstep(kHeadY + kFaceHalfHeight - 3.0, kHeadY + kFaceHalfHeight + 5.0, y);
    double side = smoothstep(-10.0, 14.0, x - kHeadX);
    return mix(kSkin, kSkinShadow, clamp01(0.55 * chinShadow + 0.35 * side));
}

// ---- The face ----

double faceMask(double x, double y) {
    return ellipseMask(x, y, kHeadX, kHeadY, kFaceHalfWidth, kFaceHalfHeight, 0.07);
}

// Smoky modelling: light from the upper left, shadow gathering at the rim of the oval.
Colour faceShading(double x, double y) {
    double dx = (x - kHeadX) / kFaceHalfWidth, dy = (y - kHeadY) / kFaceHalfHeight;
    double rim = smoothstep(0.45, 1.05, std::sqrt(dx * dx + dy * dy));
    double away = smoothstep(-0.6, 1.0, dx * 0.8 - dy * 0.3);
    Colour skin = mix(kSkin, kSkinShadow, clamp01(0.55 * rim + 0.35 * away));
    double forehead = ellipseMask(x, y, kHeadX - 3.0, kHeadY - 10.0, 6.0, 4.0, 0.8);
    return mix(skin, Colour{0.96, 0.84, 0.62}, forehead * 0.45);
}

double almondMask(double x, double y, double cx) {
    return ellipseMask(x, y, cx, kEyeY, 3.3, 1.35, 0.35);
}

Colour eyes(double x, double y, Colour skin) {
    for (double side = -1.0; side <= 1.0; side += 2.0) {
        double cx = kHeadX + side * kEyeSpacing;
        double socket = ellipseMask(x, y, cx, kEyeY - 0.6, 4.6, 2.8, 0.5);
        skin = mix(skin, kSkinShadow, socket * 0.45);
        double brow = ellipseMask(x, y, cx, kEyeY - 4.2, 4.5, 0.9, 0.6);
        skin = mix(skin, kSkinShadow, brow * 0.3);
        skin = mix(skin, Colour{0.80, 0.72, 0.58}, almondMask(x, y, cx) * 0.8);
        // The gaze turns a little toward the viewer's right.
        double iris = ellipseMask(x, y, cx + 0.6, kEyeY + 0.1, 1.4, 1.3, 0.3);
        skin = mix(skin, kEyeDark, iris * almondMask(x, y, cx));
    }
    return skin;
}

Colour nose(double x, double y, Colour skin) {
    double ridge = (1.0 - smoothstep(0.5, 1.6, std::fabs(x - (kHeadX + 1.6)))) *
                   smoothstep(kEyeY, kEyeY + 3.0, y) *
                   (1.0 - smoothstep(kMouthY - 5.0, kMouthY - 3.0, y));
    skin = mix(skin, kSkinShadow, ridge * 0.35);
    for (double side = -1.0; side <= 1.0; side += 2.0) {
        double nostril = ellipseMask(x, y, kHeadX + side * 2.0 + 0.5, kMouthY - 4.2, 1.3, 0.8, 0.4);
        skin = mix(skin, kSkinShadow * 0.8, nostril * 0.6);
    }
    return skin;
}

// A closed mouth whose corners lift: the hint of a smile.
Colour mouth(double x, double y, Colour skin) {
    double dx = x - kHeadX;
    double lipLine = kMouthY - 0.028 * dx * dx;
    double along = 1.0 - smoothstep(3.5, 5.5, std::fabs(dx));
    double line = (1.0 - smoothstep(0.15, 0.8, std::fabs(y - lipLine))) * along;
    double lowerLip = ellipseMask(x, y, kHeadX, kMouthY + 1.4, 4.0, 1.2, 0.5);
    skin = mix(skin, kLips, lowerLip * 0.35);
    skin = mix(skin, kLips * 0.7, line * 0.6);
    double dimples = 0.0;
    for (double side = -1.0; side <= 1.0; side += 2.0)
        dimples += ellipseMask(x, y, kHeadX + side * 5.6, kMouthY - 0.9, 1.0, 1.0, 0.6);
    return mix(skin, kSkinShadow, dimples * 0.3);
}

Colour faceColour(double x, double y) {
    return mouth(x, y, nose(x, y, eyes(x, y, faceShading(x, y))));
}

// ---- The whole painting ----

Colour sitter(double x, double y, Colour back) {
    Colour colour = mix(back, hairColour(x, y), hairMask(x, y));
    double body = bodyMask(x, y);
    double chest = smoothstep(0.02, -0.02, necklineDistance(x, y));
    colour = mix(colour, dressColour(x, y), body);
    colour = mix(colour, neckAndChestColour(x, y),
                 std::fmax(neckMask(x, y) * (1.0 - body), chest * body));
    colour = mix(colour, sleeveColour(x, y), sleeveMask(x, y));
    colour = mix(colour, handColour(x, y), handMask(x, y));
    return mix(colour, faceColour(x, y), faceMask(x, y));
}

// Old varnish: a warm cast, darkened corners and a faint grain of canvas.
Colour varnish(double x, double y, Colour colour) {
    double dx = (x - 64.0) / 64.0, dy = (y - 64.0) / 64.0;
    double corners = 1.0 - 0.45 * smoothstep(0.7, 1.45, std::sqrt(dx * dx + dy * dy));
    double grain = 0.96 + 0.08 * valueNoise(x * 1.7, y * 1.7, 23u);
    return colour * kVarnish * (corners * grain);
}

Colour portraitColour(double x, double y) {
    return varnish(x, y, sitter(x, y, landscape(x, y)));
}
}  // namespace

Picture paintPortrait() {
    Picture picture;
    paintPicture(picture, portraitColour, kSamplesPerSide);
    return picture;
}
