// A device's search reply as the tests build it: a static address in
// 192.0.2.0/24 and the usual ports, everything else zero.
#pragma once

#include <cstring>
#include <string>

#include "discovery_data.h"
#include "record_bytes.h"

inline DISCOVERY_DATA SearchReply(const std::string& mac, const std::string& ip, const std::string& product)
{
    DISCOVERY_DATA record;
    std::memset(&record, 0, sizeof record);
    record.command = DISCOVERY_CMD_SEARCH_REPLY;
    PutField(record.macAddress, mac);
    PutField(record.ipAddress, ip);
    PutField(record.subnetMask, "255.255.255.0");
    PutField(record.gateway, "192.0.2.1");
    PutField(record.dns, "192.0.2.2");
    PutField(record.productName, product);
    record.webPort = 80;
    record.controlPort = 30001;
    record.videoPort = 30002;
    record.audioReceivePort = 30003;
    record.audioTransmitPort = 30004;
    return record;
}
