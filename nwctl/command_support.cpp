#include "command_support.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "device_commands.h"
#include "exit_codes.h"
#include "file_access.h"
#include "ipv4_text.h"
#include "plan_rules.h"
#include "prompt.h"
#include "safe_text.h"
#include "text_field.h"

namespace {

// The first line of a password file, without its line end and without the
// byte-order mark that Windows editors put before UTF-8 text.
std::string FirstLine(const std::string& text)
{
    std::string line = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? text.substr(3) : text;
    if (const std::size_t end = line.find('\n'); end != std::string::npos)
        line.erase(end);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

// Every path that can be opened shows whole; a longer one is cut.
constexpr std::size_t kPathShown = 4096;

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
        const std::string& path = *invocation.passwordFile;
        std::string text;
        if (!ReadWholeFile(path, text, error))
            return false;
        password = FirstLine(text);
        // Its digest would be of other bytes than were meant: the device
        // would refuse it with nothing to say why.
        if (password.find('\0') != std::string::npos || text.compare(0, 2, "\xFF\xFE") == 0 ||
            text.compare(0, 2, "\xFE\xFF") == 0) {
            error = "the password file " + ShortText(path, kPathShown) +
                    " is not UTF-8 or ASCII text: it holds NUL bytes or a UTF-16 byte-order mark. Save it as UTF-8 "
                    "or ASCII text";
            return false;
        }
        // As ssh does for its keys: a warning, not a refusal.
        if (const auto mode = PermissionsOpenToOthers(path)) {
            char octal[8];
            std::snprintf(octal, sizeof octal, "%04o", *mode);
            std::fprintf(stderr, "nwctl: warning: others can use the password file %s (mode %s): chmod 600 %s\n",
                         ShortText(path, kPathShown).c_str(), octal, ShortText(path, kPathShown).c_str());
        }
    } else if (variable && !*variable) {
        error =
            "NW_PASSWORD is set but empty: put the password in it, give --password-file FILE, or unset NW_PASSWORD "
            "to type the password at the prompt on a terminal";
        return false;
    } else if (variable) {
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

int NoDeviceAnswered(const Session& session)
{
    std::string adapters;
    for (const Adapter& adapter : session.SearchAdapters())
        adapters += (adapters.empty() ? "" : ", ") + SafeText(adapter.name) + " (" + FormatIPv4(adapter.address) + ")";
    return Fail(kExitNoDevices, "no device answered the search from " + adapters +
                                    ". Likely: no device is on this adapter's network; a firewall blocks the replies "
                                    "to UDP port 40014; or the devices are on another adapter (nwctl adapters lists "
                                    "them, --adapter all searches from every one)");
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
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    text.clear();
    bool read = file != nullptr;
    int reason = errno;
    if (file) {
        char buffer[65536];
        std::size_t count;
        errno = 0;
        while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, count);
        // A folder opens on Linux; reading it fails with EISDIR.
        read = !std::ferror(file);
        reason = errno;
        std::fclose(file);
    }
    if (!read)
        error =
            "cannot read " + ShortText(path, kPathShown) + (reason ? std::string(": ") + std::strerror(reason) : "");
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
