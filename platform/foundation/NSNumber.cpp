#include "NSNumber.h"

#include <objc/ClassBuilder.h>

Class NSNumber::objcClass()
{
    static Class cls = ClassBuilder<NSNumber>("NSNumber", NSObject::objcClass()).registerClass();
    return cls;
}

[[maybe_unused]] static Class registeredNSNumber = NSNumber::objcClass();

Ref<NSNumber> NSNumber::numberWithLongLong(std::int64_t value)
{
    auto number = adoptRef(*new NSNumber);
    number->m_integer = value;
    return number;
}

Ref<NSNumber> NSNumber::numberWithUnsignedLongLong(std::uint64_t value)
{
    auto number = adoptRef(*new NSNumber);
    number->m_kind = Kind::Unsigned;
    number->m_integer = static_cast<std::int64_t>(value);
    return number;
}

Ref<NSNumber> NSNumber::numberWithDouble(double value)
{
    auto number = adoptRef(*new NSNumber);
    number->m_kind = Kind::Real;
    number->m_real = value;
    return number;
}

std::int64_t NSNumber::longLongValue() const
{
    return m_kind == Kind::Real ? static_cast<std::int64_t>(m_real) : m_integer;
}

std::uint64_t NSNumber::unsignedLongLongValue() const
{
    return m_kind == Kind::Real ? static_cast<std::uint64_t>(m_real) : static_cast<std::uint64_t>(m_integer);
}

double NSNumber::doubleValue() const
{
    switch (m_kind) {
    case Kind::Signed:
        return static_cast<double>(m_integer);
    case Kind::Unsigned:
        return static_cast<double>(static_cast<std::uint64_t>(m_integer));
    case Kind::Real:
        return m_real;
    }
    return 0;
}

bool NSNumber::isEqual(const NSObject* other) const
{
    auto* number = objc_dynamicCast<NSNumber>(const_cast<NSObject*>(other));
    if (!number)
        return false;
    if (m_kind == Kind::Real || number->m_kind == Kind::Real)
        return doubleValue() == number->doubleValue();
    return m_integer == number->m_integer && (m_kind == number->m_kind || m_integer >= 0);
}

std::string NSNumber::description() const
{
    switch (m_kind) {
    case Kind::Signed:
        return std::to_string(m_integer);
    case Kind::Unsigned:
        return std::to_string(static_cast<std::uint64_t>(m_integer));
    case Kind::Real:
        return std::to_string(m_real);
    }
    return {};
}
