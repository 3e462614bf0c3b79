#pragma once

// A persistent key-value store per domain: the property list
// "/var/mobile/Library/Preferences/<domain>.plist" of the device root.
// The standard store's domain is the main bundle's identifier, so a value
// survives a restart of the process.

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "NSDictionary.h"

class NSUserDefaults {
public:
    static NSUserDefaults& standardUserDefaults();
    explicit NSUserDefaults(std::string domain);

    const std::string& domain() const { return m_domain; }
    // 0 when absent or not a number.
    std::int64_t integerForKey(std::string_view key);
    void setInteger(std::int64_t, std::string key);
    void removeObjectForKey(std::string_view key);
    // Writes the changes made here into the domain's file (other keys of the
    // file are kept) and rereads it. Answers whether the write succeeded.
    bool synchronize();

    // Forgets what is in memory, as a new process would start.
    static void resetStandardUserDefaultsForTesting();

private:
    void loadIfNeeded();

    std::string m_domain;
    std::mutex m_lock;
    bool m_isLoaded { false };
    NSMutableDictionary m_values;
    NSMutableDictionary m_changes;
    std::vector<std::string> m_removals;
};
