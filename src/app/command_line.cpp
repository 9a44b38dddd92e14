#include "app/command_line.h"

bool IsInstallSwitch(const char* arg) { return arg && arg[0] == '/' && (arg[1] == 'I' || arg[1] == 'i'); }

bool HasInstallSwitch(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i)
        if (IsInstallSwitch(argv[i])) return true;
    return false;
}
