// The scene both hosts draw: its one-time set-up, the size it is drawn at, its release.
#include "app/scene.h"

#include <GL/gl.h>

#include "app/reset.h"
#include "backdrop/star_field.h"
#include "images/texture_table.h"
#include "motion/oscillator_bank.h"
#include "overlay/text_overlay.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "state/window_state.h"
#include "view/projection.h"

namespace {
PictureShowOptions showOptions;  // the picture show chosen, its duration resolved
PictureSource showSource;
bool showWaitsForDecodes = false;

constexpr int kStarCount = 2000;
constexpr float kStarOuterExtent = 8.0f;  // stars fill the cube -8..8...
constexpr float kStarInnerExtent = 5.0f;  // ...outside the central cube of half-size 5.01

// Fixed GL state: colour material, light model and fog are loaded although lighting and fog
// are never enabled, so they leave the picture as it is.
void setFixedGlState() {
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glMateriali(GL_FRONT_AND_BACK, GL_SHININESS, 5);
    glShadeModel(GL_SMOOTH);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0.0f);
    glDisable(GL_DITHER);
    const GLfloat fogColour[] = {0, 0, 0, 1};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, fogColour);
    glFogf(GL_FOG_START, 0.5f);
    glFogf(GL_FOG_END, 10.0f);
    glFogf(GL_FOG_DENSITY, 0.1f);
}
}  // namespace

void setUpScene() {
    startPictureShow(showOptions, static_cast<unsigned int>(elapsedMs), showSource,
                     showWaitsForDecodes);
    resetSettings();  // which starts the show on its first picture
    glClearColor(0, 0, 0, 1);
    setupView();
    setFixedGlState();
    seedOscillators(oscillatorCount);
    starField.build(kStarCount, kStarOuterExtent, kStarInnerExtent, kCubeShell);
    loadTextures();
    textOverlay.fontTexture = textureIds[0];
}

int pictureSeconds(int durationSeconds, Host host) {
    if (durationSeconds >= 0)
        return durationSeconds;
    return host == Host::ownWindow ? kOwnWindowPictureSeconds : kGivenWindowPictureSeconds;
}

void choosePictureShow(PictureShowOptions options, Host host, PictureSource source,
                       bool waitForDecodes) {
    options.durationSeconds = pictureSeconds(options.durationSeconds, host);
    showOptions = options;
    showSource = std::move(source);
    showWaitsForDecodes = waitForDecodes;
}

void onReshape(int width, int height) {
    windowWidth = width;
    windowHeight = height;
    glViewport(0, 0, width, height);
}

void releaseGraphics() {
    stopPictureShow();
    starField.release();
    if (textureCount != 0)
        glDeleteTextures(textureCount, textureIds);
}
