#pragma once

// Serialises every read-change-write of a preferences file in the root, as
// cfprefsd serialises them on the device: held, no other process changes a
// domain between this one's read and its write. An advisory lock (flock) on
// a file in the root, so a killed holder lets go; nested holders in one
// process share it.

class PreferencesWriteLock {
public:
    PreferencesWriteLock();
    ~PreferencesWriteLock();
    PreferencesWriteLock(const PreferencesWriteLock&) = delete;
    PreferencesWriteLock& operator=(const PreferencesWriteLock&) = delete;

    // The lock file's device path.
    static constexpr const char* devicePath = "/var/run/cfprefsd.lock";
};
