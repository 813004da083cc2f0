#include "datagram.h"

#include <cstring>

std::optional<DISCOVERY_DATA> RecordFromDatagram(const void* bytes, std::size_t length)
{
    if (length == 0 || length > DISCOVERY_DATA_SIZE)
        return std::nullopt;
    DISCOVERY_DATA record;
    std::memset(&record, 0, sizeof record);
    std::memcpy(&record, bytes, length);
    return record;
}

DatagramFeature FeatureOfDatagram(const DISCOVERY_DATA& record)
{
    switch (record.command) {
        case DISCOVERY_CMD_SEARCH_REPLY:
            return DatagramFeature::SearchReply;
        case DISCOVERY_CMD_SET_CONFIG:
            return DatagramFeature::ApplyReply;
        default:
            return DatagramFeature::None;
    }
}
