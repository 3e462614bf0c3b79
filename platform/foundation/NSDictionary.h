#pragma once

// Dictionaries of property-list values with the platform's file operations.
// Paths are device paths, mapped under the device root.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <base/Expected.h>

#include "PropertyListValue.h"

enum class Atomically : bool { No, Yes };

class NSDictionary {
public:
    NSDictionary() = default;
    explicit NSDictionary(PropertyListValue::Dictionary);

    // -initWithContentsOfFile:. None for a missing, unreadable or malformed
    // file, a path outside the root, or a property list that is not a dictionary.
    static std::optional<NSDictionary> dictionaryWithContentsOfFile(std::string_view devicePath);
    static std::optional<NSDictionary> dictionaryWithContentsOfHostFile(const std::filesystem::path&);

    const PropertyListValue* objectForKey(std::string_view key) const { return m_value.objectForKey(key); }
    std::size_t count() const { return entries().size(); }
    const PropertyListValue::Dictionary& entries() const { return *m_value.asDictionary(); }
    const PropertyListValue& propertyList() const { return m_value; }

    // -writeToFile:atomically:, in the XML format. Answers whether the file was written.
    bool writeToFile(std::string_view devicePath, Atomically) const;
    bool writeToHostFile(const std::filesystem::path&, Atomically) const;

    bool operator==(const NSDictionary&) const = default;

protected:
    PropertyListValue m_value;

private:
    // The file's dictionary; none for no contents or anything else.
    static std::optional<NSDictionary> dictionaryWithContents(const Expected<std::vector<std::uint8_t>>&);
};

class NSMutableDictionary : public NSDictionary {
public:
    using NSDictionary::NSDictionary;
    NSMutableDictionary(const NSDictionary& other)
        : NSDictionary(other)
    {
    }

    static std::optional<NSMutableDictionary> dictionaryWithContentsOfFile(std::string_view devicePath);

    void setObject(PropertyListValue, std::string key);
    void removeObjectForKey(std::string_view key);
    void addEntriesFromDictionary(const NSDictionary&);
};

// The few NSFileManager operations the product uses, on device paths.
class NSFileManager {
public:
    static NSFileManager& defaultManager();
    bool fileExistsAtPath(std::string_view devicePath) const;
    bool removeItemAtPath(std::string_view devicePath) const;
    bool createDirectoryAtPath(std::string_view devicePath) const;
};
