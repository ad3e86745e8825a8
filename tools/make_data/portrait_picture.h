// The portrait: a half-length painted portrait of a woman before a hazy landscape.
#pragma once

#include "picture.h"

Picture paintPortrait();
