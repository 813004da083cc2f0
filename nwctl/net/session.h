// One run's traffic: the chosen adapters, the search, and the commands sent
// to the devices it found.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/found_devices.h"
#include "net/discovery_link.h"
#include "rules/adapter_choice.h"

class Session {
public:
    // Chooses the adapters as --adapter says and opens the sockets.
    bool Open(const std::string& wantedAdapter, std::string& error);

    // Every address of this computer's adapters, as Open found them: no
    // device may be given one of them.
    const std::vector<Adapter>& OwnAdapters() const { return own_; }

    // The adapters the search goes out from.
    const std::vector<Adapter>& SearchAdapters() const { return adapters_; }

    // `rounds` search requests a second apart from every chosen adapter,
    // taking in replies until a second after the last; with `progress`, a
    // live count on standard error. Replies already waiting are dropped
    // first: they answer something earlier.
    bool Search(int rounds, bool progress, std::vector<FoundDevice>& found, std::string& error);

    // `record` from the adapter the device answered on, or from every
    // chosen adapter when that is not known.
    bool Send(const FoundDevice& device, const DISCOVERY_DATA& record, std::string& error);

    // Waits up to `seconds` for the answer to a Save whose MAC text is
    // exactly `macText`; other datagrams are passed over. Its result code,
    // or none when the time ran out.
    std::optional<std::uint32_t> AwaitApply(const std::string& macText, double seconds, std::string& error);

private:
    std::vector<Adapter> own_;
    std::vector<Adapter> adapters_;
    DiscoveryLink link_;
};
