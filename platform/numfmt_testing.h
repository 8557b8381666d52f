#pragma once
// Test hook for the regional number settings, which are otherwise captured
// once per process from the environment.

namespace plk {

// Replaces the captured regional settings by those of the named locale
// (nullptr: the environment, as init_regional_settings does). Returns false,
// leaving the settings as they were, when the locale is not available.
bool set_regional_settings_for_test(const char* locale_name);

}  // namespace plk
