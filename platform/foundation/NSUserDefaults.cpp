#include "NSUserDefaults.h"

#include <algorithm>
#include <memory>

#include "NSBundle.h"
#include "PreferencesWriteLock.h"

namespace {

std::string devicePathOfDomain(const std::string& domain)
{
    return "/var/mobile/Library/Preferences/" + domain + ".plist";
}

std::unique_ptr<NSUserDefaults>& standardStore()
{
    static auto* store = new std::unique_ptr<NSUserDefaults>;
    return *store;
}

std::mutex standardLock;

}

NSUserDefaults& NSUserDefaults::standardUserDefaults()
{
    std::lock_guard guard(standardLock);
    auto& store = standardStore();
    if (!store)
        store = std::make_unique<NSUserDefaults>(NSBundle::mainBundle().bundleIdentifier());
    return *store;
}

void NSUserDefaults::resetStandardUserDefaultsForTesting()
{
    std::lock_guard guard(standardLock);
    standardStore().reset();
}

NSUserDefaults::NSUserDefaults(std::string domain)
    : m_domain(std::move(domain))
{
}

void NSUserDefaults::loadIfNeeded()
{
    if (m_isLoaded)
        return;
    m_isLoaded = true;
    if (auto stored = NSMutableDictionary::dictionaryWithContentsOfFile(devicePathOfDomain(m_domain)))
        m_values = std::move(*stored);
}

std::int64_t NSUserDefaults::integerForKey(std::string_view key)
{
    std::lock_guard guard(m_lock);
    loadIfNeeded();
    auto* value = m_values.objectForKey(key);
    return value ? value->integerValue().value_or(0) : 0;
}

void NSUserDefaults::setInteger(std::int64_t value, std::string key)
{
    std::lock_guard guard(m_lock);
    loadIfNeeded();
    std::erase(m_removals, key);
    m_values.setObject(PropertyListValue::integer(value), key);
    m_changes.setObject(PropertyListValue::integer(value), std::move(key));
}

void NSUserDefaults::removeObjectForKey(std::string_view key)
{
    std::lock_guard guard(m_lock);
    loadIfNeeded();
    m_values.removeObjectForKey(key);
    m_changes.removeObjectForKey(key);
    m_removals.emplace_back(key);
}

bool NSUserDefaults::synchronize()
{
    std::lock_guard guard(m_lock);
    PreferencesWriteLock lock;
    std::string path = devicePathOfDomain(m_domain);
    NSMutableDictionary merged = NSMutableDictionary::dictionaryWithContentsOfFile(path).value_or(NSMutableDictionary());
    merged.addEntriesFromDictionary(m_changes);
    for (auto& key : m_removals)
        merged.removeObjectForKey(key);
    NSFileManager::defaultManager().createDirectoryAtPath("/var/mobile/Library/Preferences");
    bool isWritten = merged.writeToFile(path, Atomically::Yes);
    if (isWritten) {
        m_changes = NSMutableDictionary();
        m_removals.clear();
        m_values = std::move(merged);
        m_isLoaded = true;
    }
    return isWritten;
}
