#include "app/command_line.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace {

bool SameWord(const char* arg, const char* word)
{
    for (; *arg && *word; ++arg, ++word)
        if (std::tolower(static_cast<unsigned char>(*arg)) != *word) return false;
    return *arg == *word;
}

// "RATE,CHANNELS,BITS" with the values a session can open.
bool ParseFormat(const char* text, LoopbackFormat* f)
{
    char tail = 0;
    if (std::sscanf(text, "%d,%d,%d%c", &f->rate, &f->channels, &f->bits, &tail) != 3) return false;
    return f->rate >= 8000 && f->rate <= 128000 && (f->channels == 1 || f->channels == 2) &&
           (f->bits == 8 || f->bits == 16 || f->bits == 24);
}

} // namespace

bool IsInstallSwitch(const char* arg) { return arg && arg[0] == '/' && (arg[1] == 'I' || arg[1] == 'i'); }

bool HasInstallSwitch(int argc, const char* const* argv)
{
    if (ParseLoopbackCommand(argc, argv).present) return false;
    for (int i = 1; i < argc; ++i)
        if (IsInstallSwitch(argv[i])) return true;
    return false;
}

LoopbackCommand ParseLoopbackCommand(int argc, const char* const* argv)
{
    LoopbackCommand c;
    if (argc < 2 || !argv[1] || !SameWord(argv[1], "/loopback")) return c;
    c.present = true;
    bool folderGiven = false;
    for (int i = 2; i < argc && c.error.empty(); ++i) {
        const char* arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (SameWord(arg, "/format")) {
            LoopbackFormat f{};
            if (!value || !ParseFormat(value, &f))
                c.error =
                    "/format wants RATE,CHANNELS,BITS: a rate of 8000 to 128000 Hz, 1 or 2 channels, 8, 16 or 24 bits";
            else
                c.formats.push_back(f), ++i;
        } else if (SameWord(arg, "/seconds")) {
            char* end = nullptr;
            const double s = value ? std::strtod(value, &end) : 0;
            if (!value || *end || !(s >= 1 && s <= 3600))
                c.error = "/seconds wants the pilot's length, 1 to 3600 seconds";
            else
                c.seconds = s, ++i;
        } else if (arg[0] == '/' && arg[1] != '\0' && arg[1] != '/') {
            c.error = std::string("unknown option ") + arg;
        } else if (folderGiven) {
            c.error = std::string("a second report folder: ") + arg;
        } else {
            c.folder = arg;
            folderGiven = true;
        }
    }
    return c;
}
