#include "gfx/text.h"
