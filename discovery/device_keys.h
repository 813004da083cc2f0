// The (MAC text, IP text) pairs of the listed devices, kept beside the device
// table so that telling whether a reply repeats a listed device does not
// read every record. It answers exactly as a scan of the table would, as
// long as every change to the table is told to it.
#pragma once

#include <string>
#include <unordered_map>

#include "discovery_data.h"

// The rule itself: `reply` repeats `listed` when both their MAC texts and
// both their IP texts are equal, and none of the four is empty.
bool RepeatsListedDevice(const DISCOVERY_DATA& listed, const DISCOVERY_DATA& reply);

class DeviceKeys {
public:
    void Clear() { counts.clear(); }
    void Add(const DISCOVERY_DATA& record);
    // A listed record was overwritten: `before` with `after`.
    void Replace(const DISCOVERY_DATA& before, const DISCOVERY_DATA& after);
    // Whether a listed record has the same MAC text and the same IP text,
    // neither of them empty.
    bool Contains(const DISCOVERY_DATA& record) const;

private:
    // No key for a record with an empty MAC or IP text: it never repeats.
    static std::string Key(const DISCOVERY_DATA& record);

    std::unordered_map<std::string, int> counts;
};
