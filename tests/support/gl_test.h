// Test support: a real GLUT window with a GL context, and a fixture with fresh program state.
#pragma once

// What nearly every test uses comes with it.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "motion/oscillator_bank.h"
#include "state/frame_clock.h"
#include "state/settings.h"
#include "state/window_state.h"

constexpr int kTestWindowWidth = 1024, kTestWindowHeight = 768;  // made before the first test

// Handles the window's pending events (reshapes among them) without drawing.
void pumpEvents();

// Asks for a window size and waits for its reshape; false if none came within two seconds.
bool resizeWindow(int width, int height);

// Draws one frame at clock `ms` as the program does, to its end; the GL errors it counted.
int frameAt(int ms);

// Reads a w x h RGB block from the back buffer, rows from the bottom.
std::vector<unsigned char> readRgb(int x, int y, int w, int h);

// Pixels of the window with a channel of at least `level` (0..255).
int litPixels(int level = 1);

// The model-view or projection matrix (GL_MODELVIEW_MATRIX or GL_PROJECTION_MATRIX).
std::array<double, 16> currentMatrix(unsigned int which);

// `draw`'s GL feedback for `type` vertices; `extent` > 0 maps [-extent, extent]^3 at 100 px a unit.
std::vector<float> feedback(unsigned int type, const std::function<void()>& draw,
                            double extent = 0);
inline std::array<double, 3> objectPoint(const float* v, double extent) {
    return {v[0] / 100.0 - extent, v[1] / 100.0 - extent, extent * (1 - 2.0 * v[2])};
}

// Every global back to its start-up value (as after initScene), the clock at `ms`; not GL's.
void resetProgramState(int ms = 0);

// Every test that touches program state derives from this fixture.
class VaroTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
