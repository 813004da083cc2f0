// A search's devices as a table, CSV or JSON.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "device/found_devices.h"

// What --format takes: search writes a table, CSV or JSON; report HTML or
// JSON; watch lines or JSON Lines, one per event.
enum class OutputFormat { Table, Csv, Json, Html, Lines, Jsonl };

// The fields a search prints, as positions in kFieldNames, in order: those
// `columns` names; else every field in CSV and JSON (an edited CSV is a
// plan) and in the table with `wide`; else the table's few that fit a
// terminal 80 columns wide.
std::vector<std::size_t> ShownFields(OutputFormat format, const std::vector<std::size_t>& columns, bool wide);

// In the table an empty text shows as "-", so that no cell is blank; CSV
// and JSON keep it empty (a blank plan cell keeps the device's value).
// With `width`, the table's longest free texts (IsFreeTextField) are cut to
// fit it (FormatTable).
std::string FormatDevices(const std::vector<FoundDevice>& devices, OutputFormat format,
                          const std::vector<std::size_t>& fields, std::optional<std::size_t> width = std::nullopt);
