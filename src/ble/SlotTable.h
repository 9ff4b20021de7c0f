#pragma once

#include "RaceTables.h"

#include <QString>

// The console link's view of the slot rows of global_data: what a slot is configured for and the
// state the link shows for it.
namespace SlotTable {

inline bool isSlot(int index)
{
    return index >= 0 && index < SlotCount && index + 1 < global_data.size();
}

inline QString& state(int slot)
{
    return global_data[slot + 1][ColActive];
}

inline QString configuredText(int slot)
{
    return global_data[slot + 1][ColMac].trimmed();
}

} // namespace SlotTable
