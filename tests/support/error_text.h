#pragma once
// The user text of the AppError a call throws, or "(no error)".
#include <string>

#include "platform/error.h"

namespace plk::testing {

template <typename F>
std::string error_text(F&& call) {
    try {
        call();
    } catch (const AppError& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace plk::testing
