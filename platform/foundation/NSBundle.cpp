#include "NSBundle.h"

#include <cerrno>

NSBundle& NSBundle::mainBundle()
{
    static NSBundle bundle;
    return bundle;
}

NSBundle::NSBundle()
    : m_bundleIdentifier(program_invocation_short_name)
{
}
