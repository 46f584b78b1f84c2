#pragma once

#include "core/base/apperror.h"

#include <optional>
#include <utility>

// What a call into the core gives back: its value, or the failure to tell the
// user (an AppError, whose report() is the message). Failures cannot be
// dropped unseen: the result must be looked at.
template <typename T = void> class [[nodiscard]] Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(AppError error) : m_error(std::move(error)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    // The value; only for a result that is ok().
    const T &value() const & { return *m_value; }
    T value() && { return std::move(*m_value); }
    T valueOr(T fallback) const & { return m_value ? *m_value : std::move(fallback); }
    // The failure; only for a result that is not ok().
    const AppError &error() const { return *m_error; }

private:
    std::optional<T> m_value;
    std::optional<AppError> m_error;
};

template <> class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(AppError error) : m_error(std::move(error)) {}

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    const AppError &error() const { return *m_error; }

private:
    std::optional<AppError> m_error;
};
