#pragma once

// What the menutone tools say on standard error when they refuse or fail:
// "menutone: " and the message.

#include <iostream>
#include <string>

inline void printError(const std::string& message)
{
    std::cerr << "menutone: " << message << "\n";
}
