// The texts of the About box.
//
// Portable core; about_box_win.h runs the dialog that shows them.
#pragma once

#include <cstddef>

#include "product_version.h"

constexpr char kAboutNotice[] = MIRRAVOX_COPYRIGHT;
constexpr char kAboutVisit[] = "Visit us at:";
constexpr char kAboutWebAddress[] = "www.keldane.example";
constexpr char kProductVersion[] = "V" MIRRAVOX_VERSION_TEXT;
constexpr char kProductBuild[] = MIRRAVOX_BUILD_TEXT;

// "Keldane Mirravox V3.0 Build: 1003": the product title, the version and the
// build made with "%s %s Build: %s". Returns the length, or -1 when it does not fit.
int FormatVersionLine(char* out, size_t capacity);
