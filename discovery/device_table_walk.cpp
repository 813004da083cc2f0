#include "device_table.h"

bool DeviceTableWalksFromCursor()
{
    return true;
}
