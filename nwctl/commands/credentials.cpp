#include "commands/credentials.h"

#include <cstdio>
#include <cstdlib>

#include "commands/file_reading.h"
#include "device_commands.h"
#include "io/file_access.h"
#include "io/prompt.h"
#include "io/safe_text.h"

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

}  // namespace

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
            error = "the password file " + PathText(path) +
                    " is not UTF-8 or ASCII text: it holds NUL bytes or a UTF-16 byte-order mark. Save it as UTF-8 "
                    "or ASCII text";
            return false;
        }
        // As ssh does for its keys: a warning, not a refusal.
        if (const auto mode = PermissionsOpenToOthers(path)) {
            char octal[8];
            std::snprintf(octal, sizeof octal, "%04o", *mode);
            std::fprintf(stderr, "nwctl: warning: others can use the password file %s (mode %s): chmod 600 %s\n",
                         PathText(path).c_str(), octal, PathText(path).c_str());
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
