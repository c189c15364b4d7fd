#include "resources/enlarge.h"
