#pragma once
// The command-line side of quartel: --version, --help and the headless
// layout (--layout DESIGN.pk1 ...).

namespace plk {

// Handles the arguments that need no window. Returns the exit status, or -1
// when the arguments are for the window (no option, or a design file name).
int run_cli(int argc, char** argv);

}  // namespace plk
