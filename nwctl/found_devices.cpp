#include "found_devices.h"

bool SearchIntake::Take(const DISCOVERY_DATA& record, std::size_t length, const std::string& adapter)
{
    if (length == 0 || length > DISCOVERY_DATA_SIZE || record.command != DISCOVERY_CMD_SEARCH_REPLY ||
        keys_.Contains(record))
        return false;
    keys_.Add(record);
    devices_.push_back(FoundDevice{record, adapter});
    return true;
}
