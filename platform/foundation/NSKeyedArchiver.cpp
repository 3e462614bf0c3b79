#include "NSKeyedArchiver.h"

#include <algorithm>

#include <objc/MessageSend.h>

#include "PropertyListSerialization.h"

namespace {

using EncodeImplementation = void(id, SEL, NSCoder*);
using DecodeImplementation = id(id, SEL, NSCoder*);

}

// Archiving

NSKeyedArchiver::NSKeyedArchiver()
{
    m_objects.push_back(PropertyListValue::string("$null"));
}

NSData NSKeyedArchiver::archivedDataWithRootObject(const NSObject* root)
{
    NSKeyedArchiver archiver;
    std::uint64_t rootUID = archiver.uidForObject(root);
    PropertyListValue::Dictionary archive;
    archive.emplace("$archiver", PropertyListValue::string("NSKeyedArchiver"));
    archive.emplace("$version", PropertyListValue::integer(100000));
    archive.emplace("$top", PropertyListValue::dictionary({ { "root", PropertyListValue::uid(rootUID) } }));
    archive.emplace("$objects", PropertyListValue::array(std::move(archiver.m_objects)));
    auto data = PropertyListSerialization::dataWithPropertyList(PropertyListValue::dictionary(std::move(archive)), PropertyListFormat::Binary);
    OBJC_ASSERT(data, "an archive nested deeper than a property list may be");
    return std::move(*data);
}

std::uint64_t NSKeyedArchiver::uidForObject(const NSObject* object)
{
    if (!object)
        return 0;
    for (auto& [encoded, uid] : m_encodedObjects) {
        if (encoded == object)
            return uid;
    }
    SEL selector = sel_registerName(encodeWithCoderSelector);
    auto* encode = class_getMethodImplementation(object_getClass(object), selector).as<EncodeImplementation>();
    OBJC_ASSERT(encode, "archived an object whose class does not answer encodeWithCoder:");

    std::uint64_t uid = m_objects.size();
    m_objects.push_back(PropertyListValue::dictionary({}));
    m_encodedObjects.emplace_back(object, uid);
    std::uint64_t outer = std::exchange(m_current, uid);
    encode(const_cast<NSObject*>(object), selector, this);
    set("$class", PropertyListValue::uid(uidForClass(object_getClass(object))));
    m_current = outer;
    return uid;
}

std::uint64_t NSKeyedArchiver::uidForClass(Class cls)
{
    for (auto& [encoded, uid] : m_encodedClasses) {
        if (encoded == cls)
            return uid;
    }
    PropertyListValue::Array names;
    for (Class ancestor = cls; ancestor; ancestor = class_getSuperclass(ancestor))
        names.push_back(PropertyListValue::string(class_getName(ancestor)));
    std::uint64_t uid = m_objects.size();
    m_objects.push_back(PropertyListValue::dictionary(
        { { "$classname", PropertyListValue::string(class_getName(cls)) }, { "$classes", PropertyListValue::array(std::move(names)) } }));
    m_encodedClasses.emplace_back(cls, uid);
    return uid;
}

void NSKeyedArchiver::set(std::string_view key, PropertyListValue value)
{
    m_objects[m_current].mutableDictionary().insert_or_assign(std::string(key), std::move(value));
}

void NSKeyedArchiver::encodeObject(const NSObject* object, std::string_view key)
{
    set(key, PropertyListValue::uid(uidForObject(object)));
}

void NSKeyedArchiver::encodeBool(bool value, std::string_view key)
{
    set(key, PropertyListValue::boolean(value));
}
void NSKeyedArchiver::encodeInteger(std::int64_t value, std::string_view key)
{
    set(key, PropertyListValue::integer(value));
}
void NSKeyedArchiver::encodeFloat(float value, std::string_view key)
{
    set(key, PropertyListValue::singlePrecisionReal(value));
}
void NSKeyedArchiver::encodeDouble(double value, std::string_view key)
{
    set(key, PropertyListValue::real(value));
}
void NSKeyedArchiver::encodeBytes(std::span<const std::uint8_t> bytes, std::string_view key)
{
    set(key, PropertyListValue::data(NSData(bytes.begin(), bytes.end())));
}

// Unarchiving

NSKeyedUnarchiver::NSKeyedUnarchiver(PropertyListValue::Array objects)
    : m_objects(std::move(objects))
{
}

RefPtr<NSObject> NSKeyedUnarchiver::unarchiveObjectWithData(std::span<const std::uint8_t> data)
{
    auto archive = PropertyListSerialization::propertyListWithData(data);
    if (!archive)
        return nullptr;
    auto* archiver = archive->objectForKey("$archiver");
    auto* objects = archive->objectForKey("$objects");
    auto* top = archive->objectForKey("$top");
    auto* root = top ? top->objectForKey("root") : nullptr;
    if (!archiver || !archiver->asString() || *archiver->asString() != "NSKeyedArchiver" || !objects || !objects->asArray() || !root)
        return nullptr;
    NSKeyedUnarchiver unarchiver(*objects->asArray());
    return unarchiver.decodeObject(*root);
}

RefPtr<NSObject> NSKeyedUnarchiver::decodeObject(const PropertyListValue& reference)
{
    auto uid = reference.asUID();
    if (!uid || *uid == 0 || *uid >= m_objects.size() || m_decoding.size() >= maximumObjectDepth)
        return nullptr;
    if (std::find(m_decoding.begin(), m_decoding.end(), *uid) != m_decoding.end())
        return nullptr;
    auto* entry = m_objects[*uid].asDictionary();
    auto* classReference = entry ? m_objects[*uid].objectForKey("$class") : nullptr;
    auto classUID = classReference ? classReference->asUID() : std::nullopt;
    if (!classUID || *classUID >= m_objects.size())
        return nullptr;
    const PropertyListValue& classEntry = m_objects[*classUID];

    // The class by its name, else the first of its superclasses that this process knows.
    std::vector<std::string> names;
    if (auto* name = classEntry.objectForKey("$classname"); name && name->asString())
        names.push_back(*name->asString());
    if (auto* ancestors = classEntry.objectForKey("$classes"); ancestors && ancestors->asArray()) {
        for (auto& ancestor : *ancestors->asArray()) {
            if (ancestor.asString())
                names.push_back(*ancestor.asString());
        }
    }
    SEL selector = sel_registerName(initWithCoderSelector);
    for (auto& name : names) {
        Class cls = objc_getClass(name.c_str());
        auto* decode = class_getMethodImplementation(cls, selector).as<DecodeImplementation>();
        if (!decode)
            continue;
        RefPtr<NSObject> instance = class_createInstance(cls);
        if (!instance)
            return nullptr;
        const PropertyListValue::Dictionary* outer = std::exchange(m_current, entry);
        m_decoding.push_back(*uid);
        RefPtr<NSObject> result = decode(instance.get(), selector, this);
        m_decoding.pop_back();
        m_current = outer;
        return result;
    }
    return nullptr;
}

const PropertyListValue* NSKeyedUnarchiver::value(std::string_view key) const
{
    if (!m_current)
        return nullptr;
    auto it = m_current->find(key);
    return it == m_current->end() ? nullptr : &it->second;
}

bool NSKeyedUnarchiver::containsValueForKey(std::string_view key) const
{
    return value(key);
}

RefPtr<NSObject> NSKeyedUnarchiver::decodeObjectForKey(std::string_view key)
{
    auto* reference = value(key);
    return reference ? decodeObject(*reference) : nullptr;
}

bool NSKeyedUnarchiver::decodeBoolForKey(std::string_view key) const
{
    auto* stored = value(key);
    return stored && stored->boolValue().value_or(false);
}

std::int64_t NSKeyedUnarchiver::decodeIntegerForKey(std::string_view key) const
{
    auto* stored = value(key);
    return stored && !stored->asString() ? stored->integerValue().value_or(0) : 0;
}

double NSKeyedUnarchiver::decodeDoubleForKey(std::string_view key) const
{
    return decodeNumberForKey(key).value_or(0);
}

std::optional<double> NSKeyedUnarchiver::decodeNumberForKey(std::string_view key) const
{
    auto* stored = value(key);
    if (!stored || !(stored->asReal() || stored->asInteger() || stored->asBoolean()))
        return std::nullopt;
    return stored->doubleValue();
}

std::optional<NSData> NSKeyedUnarchiver::decodeBytesForKey(std::string_view key) const
{
    auto* stored = value(key);
    if (!stored || !stored->asData())
        return std::nullopt;
    return *stored->asData();
}
