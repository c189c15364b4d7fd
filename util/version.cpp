#include "util/version.h"

#include <cstdio>

#include "util/fatal.h"

const char* ProjectVersion()
{
    return GRAVLIN_VERSION;
}

void PrintVersion()
{
    std::printf("%s %s\n", ProgramName().c_str(), ProjectVersion());
}
