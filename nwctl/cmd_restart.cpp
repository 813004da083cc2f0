// reboot and reset: the command to each named device, 10 ms apart, as the
// window sends them.
#include <chrono>
#include <cstdio>
#include <thread>

#include "command_support.h"
#include "commands.h"
#include "device_commands.h"
#include "exit_codes.h"
#include "safe_text.h"
#include "session.h"
#include "text_field.h"

int RunRestart(const Invocation& invocation)
{
    const std::uint32_t command =
        invocation.command == Command::Reboot ? DISCOVERY_CMD_REBOOT : DISCOVERY_CMD_FACTORY_RESET;
    std::string user, password, error;
    Session session;
    std::vector<FoundDevice> found;
    if (const int status = SearchToSend(invocation, user, password, session, found))
        return status;

    std::vector<const FoundDevice*> devices;
    std::string missing;
    for (const MacAddress& mac : invocation.macs) {
        const FoundDevice* device = nullptr;
        if (FindOneDevice(found, mac, device, error))
            devices.push_back(device);
        else
            missing += "\n  " + error;
    }
    if (!missing.empty())
        return Fail(kExitNotFound, "nothing was sent:" + missing);

    // The window's confirmation, its device texts made safe to show.
    std::string question = BatchConfirmationHeader(command);
    for (const FoundDevice* device : devices) {
        std::string line = BatchConfirmationLine(device->record);
        line.pop_back();
        question += SafeText(line) + "\n";
    }
    const Confirmation answer = Confirm(question + "send?", invocation.yes);
    if (answer != Confirmation::Yes)
        return NotConfirmed(answer);

    const char* what = command == DISCOVERY_CMD_REBOOT ? "reboot" : "factory reset";
    int status = kExitOk;
    for (const FoundDevice* device : devices) {
        if (session.Send(*device, BuildBatchRecord(device->record, command, user, password), error)) {
            std::printf("%s sent to %s\n", what, DeviceLabel(*device).c_str());
        } else {
            std::printf("%s NOT sent to %s: %s\n", what, DeviceLabel(*device).c_str(), SafeText(error).c_str());
            status = kExitNetwork;
        }
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return status;
}
