#include "resources/register.h"
