// The program's commands, idle until a host connects them:
//   programCommands  what the keys and the camera ask of the program as a whole
#include "state/program_commands.h"

namespace {
void doNothing() {}
void ignoreSize(int, int) {}
void ignorePoint(int, int) {}
void ignoreCursor(bool) {}
}  // namespace

ProgramCommands programCommands = {doNothing, ignoreSize, doNothing, ignorePoint, ignoreCursor};
