// The choice tables behind the combo boxes: a null-closed list of labels and
// a parallel list of values closed by -1, the list index being the combo's
// item index.
//
// Portable core; combo_tables_win.h fills a combo from a label list and
// reads its selection.
#pragma once

#include <cstdint>

// The value at index; an index outside the table (no selection is -1) gives 0.
int32_t TableValueAt(const int32_t* values, int index);
