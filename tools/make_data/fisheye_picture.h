// The fish-eye picture: a town square seen through a 180-degree fish-eye lens.
#pragma once

#include "picture.h"

Picture paintFisheye();
