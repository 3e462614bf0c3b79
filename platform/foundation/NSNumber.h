#pragma once

#include <cstdint>

#include <objc/NSObject.h>

// A boxed number, for values that must be objects (associated values, archives).
class NSNumber : public NSObject {
public:
    NSNumber() = default;
    static Class objcClass();

    static Ref<NSNumber> numberWithLongLong(std::int64_t);
    static Ref<NSNumber> numberWithUnsignedLongLong(std::uint64_t);
    static Ref<NSNumber> numberWithDouble(double);

    std::int64_t longLongValue() const;
    std::uint64_t unsignedLongLongValue() const;
    double doubleValue() const;

    bool isEqual(const NSObject*) const override;
    std::string description() const override;

private:
    enum class Kind { Signed, Unsigned, Real };
    Kind m_kind { Kind::Signed };
    std::int64_t m_integer { 0 };
    double m_real { 0 };
};
