// Stand-in: both device ids stay on the wave mapper until the device lists
// and their default rule exist.
#include "devices/device_lists.h"

void ChooseDefaultDevices() {}
