// What several commands share: messages, credentials, confirmation, files,
// the search, finding the device a MAC names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "args.h"
#include "exit_codes.h"
#include "found_devices.h"
#include "safe_text.h"
#include "session.h"

// Writes "nwctl: MESSAGE" to standard error and returns `code`.
int Fail(int code, const std::string& message);

// The user from --user; the password from --password-file (its first line),
// else NW_PASSWORD, else a prompt without echo on a terminal. False with
// `error` when one is missing or empty.
bool ObtainCredentials(const Invocation& invocation, std::string& user, std::string& password, std::string& error);

enum class Confirmation { Yes, No, NobodyToAsk };

// `question` on standard error and a y/N answer from the terminal, unless
// --yes answered it already.
Confirmation Confirm(const std::string& question, bool yes);

// Whether a confirmation can be had at all: --yes, or a terminal to ask on.
// Checked before the search, so that a run that could never send ends at
// once.
bool CanConfirm(bool yes);

// The exit status and message for an answer that was not yes.
int NotConfirmed(Confirmation answer);

// Opens the adapters --adapter names and searches. kExitOk, or the exit
// status after saying why not.
int OpenAndSearch(const Invocation& invocation, Session& session, std::vector<FoundDevice>& found);

// Says on standard error that the search found no device, with the likely
// causes, and returns kExitNoDevices.
int NoDeviceAnswered(const Session& session);

// The start of a command that sends: a way to confirm and the credentials,
// checked before the search, then the search. kExitOk, or the exit status
// after saying why not.
int SearchToSend(const Invocation& invocation, std::string& user, std::string& password, Session& session,
                 std::vector<FoundDevice>& found);

bool ReadWholeFile(const std::string& path, std::string& text, std::string& error);

// The rows of the CSV file at `path` as `read` takes them. kExitOk, or
// kExitUsage after naming each fault.
template <typename Row>
int ReadRowsFile(const std::string& path, bool (*read)(std::string_view, std::vector<Row>&, std::vector<std::string>&),
                 std::vector<Row>& rows)
{
    std::string text, error;
    if (!ReadWholeFile(path, text, error))
        return Fail(kExitUsage, error);
    std::vector<std::string> errors;
    if (read(text, rows, errors))
        return kExitOk;
    for (const std::string& fault : errors)
        Fail(kExitUsage, SafeText(path) + ": " + fault);
    return kExitUsage;
}

// The one device that answered with `mac`; false with `error` when none
// did, or more than one (at different addresses).
bool FindOneDevice(const std::vector<FoundDevice>& found, const MacAddress& mac, const FoundDevice*& device,
                   std::string& error);

// "00:1A:2B:00:00:01 at 192.0.2.10 (SimCam-0001)", made safe to show.
std::string DeviceLabel(const FoundDevice& device);

// "5", "0.5": seconds as an operator typed them.
std::string SecondsText(double seconds);