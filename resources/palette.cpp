#include "resources/palette.h"
