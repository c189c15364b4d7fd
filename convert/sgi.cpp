#include "convert/sgi.h"
