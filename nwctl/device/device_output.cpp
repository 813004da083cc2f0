#include "device/device_output.h"

#include "device/device_fields.h"
#include "io/csv.h"
#include "io/json.h"
#include "io/safe_text.h"
#include "io/table.h"

namespace {

// Who, where, what and how current: 70 characters for a usual camera.
const char* const kTableFields[] = {"mac", "ip", "mode", "product", "firmware"};

}  // namespace

std::vector<std::size_t> ShownFields(OutputFormat format, const std::vector<std::size_t>& columns, bool wide)
{
    if (!columns.empty())
        return columns;
    std::vector<std::size_t> fields;
    if (format != OutputFormat::Table || wide) {
        for (std::size_t i = 0; i < kFieldCount; ++i)
            fields.push_back(i);
    } else {
        for (const char* name : kTableFields)
            fields.push_back(*FieldNamed(name));
    }
    return fields;
}

std::string FormatDevices(const std::vector<FoundDevice>& devices, OutputFormat format,
                          const std::vector<std::size_t>& fields, std::optional<std::size_t> width)
{
    std::vector<std::string> header;
    for (const std::size_t field : fields)
        header.emplace_back(kFieldNames.at(field));
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> objects;
    for (const FoundDevice& device : devices) {
        const auto values = DeviceFieldValues(device);
        if (format == OutputFormat::Json) {
            JsonMembers members;
            for (const std::size_t field : fields)
                members.emplace_back(kFieldNames[field],
                                     IsNumberField(field) ? values[field] : JsonString(values[field]));
            objects.push_back(JsonObject(members));
        } else {
            std::vector<std::string> row;
            for (const std::size_t field : fields) {
                const std::string& value = values[field];
                row.push_back(value.empty() && format == OutputFormat::Table ? "-" : SafeText(value));
            }
            rows.push_back(std::move(row));
        }
    }
    switch (format) {
        case OutputFormat::Json:
            return JsonArray(objects) + '\n';
        case OutputFormat::Csv: {
            std::string csv = CsvLine(header);
            for (const auto& row : rows)
                csv += CsvLine(row);
            return csv;
        }
        case OutputFormat::Table:
        case OutputFormat::Html:  // not search's
        case OutputFormat::Lines:
        case OutputFormat::Jsonl:
            break;
    }
    std::vector<bool> cut;
    for (const std::size_t field : fields)
        cut.push_back(IsFreeTextField(field));
    return FormatTable(header, rows, width, cut);
}
