// The pin board: one pin model in a display list, drawn 2T x T times on a waving relief.
//
// Globals:
//   pinListId  display list of the one pin model; -1 while none exists
#include "board/pin_board.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "board/spotlight.h"
#include "images/picture_show.h"
#include "motion/oscillator_bank.h"
#include "state/frame_clock.h"
#include "state/settings.h"

int pinListId = -1;

namespace {
// Pin model, in model units along the pin's axis +z.
constexpr double kShaftRadius = 0.02;
constexpr double kShaftLength = 1.0;
constexpr int kShaftSlices = 10;
constexpr double kHeadRadiusTimesT = 1.5;  // head radius is 1.5 / T
constexpr int kHeadSlices = 12;

// Board layout: 2T columns by T rows over a board 8 wide and 4 high.
constexpr float kBoardWidth = 8.0f;
constexpr float kBoardLeft = -4.0f, kBoardBottom = -2.0f;
constexpr float kWaveTesselation = 20.0f;  // the wave factor is 1 at this pin count
constexpr double kWaveDepth = 0.4;         // pins sway +-0.4 along z...
constexpr double kWaveRest = -0.5;         // ...about this offset
constexpr double kWaveFrequency = 10;      // of the two oscillators read as wave numbers
constexpr double kWaveNumberSpan = 1, kWaveNumberLow = -0.5;

// The back plate, in board coordinates after the layout move.
constexpr float kPlateMargin = 0.1f;
constexpr float kPlateWidth = 8.0f, kPlateHeight = 4.1f;
constexpr float kPlateGrey = 0.1f;  // of the brightness

// Spotlight levels loaded while the spotlight is on.
constexpr float kSpotAmbient = 0.5f, kSpotDiffuse = 0.75f, kSpotSpecular = 0.99f;
constexpr float kSpotMaterialSpecular = 0.99f;

void setTextureGeneration(int mode) {
    static const GLfloat sPlane[] = {1, 0, 0, 0};
    static const GLfloat tPlane[] = {0, 1, 0, 0};
    static const GLfloat qPlane[] = {0, 0, 1, 0};
    switch (mode) {
        case kSphereMap:
            glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
            glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
            break;
        case kObjectLinear:  // q from the object z: s and t are divided by the vertex's own z
            glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
            glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
            glTexGeni(GL_Q, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
            glTexGenfv(GL_S, GL_OBJECT_PLANE, sPlane);
            glTexGenfv(GL_T, GL_OBJECT_PLANE, tPlane);
            glTexGenfv(GL_Q, GL_OBJECT_PLANE, qPlane);
            glEnable(GL_TEXTURE_GEN_Q);
            break;
        case kEyeLinear:  // the eye planes keep GL's defaults
            glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
            glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
            break;
        default: break;
    }
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
}

void beginPicture() {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, pictureTexture(settings.imageIndex));
    setTextureGeneration(settings.texGenMode);
}

// The binding is left as it is.
void endPicture() {
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    if (settings.texGenMode == kObjectLinear)
        glDisable(GL_TEXTURE_GEN_Q);
}

// The wave's numbers across the columns and up the rows stand still within a frame.
void drawPins(int tesselation) {
    int columns = 2 * tesselation;
    float spacing = kBoardWidth / static_cast<float>(columns);
    float halfSpacing = spacing * 0.5f;
    float waveFactor = kWaveTesselation / static_cast<float>(tesselation);
    double kx = oscillatorValue(kPinWaveAcross, kWaveFrequency, kWaveNumberSpan, kWaveNumberLow);
    double ky = oscillatorValue(kPinWaveUp, kWaveFrequency, kWaveNumberSpan, kWaveNumberLow);
    for (int i = 0; i < columns; ++i) {
        for (int j = 0; j < tesselation; ++j) {
            double a = kx * i * waveFactor;
            auto z = static_cast<float>(std::sin(ky * j * waveFactor + a) * kWaveDepth + kWaveRest);
            glPushMatrix();
            glTranslatef(static_cast<float>(i) * spacing,
                         static_cast<float>(j) * spacing + static_cast<float>(i % 2) * halfSpacing,
                         z);
            glCallList(static_cast<GLuint>(pinListId));
            glPopMatrix();
        }
    }
}

void drawBackPlate() {
    float grey = brightness * kPlateGrey;
    glColor3f(grey, grey, grey);
    glTranslatef(-kPlateMargin, -kPlateMargin, 0);
    glBegin(GL_QUADS);
    glVertex3f(0, 0, 0);
    glVertex3f(kPlateWidth, 0, 0);
    glVertex3f(kPlateWidth, kPlateHeight, 0);
    glVertex3f(0, kPlateHeight, 0);
    glEnd();
}
}  // namespace

int buildPinModel() {
    auto headRadius = static_cast<float>(kHeadRadiusTimesT / settings.tesselation);
    GLUquadric* quadric = gluNewQuadric();
    if (pinListId != -1) {
        glDeleteLists(static_cast<GLuint>(pinListId), 1);
        pinListId = -1;
    }
    pinListId = static_cast<int>(glGenLists(1));
    glNewList(static_cast<GLuint>(pinListId), GL_COMPILE);
    if (quadric) {  // without a quadric the pin is an empty list: the board shows its plate
        gluQuadricTexture(quadric, GL_TRUE);
        gluCylinder(quadric, kShaftRadius, kShaftRadius, kShaftLength, kShaftSlices, 1);
        glTranslatef(0, 0, static_cast<float>(kShaftLength));
        gluDisk(quadric, 0, headRadius, kHeadSlices, 1);
    }
    glEndList();
    if (quadric)
        gluDeleteQuadric(quadric);
    return pinListId;
}

void drawBoard() {
    if (settings.spotlightOn)
        setupSpotlight(0, kSpotAmbient, kSpotDiffuse, kSpotSpecular, kSpotMaterialSpecular,
                       brightness);
    glPushMatrix();
    drawPinBoard();
    glPopMatrix();
}

// The pins carry the picture's fade as well as the board's: a change of picture goes through
// dark on the pins, while the plate behind keeps its light.
void drawPinBoard() {
    const float pins = settings.texturesOn ? brightness * pictureLevel() : brightness;
    glColor3f(pins, pins, pins);
    if (settings.texturesOn)
        beginPicture();
    glEnable(GL_DEPTH_TEST);
    glTranslatef(kBoardLeft, kBoardBottom, 0);
    drawPins(settings.tesselation);
    if (settings.texturesOn)
        endPicture();
    drawBackPlate();
    glDisable(GL_DEPTH_TEST);
}
