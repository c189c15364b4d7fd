#include "util/result.h"

#include <cstring>

Result FailedFromErrno(int errnoValue, const std::string& action)
{
    return Failed(errnoValue > 0 && errnoValue < 256 ? errnoValue : 1, action + ": " + std::strerror(errnoValue));
}
