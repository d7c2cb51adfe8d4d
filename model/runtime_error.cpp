#include "runtime_error.h"

RuntimeError::RuntimeError(int number) noexcept : m_number(number) {}

int RuntimeError::Number() const noexcept
{
    return m_number;
}

const char* RuntimeError::what() const noexcept
{
    switch (m_number) {
    case ErrorNumber::Overflow:
        return "Overflow";
    case ErrorNumber::SubscriptOutOfRange:
        return "Subscript out of range";
    case ErrorNumber::DivisionByZero:
        return "Division by zero";
    case ErrorNumber::ObjectNotSet:
        return "Object variable or With block variable not set";
    default:
        return "Application-defined or object-defined error";
    }
}
