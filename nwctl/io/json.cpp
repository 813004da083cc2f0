#include "io/json.h"

std::string JsonObject(const JsonMembers& members)
{
    std::string json = "{";
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (i > 0)
            json += ", ";
        json += JsonString(members[i].first) + ": " + members[i].second;
    }
    return json + '}';
}

std::string JsonArray(const std::vector<std::string>& values)
{
    if (values.empty())
        return "[]";
    std::string json = "[\n";
    for (std::size_t i = 0; i < values.size(); ++i)
        json += "  " + values[i] + (i + 1 < values.size() ? ",\n" : "\n");
    return json + ']';
}
