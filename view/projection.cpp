// The 3-D view of a frame: polygon mode, letterboxed viewport, perspective and eye.
#include "view/projection.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "state/settings.h"
#include "state/window_state.h"

namespace {
constexpr double kBarFractionPerLevel = 0.05;  // each letterbox level adds 5% per bar
constexpr double kFullLetterboxLevel = 6.0;
constexpr double kFullLetterboxNarrowing = 29.0;  // degrees taken off the view at level 6
constexpr double kNearPlane = 0.02;
constexpr double kFarBeyondEye = 14.0;  // the far plane lies this far past the eye's z

void setPolygonMode() {
    switch (settings.polyMode) {
        case kFilledPolygons: glPolygonMode(GL_FRONT_AND_BACK, GL_FILL); break;
        case kPolygonLines: glPolygonMode(GL_FRONT_AND_BACK, GL_LINE); break;
        case kPolygonPoints: glPolygonMode(GL_FRONT_AND_BACK, GL_POINT); break;
        default: break;  // an unknown mode keeps whatever is set
    }
}
}  // namespace

void setupView() {
    setPolygonMode();

    double barFraction = settings.letterbox * kBarFractionPerLevel;
    int bottom = static_cast<int>(barFraction * windowHeight);
    int top = static_cast<int>((1.0 - barFraction) * windowHeight);
    int visibleHeight = top - bottom;
    glViewport(0, bottom, windowWidth, visibleHeight);

    double fovy =
        settings.fieldOfView - settings.letterbox / kFullLetterboxLevel * kFullLetterboxNarrowing;
    // No visible rows (no window yet, or a sliver at a high level): any finite aspect will do,
    // since nothing is drawn, and it keeps the projection free of infinities.
    double aspect = visibleHeight > 0 ? static_cast<double>(windowWidth) / visibleHeight : 1.0;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fovy, aspect, kNearPlane, settings.cameraZ + kFarBeyondEye);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 0, settings.cameraZ, 0, 0, settings.cameraZ - 1, 0, 1, 0);
}
