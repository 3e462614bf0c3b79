#pragma once

// A value or the reason there is none, as WTF's Expected and SerenityOS's
// ErrorOr: the one result type at the boundaries of our own APIs. (std::expected
// is C++23, which the compilers we build with do not all take.)

#include <type_traits>
#include <utility>
#include <variant>

#include <cstdio>
#include <cstdlib>

#include <base/Error.h>

// Reading the wrong side of an Expected is a programming error.
#define MENUTONE_EXPECTED_ASSERT(condition, message)                                                                                                           \
    do {                                                                                                                                                       \
        if (!(condition)) [[unlikely]] {                                                                                                                       \
            std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, (message));                                                                                \
            std::abort();                                                                                                                                      \
        }                                                                                                                                                      \
    } while (0)

template <typename E> class Unexpected {
public:
    explicit Unexpected(E error)
        : m_error(std::move(error))
    {
    }
    E& error() & { return m_error; }
    E&& error() && { return std::move(m_error); }

private:
    E m_error;
};

template <typename E> Unexpected<std::decay_t<E>> makeUnexpected(E&& error)
{
    return Unexpected<std::decay_t<E>>(std::forward<E>(error));
}

inline Unexpected<Error> makeError(ErrorKind kind, std::string message)
{
    return Unexpected<Error>(Error { kind, std::move(message) });
}

template <typename T, typename E = Error> class [[nodiscard]] Expected {
public:
    Expected(T value)
        : m_storage(std::in_place_index<0>, std::move(value))
    {
    }
    template <typename U, typename = std::enable_if_t<std::is_constructible_v<T, U&&> && !std::is_same_v<std::decay_t<U>, Expected>>>
    Expected(U&& value)
        : m_storage(std::in_place_index<0>, T(std::forward<U>(value)))
    {
    }
    Expected(Unexpected<E> error)
        : m_storage(std::in_place_index<1>, std::move(error).error())
    {
    }

    bool hasValue() const { return m_storage.index() == 0; }
    explicit operator bool() const { return hasValue(); }

    T& value() &
    {
        MENUTONE_EXPECTED_ASSERT(hasValue(), "the value of an Expected that holds an error");
        return std::get<0>(m_storage);
    }
    const T& value() const&
    {
        MENUTONE_EXPECTED_ASSERT(hasValue(), "the value of an Expected that holds an error");
        return std::get<0>(m_storage);
    }
    T&& value() &&
    {
        MENUTONE_EXPECTED_ASSERT(hasValue(), "the value of an Expected that holds an error");
        return std::get<0>(std::move(m_storage));
    }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T&& operator*() && { return std::move(*this).value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    template <typename U> T valueOr(U&& fallback) const& { return hasValue() ? value() : T(std::forward<U>(fallback)); }
    template <typename U> T valueOr(U&& fallback) && { return hasValue() ? std::move(*this).value() : T(std::forward<U>(fallback)); }

    const E& error() const
    {
        MENUTONE_EXPECTED_ASSERT(!hasValue(), "the error of an Expected that holds a value");
        return std::get<1>(m_storage);
    }
    E& error()
    {
        MENUTONE_EXPECTED_ASSERT(!hasValue(), "the error of an Expected that holds a value");
        return std::get<1>(m_storage);
    }

    friend bool operator==(const Expected& expected, const T& value) { return expected.hasValue() && expected.value() == value; }

private:
    std::variant<T, E> m_storage;
};

// Success with nothing to give, or the error.
template <typename E> class [[nodiscard]] Expected<void, E> {
public:
    Expected() = default;
    Expected(Unexpected<E> error)
        : m_error(std::move(error).error())
        , m_hasError(true)
    {
    }

    bool hasValue() const { return !m_hasError; }
    explicit operator bool() const { return hasValue(); }
    const E& error() const
    {
        MENUTONE_EXPECTED_ASSERT(m_hasError, "the error of an Expected that holds a value");
        return m_error;
    }

private:
    E m_error {};
    bool m_hasError { false };
};
