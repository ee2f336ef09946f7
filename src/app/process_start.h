// The fixed checks a process goes through before the application object exists.
#pragma once

namespace app {

constexpr int exit_incompatible_processor = 1;
constexpr int exit_initialization_error = -11;

// SSE2 or the three-language message; false means: end with exit code 1.
bool check_processor();
bool processor_check_passed();
// Error mode and runtime locale; false means "Initialization Error", exit code -11.
bool library_startup();
// Common controls 6.0, their classes, the identifier, the running-instance counter.
bool application_startup();
// The packed version (major << 16 | minor) of the loaded common-controls library: its
// DllGetVersion answer, or its file version when that answer is below 6.0 (Wine's
// common controls 6 answer 5.81).
unsigned long common_controls_version();
void show_initialization_error();

} // namespace app
