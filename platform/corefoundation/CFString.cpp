#include "CFString.h"

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

struct __CFString {
    std::string text;
};

CFStringRef CFStringMakeConstantString(const char* text)
{
    static std::mutex lock;
    static auto* strings = new std::unordered_map<std::string, std::unique_ptr<__CFString>>;
    if (!text)
        return nullptr;
    std::lock_guard guard(lock);
    auto& entry = (*strings)[text];
    if (!entry)
        entry = std::make_unique<__CFString>(__CFString { text });
    return entry.get();
}

const char* CFStringGetCStringPtr(CFStringRef string)
{
    return string ? string->text.c_str() : nullptr;
}
