#include "command_support.h"

#include <cstdio>
#include <cstdlib>

#include "device_commands.h"
#include "exit_codes.h"
#include "plan_rules.h"
#include "prompt.h"
#include "safe_text.h"
#include "text_field.h"

namespace {

// The first line of a password file, without its line end.
std::string FirstLine(const std::string& text)
{
    std::string line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

}  // namespace

int Fail(int code, const std::string& message)
{
    std::fprintf(stderr, "nwctl: %s\n", message.c_str());
    return code;
}

bool ObtainCredentials(const Invocation& invocation, std::string& user, std::string& password, std::string& error)
{
    if (!invocation.user) {
        error = "give the devices' user with --user";
        return false;
    }
    user = *invocation.user;
    const char* variable = std::getenv("NW_PASSWORD");
    if (invocation.passwordFile) {
        std::string text;
        if (!ReadWholeFile(*invocation.passwordFile, text, error))
            return false;
        password = FirstLine(text);
    } else if (variable && *variable) {
        password = variable;
    } else if (InputIsTerminal()) {
        if (!AskTerminal("password for " + SafeText(user) + ": ", password, true)) {
            error = "no password was typed";
            return false;
        }
    } else {
        error = "no password: set NW_PASSWORD, give --password-file FILE, or run on a terminal to type it";
        return false;
    }
    if (CredentialsMissing(user, password)) {
        error = "the user and the password must not be empty or blanks only";
        return false;
    }
    return true;
}

Confirmation Confirm(const std::string& question, bool yes)
{
    if (yes)
        return Confirmation::Yes;
    if (!InputIsTerminal())
        return Confirmation::NobodyToAsk;
    std::string answer;
    if (!AskTerminal(question + " [y/N] ", answer, false))
        return Confirmation::No;
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "YES" || answer == "Yes" ? Confirmation::Yes
                                                                                                   : Confirmation::No;
}

bool CanConfirm(bool yes)
{
    return yes || InputIsTerminal();
}

int NotConfirmed(Confirmation answer)
{
    return Fail(kExitNotConfirmed, answer == Confirmation::NobodyToAsk
                                       ? "standard input is not a terminal to ask on: give --yes to send without "
                                         "asking. Nothing was sent"
                                       : "not confirmed. Nothing was sent");
}

int OpenAndSearch(const Invocation& invocation, Session& session, std::vector<FoundDevice>& found)
{
    std::string error;
    if (!session.Open(invocation.adapter, error) || !session.Search(invocation.rounds, ErrorIsTerminal(), found, error))
        return Fail(kExitNetwork, error);
    return kExitOk;
}

int SearchToSend(const Invocation& invocation, std::string& user, std::string& password, Session& session,
                 std::vector<FoundDevice>& found)
{
    if (!CanConfirm(invocation.yes))
        return NotConfirmed(Confirmation::NobodyToAsk);
    std::string error;
    if (!ObtainCredentials(invocation, user, password, error))
        return Fail(kExitUsage, error + ". Nothing was sent");
    return OpenAndSearch(invocation, session, found);
}

bool ReadWholeFile(const std::string& path, std::string& text, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    text.clear();
    bool read = file != nullptr;
    if (file) {
        char buffer[65536];
        std::size_t count;
        while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, count);
        read = !std::ferror(file);
        std::fclose(file);
    }
    if (!read)
        error = "cannot read " + SafeText(path);
    return read;
}

bool FindOneDevice(const std::vector<FoundDevice>& found, const MacAddress& mac, const FoundDevice*& device,
                   std::string& error)
{
    const std::vector<const FoundDevice*> devices = DevicesWithMac(found, mac);
    if (devices.size() == 1) {
        device = devices.front();
        return true;
    }
    if (devices.empty()) {
        error = FormatMac(mac) + " did not answer the search";
    } else {
        error = FormatMac(mac) + " answered from " + std::to_string(devices.size()) + " addresses:";
        for (const FoundDevice* other : devices) {
            error += ' ';
            error += SafeText(ReadTextField(other->record.ipAddress));
        }
    }
    return false;
}

std::string DeviceLabel(const FoundDevice& device)
{
    // "at " and nothing reads as a slip of the program; say it.
    const std::string address = ReadTextField(device.record.ipAddress);
    return SafeText(ReadTextField(device.record.macAddress)) + " at " +
           (address.empty() ? std::string("no address") : SafeText(address)) + " (" +
           SafeText(ReadTextField(device.record.productName)) + ")";
}

std::string SecondsText(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", seconds);
    return text;
}
