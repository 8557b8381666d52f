#pragma once
// Starting other programs and opening documents with the desktop's handler.
#include <string>
#include <vector>

namespace plk {

// Opens a file or web address with the desktop's default handler (xdg-open),
// without waiting. Returns false when no handler could be started.
bool open_with_default_handler(const std::string& target);

// Splits a command line into words (blanks separate; double quotes group).
std::vector<std::string> split_command_line(const std::string& command_line);

// Starts argv[0] with the other words as arguments and waits for it to end.
// argv[0] is looked up beside the running program, then on PATH; a trailing
// ".exe" is also tried without it. Returns the exit status, or -1 when the
// program could not be started.
int run_and_wait(const std::vector<std::string>& argv);

}  // namespace plk
