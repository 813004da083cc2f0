// The devices' user and password for a command that sends, from wherever
// the operator put them; never from the command line.
#pragma once

#include <string>

#include "cli/args.h"

// The user from --user; the password from --password-file (its first line),
// else NW_PASSWORD, else a prompt without echo on a terminal. False with
// `error` when one is missing or empty.
bool ObtainCredentials(const Invocation& invocation, std::string& user, std::string& password, std::string& error);
