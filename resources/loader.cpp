#include "resources/loader.h"
