#include "gfx/material.h"
