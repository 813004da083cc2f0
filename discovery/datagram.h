// What a received datagram becomes: a record, and the feature that takes it.
#pragma once

#include <cstddef>
#include <optional>

#include "discovery_data.h"

// A datagram of 1 to 371 bytes is one record, its missing bytes zero, so a
// short one reads as empty texts and zero numbers. An empty datagram, or one
// longer than a record (the receive reports it as an error), is none.
std::optional<DISCOVERY_DATA> RecordFromDatagram(const void* bytes, std::size_t length);

enum class DatagramFeature {
    None,         // dropped
    SearchReply,  // a device describes itself
    ApplyReply,   // a device answers a Save
};

// Where a received record goes, by its command.
DatagramFeature FeatureOfDatagram(const DISCOVERY_DATA& record);
