// Reading the files an operator names: plans, inventories, password files.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/messages.h"
#include "io/safe_text.h"

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
        Fail(kExitUsage, PathText(path) + ": " + fault);
    return kExitUsage;
}
