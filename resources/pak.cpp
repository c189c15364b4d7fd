#include "resources/pak.h"
