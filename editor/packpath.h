// Where the editor finds its resource pack.
#pragma once

#include <string>

// The pack beside the running program: its folder (from /proc/self/exe) + the program's base
// name in upper case + ".VPK" (koba reads KOBA.VPK). When that file does not exist, the
// installed layout <program dir>/../share/koba/<NAME>.VPK is tried; if neither exists the
// first path is returned, so that the failure names it.
std::string ResourcePackPath(const std::string& argv0);

// The same rule for a given program file path (testable without /proc).
std::string ResourcePackPathFor(const std::string& programPath);
