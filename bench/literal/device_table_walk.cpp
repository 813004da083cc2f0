// The discovery benchmark's baseline: every table access walks from the head.
#include "device_table.h"

bool DeviceTableWalksFromCursor()
{
    return false;
}
