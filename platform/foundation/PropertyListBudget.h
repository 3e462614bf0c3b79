#pragma once

// The one budget every property-list reader spends as it makes values, and
// every writer is held to: a file that one format's reader accepts converts
// to files the other readers accept, and no reader is made to build a tree
// of gigabytes from a file of megabytes. Costs are what the values take in
// memory; a value referenced twice costs twice.

#include <cstdint>
#include <string>
#include <string_view>

#include "PropertyListValue.h"

namespace foundation {

class PropertyListBudget {
public:
    // Objects a list may expand to, a dictionary's keys included.
    static constexpr std::size_t maximumObjectCount = 1 << 20;
    // Bytes a list may expand to: the values, their strings and data, and
    // the slots of arrays and dictionaries.
    static constexpr std::uint64_t maximumExpandedBytes = 64 * 1024 * 1024;

    // Each answers false once the budget is spent; exhaustion() says how.
    bool chargeObject();
    bool chargeBytes(std::uint64_t);
    // A string as a binary list holds it: one byte a character if ASCII,
    // else three for each UTF-16 unit (what it may take once decoded).
    bool chargeString(std::string_view);
    bool chargeString(std::uint64_t utf16Units, bool isASCII) { return chargeBytes(isASCII ? utf16Units : utf16Units * 3); }
    bool chargeContainer(std::uint64_t count, bool isDictionary);

    const char* exhaustion() const { return m_exhaustion; }

private:
    // A map node: links, colour, and the key's string object.
    static constexpr std::uint64_t dictionaryEntryCost = 4 * sizeof(void*) + sizeof(std::string);

    std::size_t m_objectCount { 0 };
    std::uint64_t m_bytes { 0 };
    const char* m_exhaustion { nullptr };
};

// Whether a tree fits the budget, as each reader would count it; `why` says
// how it does not.
bool fitsPropertyListBudget(const PropertyListValue&, std::string* why = nullptr);

}
