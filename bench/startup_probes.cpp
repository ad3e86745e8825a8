// Timers around the steps of the program's own scene set-up, to split initScene's time.
//
// Each __wrap_ function below receives the calls to the function whose mangled name follows
// the prefix (see bench/CMakeLists.txt); __real_ reaches the function itself.
#include "bench/startup_probes.h"

#include <GL/gl.h>

#include "bench/measure.h"

namespace bench {
namespace {
double spentMs[kStepCount] = {};

class StepTimer {
public:
    explicit StepTimer(Step step) : step_(step), start_(wallMs()) {}
    ~StepTimer() { spentMs[static_cast<int>(step_)] += wallMs() - start_; }
    StepTimer(const StepTimer&) = delete;
    StepTimer& operator=(const StepTimer&) = delete;

private:
    Step step_;
    double start_;
};
}  // namespace

const char* stepName(Step step) {
    switch (step) {
        case Step::resetSettings: return "reset_settings";
        case Step::buildPinModel: return "pin_model";
        case Step::seedOscillators: return "seed_oscillators";
        case Step::buildStarField: return "star_field";
        case Step::loadTextures: return "load_textures";
        case Step::uploadTextures: return "upload_textures";
        case Step::firstMessage: return "first_message";
        case Step::pointer: return "pointer";
    }
    return "?";
}

double stepMs(Step step) {
    return spentMs[static_cast<int>(step)];
}

void clearStepTimes() {
    for (double& ms : spentMs)
        ms = 0;
}

}  // namespace bench

class StarField;
class TextOverlay;

// The mangled names: resetSettings(), buildPinModel(), seedOscillators(int),
// StarField::build(int, float, float, int), loadTextures() and
// TextOverlay::showMessage(const char*); and the C functions of GL, GLU and GLUT below.
extern "C" {
void __real__Z13resetSettingsv();
int __real__Z13buildPinModelv();
void __real__Z15seedOscillatorsi(int count);
void __real__ZN9StarField5buildEiffi(StarField* self, int count, float outer, float inner,
                                     int shape);
void __real__Z12loadTexturesv();
void __real__ZN11TextOverlay11showMessageEPKc(TextOverlay* self, const char* text);
void __real_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                         GLsizei height, GLint border, GLenum format, GLenum type,
                         const void* pixels);
GLint __real_gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                               GLenum format, GLenum type, const void* data);
void __real_glutWarpPointer(int x, int y);
void __real_glutSetCursor(int cursor);

void __wrap__Z13resetSettingsv() {
    bench::StepTimer timer(bench::Step::resetSettings);
    __real__Z13resetSettingsv();
}

int __wrap__Z13buildPinModelv() {
    bench::StepTimer timer(bench::Step::buildPinModel);
    return __real__Z13buildPinModelv();
}

void __wrap__Z15seedOscillatorsi(int count) {
    bench::StepTimer timer(bench::Step::seedOscillators);
    __real__Z15seedOscillatorsi(count);
}

void __wrap__ZN9StarField5buildEiffi(StarField* self, int count, float outer, float inner,
                                     int shape) {
    bench::StepTimer timer(bench::Step::buildStarField);
    __real__ZN9StarField5buildEiffi(self, count, outer, inner, shape);
}

void __wrap__Z12loadTexturesv() {
    bench::StepTimer timer(bench::Step::loadTextures);
    __real__Z12loadTexturesv();
}

void __wrap__ZN11TextOverlay11showMessageEPKc(TextOverlay* self, const char* text) {
    bench::StepTimer timer(bench::Step::firstMessage);
    __real__ZN11TextOverlay11showMessageEPKc(self, text);
}

void __wrap_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                         GLsizei height, GLint border, GLenum format, GLenum type,
                         const void* pixels) {
    bench::StepTimer timer(bench::Step::uploadTextures);
    __real_glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
}

GLint __wrap_gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                               GLenum format, GLenum type, const void* data) {
    bench::StepTimer timer(bench::Step::uploadTextures);
    return __real_gluBuild2DMipmaps(target, internalFormat, width, height, format, type, data);
}

void __wrap_glutWarpPointer(int x, int y) {
    bench::StepTimer timer(bench::Step::pointer);
    __real_glutWarpPointer(x, y);
}

void __wrap_glutSetCursor(int cursor) {
    bench::StepTimer timer(bench::Step::pointer);
    __real_glutSetCursor(cursor);
}
}
