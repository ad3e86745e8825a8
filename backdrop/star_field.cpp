// The star field: random coloured points in one display list, drawn twice per frame.
#include "backdrop/star_field.h"

#include <GL/gl.h>

#include <cmath>

#include "motion/random.h"

namespace {
constexpr double kInnerCubeMargin = 0.01;  // the empty centre cube is this much larger
constexpr double kTintedShare = 0.1;       // one star in ten is strongly tinted
constexpr double kTintedLow = 0.3, kTintedSpread = 0.5;  // tinted channels in [0.3, 0.8)
constexpr double kPaleLow = 0.5, kPaleSpread = 0.3;      // pale channels in [0.5, 0.8)
constexpr float kSecondPassTurn = 120.0f;                // degrees about y
constexpr float kFirstPassPointSize = 1.0f;
constexpr float kSecondPassPointSize = 2.0f;
// With the program's extents three candidates in four are accepted. Extents that no candidate
// can meet would loop forever; after this many misses the field is left with the stars placed.
constexpr int kMaxCandidatesPerStar = 100000;

struct Point {
    double x, y, z;
};

bool accepted(const Point& p, double outer, double inner, int shape) {
    if (shape == kCubeShell) {
        double edge = inner + kInnerCubeMargin;
        return std::fabs(p.x) >= edge || std::fabs(p.y) >= edge || std::fabs(p.z) >= edge;
    }
    double d = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
    bool inShell = inner <= d && d <= outer;
    return shape == kUpperHalfShell ? inShell && p.y >= 0 : inShell;
}

Point randomCandidate(double outer) {
    double range = 2.0 * outer;
    Point p;
    p.x = uniformRandom(range) - outer;
    p.y = uniformRandom(range) - outer;
    p.z = uniformRandom(range) - outer;
    return p;
}

// Draws candidates until the shape accepts one; false if none is accepted in time.
bool placeStar(Point& p, double outer, double inner, int shape) {
    for (int attempt = 0; attempt < kMaxCandidatesPerStar; ++attempt) {
        p = randomCandidate(outer);
        if (accepted(p, outer, inner, shape))
            return true;
    }
    return false;
}

// Channels are drawn blue first, then green, then red.
void emitStarColour() {
    bool tinted = uniformRandom(1.0) < kTintedShare;
    double low = tinted ? kTintedLow : kPaleLow;
    double spread = tinted ? kTintedSpread : kPaleSpread;
    double blue = low + uniformRandom(spread);
    double green = low + uniformRandom(spread);
    double red = low + uniformRandom(spread);
    glColor3f(static_cast<float>(red), static_cast<float>(green), static_cast<float>(blue));
}
}  // namespace

StarField::~StarField() = default;

void StarField::build(int count, float outerRadius, float innerRadius, int shape) {
    release();
    listId = static_cast<int>(glGenLists(1));
    glNewList(static_cast<GLuint>(listId), GL_COMPILE);
    glBegin(GL_POINTS);
    for (int star = 0; star < count; ++star) {
        Point p;
        if (!placeStar(p, outerRadius, innerRadius, shape))
            break;
        emitStarColour();
        glVertex3d(p.x, p.y, p.z);
    }
    glEnd();
    glEndList();
}

void StarField::draw() {
    glColor3f(1, 1, 1);
    glEnable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPushMatrix();
    glPointSize(kFirstPassPointSize);
    glCallList(static_cast<GLuint>(listId));
    glRotatef(kSecondPassTurn, 0, 1, 0);
    glPointSize(kSecondPassPointSize);
    glCallList(static_cast<GLuint>(listId));
    glPopMatrix();
    glDisable(GL_DEPTH_TEST);
}

void StarField::release() {
    if (listId != -1)
        glDeleteLists(static_cast<GLuint>(listId), 1);
    listId = -1;
}
