#pragma once

#include <exception>

/// A run-time error of the program: a numbered fault that no part of the
/// program handles, so it ends the program with its number and description.
///   6  Overflow (also an invalid floating-point operation such as 0 / 0)
///   9  Subscript out of range
///  11  Division by zero
///  91  Object variable or With block variable not set (a spring without ends)
class RuntimeError : public std::exception {
public:
    explicit RuntimeError(int number) noexcept;

    /// The error number, as shown to the user.
    int Number() const noexcept;
    /// The standard description of the number.
    const char* what() const noexcept override;

private:
    int m_number;
};

/// The error numbers the program raises.
namespace ErrorNumber {
inline constexpr int Overflow = 6;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int DivisionByZero = 11;
inline constexpr int ObjectNotSet = 91;
}
