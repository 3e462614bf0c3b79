#include "PropertyListBudget.h"

#include <limits>

namespace foundation {

bool PropertyListBudget::chargeObject()
{
    if (++m_objectCount > maximumObjectCount) {
        m_exhaustion = "too many objects";
        return false;
    }
    return chargeBytes(sizeof(PropertyListValue));
}

bool PropertyListBudget::chargeBytes(std::uint64_t bytes)
{
    if (bytes > maximumExpandedBytes - m_bytes) {
        m_exhaustion = "expands to too much";
        return false;
    }
    m_bytes += bytes;
    return true;
}

bool PropertyListBudget::chargeString(std::string_view text)
{
    std::uint64_t units = 0;
    bool isASCII = true;
    for (unsigned char byte : text) {
        isASCII = isASCII && byte < 0x80;
        if ((byte & 0xC0) != 0x80)
            units += byte >= 0xF0 ? 2 : 1; // four-byte sequences are surrogate pairs
    }
    return chargeString(units, isASCII);
}

bool PropertyListBudget::chargeContainer(std::uint64_t count, bool isDictionary)
{
    std::uint64_t cost = isDictionary ? dictionaryEntryCost : sizeof(PropertyListValue);
    if (count > std::numeric_limits<std::uint64_t>::max() / cost) {
        m_exhaustion = "expands to too much";
        return false;
    }
    return chargeBytes(count * cost);
}

namespace {

bool charge(PropertyListBudget& budget, const PropertyListValue& value)
{
    if (!budget.chargeObject())
        return false;
    switch (value.type()) {
    case PropertyListValue::Type::String:
        return budget.chargeString(*value.asString());
    case PropertyListValue::Type::Data:
        return budget.chargeBytes(value.asData()->size());
    case PropertyListValue::Type::Array:
        if (!budget.chargeContainer(value.asArray()->size(), false))
            return false;
        for (auto& element : *value.asArray()) {
            if (!charge(budget, element))
                return false;
        }
        return true;
    case PropertyListValue::Type::Dictionary:
        if (!budget.chargeContainer(value.asDictionary()->size(), true))
            return false;
        for (auto& [key, element] : *value.asDictionary()) {
            if (!budget.chargeObject() || !budget.chargeString(key) || !charge(budget, element))
                return false;
        }
        return true;
    default:
        return true;
    }
}

}

bool fitsPropertyListBudget(const PropertyListValue& value, std::string* why)
{
    PropertyListBudget budget;
    if (charge(budget, value))
        return true;
    if (why)
        *why = budget.exhaustion();
    return false;
}

}
