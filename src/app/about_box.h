// The texts of the About box.
//
// Portable core; about_box_win.h runs the dialog that shows them.
#pragma once

#include <cstddef>

constexpr char kAboutNotice[] = "Copyright (C) 2026 Keldane Audio Tools";
constexpr char kAboutVisit[] = "Visit us at:";
constexpr char kAboutWebAddress[] = "www.keldane.example";
constexpr char kProductVersion[] = "V3.0";
constexpr char kProductBuild[] = "1003";

// "Keldane Mirravox V3.0 Build: 1003": the product title, the version and the
// build made with "%s %s Build: %s". Returns the length, or -1 when it does not fit.
int FormatVersionLine(char* out, size_t capacity);
