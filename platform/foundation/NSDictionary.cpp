#include "NSDictionary.h"

#include <device/DeviceRoot.h>
#include <device/FileSystem.h>

#include "PropertyListSerialization.h"

NSDictionary::NSDictionary(PropertyListValue::Dictionary entries)
    : m_value(PropertyListValue::dictionary(std::move(entries)))
{
}

std::optional<NSDictionary> NSDictionary::dictionaryWithContents(const Expected<std::vector<std::uint8_t>>& contents)
{
    auto value = contents ? PropertyListSerialization::propertyListWithData(*contents) : std::nullopt;
    if (!value || !value->asDictionary())
        return std::nullopt;
    NSDictionary dictionary;
    dictionary.m_value = std::move(*value);
    return dictionary;
}

std::optional<NSDictionary> NSDictionary::dictionaryWithContentsOfHostFile(const std::filesystem::path& path)
{
    return dictionaryWithContents(device::readFile(path));
}

std::optional<NSDictionary> NSDictionary::dictionaryWithContentsOfFile(std::string_view devicePath)
{
    return dictionaryWithContents(DeviceRoot::current().readFile(devicePath));
}

bool NSDictionary::writeToHostFile(const std::filesystem::path& path, Atomically atomically) const
{
    auto data = PropertyListSerialization::dataWithPropertyList(m_value, PropertyListFormat::XML);
    return data && device::writeFile(path, *data, atomically == Atomically::Yes ? device::WriteMode::Atomic : device::WriteMode::Direct);
}

bool NSDictionary::writeToFile(std::string_view devicePath, Atomically atomically) const
{
    auto data = PropertyListSerialization::dataWithPropertyList(m_value, PropertyListFormat::XML);
    return data && DeviceRoot::current().writeFile(devicePath, *data, atomically == Atomically::Yes ? device::WriteMode::Atomic : device::WriteMode::Direct);
}

std::optional<NSMutableDictionary> NSMutableDictionary::dictionaryWithContentsOfFile(std::string_view devicePath)
{
    if (auto dictionary = NSDictionary::dictionaryWithContentsOfFile(devicePath))
        return NSMutableDictionary(*dictionary);
    return std::nullopt;
}

void NSMutableDictionary::setObject(PropertyListValue value, std::string key)
{
    m_value.mutableDictionary().insert_or_assign(std::move(key), std::move(value));
}

void NSMutableDictionary::removeObjectForKey(std::string_view key)
{
    auto& entries = m_value.mutableDictionary();
    if (auto it = entries.find(key); it != entries.end())
        entries.erase(it);
}

void NSMutableDictionary::addEntriesFromDictionary(const NSDictionary& other)
{
    for (auto& [key, value] : other.entries())
        setObject(value, key);
}

NSFileManager& NSFileManager::defaultManager()
{
    static NSFileManager manager;
    return manager;
}

bool NSFileManager::fileExistsAtPath(std::string_view devicePath) const
{
    return DeviceRoot::current().fileExists(devicePath);
}

bool NSFileManager::removeItemAtPath(std::string_view devicePath) const
{
    return DeviceRoot::current().removeItem(devicePath);
}

bool NSFileManager::createDirectoryAtPath(std::string_view devicePath) const
{
    return DeviceRoot::current().createFolders(devicePath);
}
