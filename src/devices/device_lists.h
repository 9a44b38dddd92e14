// Device lists and the default-device rule.
#pragma once

void ChooseDefaultDevices();
