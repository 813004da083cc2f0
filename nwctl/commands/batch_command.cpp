// reboot and reset: the command to each named device, 10 ms apart, as the
// window sends them.
#include "commands/batch_command.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "cli/args.h"
#include "cli/exit_codes.h"
#include "cli/labels.h"
#include "cli/messages.h"
#include "cli/standard_output.h"
#include "commands/command_search.h"
#include "commands/confirmation.h"
#include "commands/device_lookup.h"
#include "device_commands.h"
#include "io/safe_text.h"
#include "net/session.h"
#include "text_field.h"

// `command` is DISCOVERY_CMD_REBOOT or DISCOVERY_CMD_FACTORY_RESET: the two
// differ only in the record's command and the words shown.
int SendBatchCommand(const Invocation& invocation, std::uint32_t command)
{
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
    bool sent = false;
    for (const FoundDevice* device : devices) {
        if (session.Send(*device, BuildBatchRecord(device->record, command, user, password), error)) {
            std::printf("%s sent to %s\n", what, DeviceLabel(*device).c_str());
            sent = true;
        } else {
            std::printf("%s NOT sent to %s: %s\n", what, DeviceLabel(*device).c_str(), SafeText(error).c_str());
            status = kExitNetwork;
        }
        FlushOutput();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // The devices send no answer: "sent" is all that is known.
    if (sent)
        Fail(kExitOk, std::string("devices do not answer a ") + what +
                          ", so it is not confirmed: a device that takes it restarts" +
                          (command == DISCOVERY_CMD_REBOOT ? "" : " with its factory settings") +
                          ", and a search may not find it until it is up again");
    return status;
}
