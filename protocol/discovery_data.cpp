#include "discovery_data.h"

#include <cstring>

DISCOVERY_DATA MakeSearchRequest()
{
    DISCOVERY_DATA request;
    std::memset(&request, 0, sizeof request);
    request.command = DISCOVERY_CMD_SEARCH;
    return request;
}

const char* ApplyResultText(std::uint32_t result)
{
    static const char* const texts[] = {
        "Apply",                    // DISCOVERY_RESULT_OK
        "Failed",                   // DISCOVERY_RESULT_FAILED
        "Failed. Invalid address",  // DISCOVERY_RESULT_INVALID_ADDRESS
        "Failed. Invalid port",     // DISCOVERY_RESULT_INVALID_PORT
        "Failed. Invalid config",   // DISCOVERY_RESULT_INVALID_CONFIG
        "Failed. login failed",     // DISCOVERY_RESULT_LOGIN_FAILED
    };
    return result < sizeof texts / sizeof texts[0] ? texts[result] : nullptr;
}
