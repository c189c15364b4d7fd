#include "gfx/primitives.h"
