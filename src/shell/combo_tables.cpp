#include "shell/combo_tables.h"

int32_t TableValueAt(const int32_t* values, int index)
{
    if (index < 0) return 0;
    for (int i = 0; values[i] != -1; ++i)
        if (i == index) return values[i];
    return 0;
}
