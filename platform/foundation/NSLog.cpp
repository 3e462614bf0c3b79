#include "NSLog.h"

#include <cstdio>
#include <string>

void NSLog(std::string_view message)
{
    std::string line(message);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}
