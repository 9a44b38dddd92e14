// The window-position file's text: any bytes, as the file may hold them.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/position_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* text = reinterpret_cast<const char*>(data);
    const PositionReading reading = ReadPositionText(text, size);
    if (!reading.bPlace && reading.placement.nWidth != kDefaultPlacement.nWidth) std::abort();

    const std::string line(text, size); // one line as a C string: ends at the first NUL
    int32_t fields[4] = {};
    const int converted = ScanPositionFields(line.c_str(), fields);
    if (converted < -1 || converted > 4) std::abort();
    return 0;
}
