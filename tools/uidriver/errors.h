// The two ways a command fails: the target did not do or show what was
// asked, or the command itself was malformed.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

#include "json.h"

class DriverError : public std::runtime_error {
public:
    // seen: what the driver saw last, for a reader to tell why a wait or
    // an action failed.
    explicit DriverError(const std::string& message, Json seen = Json())
        : std::runtime_error(message), seen_(std::move(seen))
    {
    }
    const Json& Seen() const { return seen_; }

private:
    Json seen_;
};

// A wait that ran out of time; Seen() tells what the target showed last.
class TimeoutError : public DriverError {
public:
    using DriverError::DriverError;
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
