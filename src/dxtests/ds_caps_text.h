// What the DirectSound capabilities dialog shows for one device, as texts:
// the fields of its capability record and the sentences its flags make.
#pragma once

#include "dxtests/directx_calls.h"

#include <string>
#include <vector>

struct DsCapsField {
    int controlId;
    std::string text;
};

// The field controls of DSCAPABILITIES with their texts: the rate range,
// the hardware buffer counts (maximum and "%d free"), and the sound memory
// ("N/A" in both fields when the card has none).
std::vector<DsCapsField> DsCapsFieldTexts(const DsCaps& caps);

// The sentences for the record's flags, in the dialog's order: the
// certification and driver sentences always, the others when their bit is set.
std::vector<const char*> DsFlagSentences(uint32_t flags);
