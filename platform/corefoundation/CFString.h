#pragma once

// Immutable strings as CoreFoundation hands them to notification callbacks.
// CFSTR("...") and CFStringMakeConstantString intern: equal text, one pointer.

using CFStringRef = const struct __CFString*;
using Boolean = unsigned char;

CFStringRef CFStringMakeConstantString(const char*);
const char* CFStringGetCStringPtr(CFStringRef);

#define CFSTR(text) CFStringMakeConstantString("" text "")
