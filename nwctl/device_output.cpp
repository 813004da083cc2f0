#include "device_output.h"

#include "csv.h"
#include "device_fields.h"
#include "json.h"
#include "safe_text.h"
#include "table.h"

std::string FormatDevices(const std::vector<FoundDevice>& devices, OutputFormat format)
{
    const std::vector<std::string> header(kFieldNames.begin(), kFieldNames.end());
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> objects;
    for (const FoundDevice& device : devices) {
        const auto values = DeviceFieldValues(device);
        if (format == OutputFormat::Json) {
            JsonMembers members;
            for (std::size_t i = 0; i < kFieldCount; ++i)
                members.emplace_back(kFieldNames[i], IsNumberField(i) ? values[i] : JsonString(values[i]));
            objects.push_back(JsonObject(members));
        } else {
            std::vector<std::string> row;
            for (const std::string& value : values)
                row.push_back(SafeText(value));
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
            break;
    }
    return FormatTable(header, rows);
}
