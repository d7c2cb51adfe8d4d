#pragma once

#include <exception>
#include <new>
#include <string>

#include "model/runtime_error.h"

/// Error numbers of failures that are not the physics' own.
namespace ErrorNumber {
inline constexpr int OutOfMemory = 7;
inline constexpr int Internal = 51;
}

/// Runs the action. A run-time error, running out of memory or any other
/// exception in it is handed to report as an error number and description,
/// and ends there. True when the action ran to its end.
template <typename Action, typename Report>
bool runReportingFailures(Action&& action, Report&& report)
{
    try {
        action();
        return true;
    } catch (const RuntimeError& error) {
        report(error.Number(), std::string(error.what()));
    } catch (const std::bad_alloc&) {
        report(ErrorNumber::OutOfMemory, std::string("Out of memory"));
    } catch (const std::exception& error) {
        report(ErrorNumber::Internal, "Internal error: " + std::string(error.what()));
    }
    return false;
}
