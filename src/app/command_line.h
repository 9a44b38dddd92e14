// The install switch: an argument whose first character is '/' and whose
// second is 'I' in either case ("/I", "/i", "/Install").
#pragma once

bool IsInstallSwitch(const char* arg);
// Examines every argument after the program name.
bool HasInstallSwitch(int argc, const char* const* argv);
