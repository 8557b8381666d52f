#pragma once
// The one error type of the program. Its what() is the exact text shown to the
// user ("Cannot open file %s", "'%s' is not a valid floating point value", ...).
// Code lets it travel; the window's default handler shows it in a message box,
// the headless command prints it on stderr.
#include <stdexcept>
#include <string>

namespace plk {

class AppError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace plk
