#pragma once

// The colour library's result: a value, or an error that says what went
// wrong and where. For C++17 and later, with no other dependency.

#include <cstddef>
#include <string>
#include <utility>
#include <variant>

namespace tincture {

class Error {
public:
    static constexpr std::size_t noPosition = static_cast<std::size_t>(-1);

    explicit Error(std::string message, std::size_t position = noPosition)
        : m_message(std::move(message))
        , m_position(position)
    {
    }
    const std::string& message() const { return m_message; }
    // Where in the input the error lies (from 0), or noPosition.
    std::size_t position() const { return m_position; }

private:
    std::string m_message;
    std::size_t m_position;
};

template <typename T> class Expected {
public:
    Expected(T value)
        : m_value(std::move(value))
    {
    }
    Expected(Error error)
        : m_value(std::move(error))
    {
    }

    bool has_value() const { return m_value.index() == 0; }
    explicit operator bool() const { return has_value(); }
    // Only when has_value(): std::get throws std::bad_variant_access otherwise.
    const T& value() const& { return std::get<0>(m_value); }
    T& value() & { return std::get<0>(m_value); }
    T&& value() && { return std::get<0>(std::move(m_value)); }
    const T& operator*() const { return value(); }
    const T* operator->() const { return &value(); }
    const Error& error() const { return std::get<1>(m_value); }

private:
    std::variant<T, Error> m_value;
};

}
