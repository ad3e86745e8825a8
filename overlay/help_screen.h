// The help page: the program's controls drawn over the running scene.
#pragma once

void drawHelpScreen();
