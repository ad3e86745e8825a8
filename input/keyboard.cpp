// Character-key commands: one flat switch per stage, one case per key.
//
// Globals:
//   letterboxPhase  bounce counter behind the letterbox key, -5..6; letterbox is its size
//   numberCounter   0..15, stepped and shown by 'n'; nothing else reads it
#include "input/keyboard.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "board/pin_board.h"
#include "images/picture_show.h"
#include "input/setting_steps.h"
#include "overlay/text_overlay.h"
#include "state/frame_clock.h"
#include "state/program_commands.h"
#include "state/settings.h"
#include "state/window_state.h"

int letterboxPhase = 0;
int numberCounter = 0;

namespace {
constexpr unsigned char kEscape = 27;
constexpr double kSmaller = 0.95, kLarger = 1.055555;  // not exact inverses either
constexpr double kCameraZStep = 0.05;
constexpr int kNumberCounterLimit = 15;

unsigned char lowerCase(unsigned char key) {
    return key >= 'A' && key <= 'Z' ? static_cast<unsigned char>(key - 'A' + 'a') : key;
}

int toggled(int flag) {
    return flag == 0 ? 1 : 0;
}

// Cycles 0..last: a value at or above `last` wraps to 0.
int cycled(int value, int last) {
    return value >= last ? 0 : value + 1;
}

void toggleWithMessage(int& flag, const char* onText, const char* offText) {
    flag = toggled(flag);
    textOverlay.showMessage(flag ? onText : offText);
}

void stepFieldOfView(int delta) {
    int value = settings.fieldOfView + delta;
    if (value >= kMaxFieldOfView)
        value = kMaxFieldOfView;
    if (value <= kMinFieldOfView)
        value = kMinFieldOfView;
    settings.fieldOfView = value;
    textOverlay.showMessageFloat("FOV: %3.0f Degrees\n", value);
}

void stepTesselation(int delta) {
    int value = settings.tesselation + delta;
    if (value < kMinTesselation)
        value = kMinTesselation;
    if (value > kMaxTesselation)
        value = kMaxTesselation;
    settings.tesselation = value;
    textOverlay.showMessageInt("Tesselation: %d\n", value);
    buildPinModel();
}

void toggleHelp() {
    helpShown = toggled(helpShown);
    if (!helpShown && settings.blanking != kHyperspace)
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Full screen goes with the manual camera and a hidden cursor, the window with the
// automatic camera and the arrow cursor.
void toggleFullScreen() {
    fullScreen = toggled(fullScreen);
    if (!fullScreen) {
        settings.cameraMode = kAutomaticCamera;
        programCommands.leaveFullScreen(kWindowedSize, kWindowedSize);
        programCommands.showCursor(true);
    } else {
        settings.cameraMode = kManualCamera;
        programCommands.enterFullScreen();
        programCommands.showCursor(false);
        forceClear = kClearNextFrame;
    }
}

// The bars grow to six and shrink back to none, twelve presses a cycle. A letterbox changed
// elsewhere (by a reset) puts the bounce back in step first.
void bounceLetterbox() {
    if (std::abs(letterboxPhase) != settings.letterbox)
        letterboxPhase = settings.letterbox;
    letterboxPhase = letterboxPhase == kMaxLetterbox ? 1 - kMaxLetterbox : letterboxPhase + 1;
    settings.letterbox = std::abs(letterboxPhase);
    textOverlay.showMessageInt("Letterbox: %d", settings.letterbox);
    forceClear = kClearNextFrame;
}

// Starts the fade-out; the frame driver ends the process when it has run.
void startQuitting() {
    quitting = 1;
    quitPressedMs = elapsedMs;
    settings.blanking = kBlankEveryFrame;
    helpShown = 0;
}

// A user picture still being decoded comes on when it is, announced by the frame.
void cycleImage() {
    if (stepPictureByKey())
        announceImage();
}

void cycleTextureGeneration() {
    static const char* const names[] = {"Option 0/2: Sphere Map", "Option 1/2: Object Map",
                                        "Option 2/2: Eye Map"};
    settings.texGenMode = cycled(settings.texGenMode, kEyeLinear);
    textOverlay.showMessage(names[settings.texGenMode]);
}

void cyclePolygonMode() {
    static const char* const names[] = {"PolyMode 1/3: Polygons", "PolyMode 2/3: Lines",
                                        "PolyMode 3/3: Points"};
    settings.polyMode = cycled(settings.polyMode, kPolygonPoints);
    textOverlay.showMessage(names[settings.polyMode]);
}

void toggleCamera() {
    settings.cameraMode = cycled(settings.cameraMode, kManualCamera);
    textOverlay.showMessage(settings.cameraMode == kAutomaticCamera
                                ? "Camera 1: Auto"
                                : "Camera 2: Manual Mouse/Arrow Key Control");
}

// Space: hyperspace on or off.
void toggleBlanking() {
    settings.blanking = settings.blanking == kHyperspace ? kBlankEveryFrame : kHyperspace;
}

void firstStage(unsigned char key) {
    switch (lowerCase(key)) {
        case kEscape: startQuitting(); break;
        case ' ': toggleBlanking(); break;
        case '(':
            scaleSetting(settings.lightRotateSpeed, kSlower, "Light Rotate Speed: %4.2f\n");
            break;
        case ')':
            scaleSetting(settings.lightRotateSpeed, kFaster, "Light Rotate Speed: %4.2f\n");
            break;
        case '+': scaleSetting(settings.movementSpeed, kFaster, "Movement Speed: %4.2f\n"); break;
        case '_': scaleSetting(settings.movementSpeed, kSlower, "Movement Speed: %4.2f\n"); break;
        case '=': scaleSetting(settings.rotateSpeed, kFaster, "Rotate Speed: %4.2f\n"); break;
        case '-': scaleSetting(settings.rotateSpeed, kSlower, "Rotate Speed: %4.2f\n"); break;
        case '[': scaleSetting(settings.objectSize, kSmaller, "Object Size: %4.2f\n"); break;
        case ']': scaleSetting(settings.objectSize, kLarger, "Object Size: %4.2f\n"); break;
        case '{': shiftSetting(settings.cameraZ, -kCameraZStep, "CameraZ: %4.2f\n"); break;
        case '}': shiftSetting(settings.cameraZ, kCameraZStep, "CameraZ: %4.2f\n"); break;
        case ',': stepFieldOfView(+1); break;
        case '.': stepFieldOfView(-1); break;
        case '/':
        case '?': toggleHelp(); break;
        case 'c':
            toggleWithMessage(settings.clockOn, "Frame/Second Clock On", "Frame/Second Clock Off");
            break;
        case 'f': toggleFullScreen(); break;
        case 'l': bounceLetterbox(); break;
        case 'p': toggleWithMessage(paused, "Pause Motion", "Continue Motion"); break;
        case 'r': programCommands.reset(); break;
        case 's': settings.spotlightOn = toggled(settings.spotlightOn); break;
        case 't': toggleWithMessage(settings.texturesOn, "Textures On", "Textures Off"); break;
        case 'u': toggleWithMessage(settings.universeOn, "Universe On", "Universe Off"); break;
        case 'v': toggleCamera(); break;
        case 'w': cyclePolygonMode(); break;
        default: break;
    }
}
}  // namespace

void onKeyboard(unsigned char key, int, int) {
    forceClear = kNoClearRequested;  // every key, with a command or not, cancels a pending clear
    firstStage(key);
    keyboardTail(key);
}

void announceImage() {
    char text[kMessageCapacity];
    std::snprintf(text, sizeof text, "Image %d/%d: %s", settings.imageIndex, pictureCount() - 1,
                  pictureName(settings.imageIndex));
    textOverlay.showMessage(text);
}

void keyboardTail(unsigned char key) {
    switch (lowerCase(key)) {
        case '<': stepTesselation(-1); break;
        case '>': stepTesselation(+1); break;
        case 'i': cycleImage(); break;
        case 'n':
            numberCounter = numberCounter >= kNumberCounterLimit ? 0 : numberCounter + 1;
            textOverlay.showMessageInt("# : %d", numberCounter);
            break;
        case 'o': cycleTextureGeneration(); break;
        default: break;
    }
}
