// A search's devices as a table, CSV or JSON.
#pragma once

#include <string>
#include <vector>

#include "found_devices.h"

enum class OutputFormat { Table, Csv, Json };

std::string FormatDevices(const std::vector<FoundDevice>& devices, OutputFormat format);
