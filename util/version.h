// The tool set's one version, set by the build (the project's version in CMakeLists.txt).
#pragma once

// "1.0.0"
const char* ProjectVersion();

// The --version line of every program: "<program> <version>" on standard output.
void PrintVersion();
