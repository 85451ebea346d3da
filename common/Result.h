// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QString>

#include <utility>
#include <variant>

// The outcome of an operation that can fail: the value, or the reason it is missing and a
// one-line text for people. `Reason` is an enum class whose first enumerator is `NoError`.
// Converts to true on success.
template<typename Reason, typename T = std::monostate> class Result
{
public:
    Result() = default;

    static Result success(T value = {})
    {
        Result result;
        result.m_value = std::move(value);
        return result;
    }
    static Result failure(Reason reason, const QString& text)
    {
        Result result;
        result.m_reason = reason;
        result.m_text = text;
        return result;
    }

    explicit operator bool() const { return m_reason == Reason::NoError; }
    Reason errorReason() const { return m_reason; }
    QString errorText() const { return m_text; }
    const T& value() const { return m_value; }

private:
    T m_value {};
    Reason m_reason = Reason::NoError;
    QString m_text;
};
