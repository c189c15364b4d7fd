// Death tests see the child's standard error only: the worded stop lines go to standard
// output, so the dying child sends its standard output to standard error first.
#pragma once

#include <cstdio>
#include <unistd.h>

inline void StdoutToStderr()
{
    std::fflush(stdout);
    dup2(2, 1);
}
