// One received datagram, whatever its bytes, through every rule a record
// reaches: whether it is taken and by which feature, the duplicate keys, the
// row texts and the firmware date, the sort keys and their order, the export
// line, the web address, the firmware tool's command line, and the Save,
// Reboot and Factory Reset records built from it. Each rule is checked
// against what it must give, not only for crashes: a broken property aborts,
// so that the fuzzer keeps the input that broke it.
//
// The operator's side comes from fields that a search reply carries but the
// program never reads: the User ID box from `userId`, the Password box from
// the bytes of `passwordDigest`. The panel's edits for a Save come from the
// record's other fields, cross-wise, so that every text and number of a Save
// can be anything.
#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "apply_reply.h"
#include "code_page_lead_bytes.h"
#include "datagram.h"
#include "device_commands.h"
#include "device_keys.h"
#include "device_rows.h"
#include "export_line.h"
#include "extension_command.h"
#include "md5.h"
#include "record_bytes.h"
#include "scan_long.h"
#include "web_address.h"
#include "windows_command_line.h"

namespace {

[[noreturn]] void Violated(const char* property, int line)
{
    std::fprintf(stderr, "datagram_fuzz.cpp:%d: property violated: %s\n", line, property);
    std::abort();
}

#define REQUIRE(property)                  \
    do {                                   \
        if (!(property))                   \
            Violated(#property, __LINE__); \
    } while (false)

using LeadBytes = bool (*)(unsigned char);
constexpr LeadBytes kCodePages[] = {SingleByte, Korean, Japanese};

// How many of kCodePages can read `texts` differently: all of them when a
// byte could lead a two-byte character, else only the first.
std::size_t CodePagesFor(std::initializer_list<std::string_view> texts)
{
    for (const std::string_view text : texts) {
        if (std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x81; }))
            return std::size(kCodePages);
    }
    return 1;
}

// ---- references, written apart from the program's rules

// A token's number as strtol reads it, held to the 32-bit range.
std::int32_t LeadingNumber(const std::string& token)
{
    const long long value = std::strtoll(token.c_str(), nullptr, 10);
    return static_cast<std::int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

std::int32_t ReferenceFirmwareDate(const DISCOVERY_DATA& record)
{
    const std::string version = LiteralText(record.firmwareVersion).substr(0, 32);
    std::vector<std::string> tokens(1);
    for (const char c : version) {
        if (c != '_')
            tokens.back() += c;
        else if (!tokens.back().empty())
            tokens.emplace_back();
    }
    if (tokens.back().empty())
        tokens.pop_back();
    return tokens.size() >= 2 ? LeadingNumber(tokens.back()) : 0;
}

// Four parts split at every ".", each the canonical decimal form of a
// number from 0 to 255; the address's value, or none.
std::optional<std::uint32_t> ReferenceDottedValue(const std::string& text)
{
    std::vector<std::string> parts(1);
    for (const char c : text) {
        if (c == '.')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    if (parts.size() != 4)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const std::string& part : parts) {
        if (part.empty() || part.size() > 3 ||
            !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        const int number = std::atoi(part.c_str());
        if (number > 255 || std::to_string(number) != part)
            return std::nullopt;
        value = value << 8 | static_cast<std::uint32_t>(number);
    }
    return value;
}

// The longest sort key: the firmware version's whole field.
constexpr std::size_t kLongestKey = sizeof(DISCOVERY_DATA::firmwareVersion);

// A key as units: a lead byte and the byte after it make one.
struct Units {
    std::array<unsigned, kLongestKey> unit;
    std::size_t count = 0;
};

Units UnitsOf(std::string_view text, LeadBytes isLeadByte)
{
    REQUIRE(text.size() <= kLongestKey);
    Units units;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned unit = static_cast<unsigned char>(text[i]);
        if (isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size())
            unit = unit << 8 | static_cast<unsigned char>(text[++i]);
        units.unit[units.count++] = unit;
    }
    return units;
}

int ReferenceCompare(std::string_view first, std::string_view second, LeadBytes isLeadByte)
{
    const Units a = UnitsOf(first, isLeadByte);
    const Units b = UnitsOf(second, isLeadByte);
    const auto aEnd = a.unit.begin() + static_cast<std::ptrdiff_t>(a.count);
    const auto bEnd = b.unit.begin() + static_cast<std::ptrdiff_t>(b.count);
    if (std::lexicographical_compare(a.unit.begin(), aEnd, b.unit.begin(), bEnd))
        return -1;
    return std::lexicographical_compare(b.unit.begin(), bEnd, a.unit.begin(), aEnd) ? 1 : 0;
}

int Sign(long long value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

std::string WithoutCr(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

// What a box gives of a typed text: up to its first NUL, 31 bytes at most.
std::string AsTyped(std::string_view text)
{
    return std::string(text.substr(0, std::min(text.find('\0'), std::size_t{31})));
}

// An argument as the tool finds it: a lead byte that ends it shows as "?".
std::string AsTheToolReadsIt(std::string text, LeadBytes isLeadByte)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isLeadByte(static_cast<unsigned char>(text[i]))) {
            if (i + 1 == text.size())
                text[i] = '?';
            ++i;
        }
    }
    return text;
}

// A text field written from a box: the typed text and a NUL over the stored
// field, the bytes after the NUL kept.
template <std::size_t N>
void ExpectWritten(char (&field)[N], std::string_view typed)
{
    const std::string text = AsTyped(typed);
    std::memcpy(field, text.data(), text.size());
    field[text.size()] = '\0';
}

void ExpectDigest(DISCOVERY_DATA& record, std::string_view password)
{
    const std::string input = AsTyped(password) + '\0';
    CMD5 md5;
    MD5Context context;
    md5.Init(&context);
    md5.Update(&context, reinterpret_cast<const unsigned char*>(input.data()),
               static_cast<std::uint32_t>(input.size()));
    std::memset(record.passwordDigest, 0, sizeof record.passwordDigest);
    md5.Final(&context, record.passwordDigest);
}

// ---- the operator's side, from the record's unread fields

struct Operator {
    std::string userId;
    std::string password;
    PanelSettings panel;
};

Operator OperatorFrom(const DISCOVERY_DATA& record)
{
    Operator op;
    op.userId = LiteralText(record.userId);
    op.password = std::string(reinterpret_cast<const char*>(record.passwordDigest), sizeof record.passwordDigest);
    op.password = op.password.substr(0, op.password.find('\0'));
    const auto number = [](std::uint32_t bits) { return static_cast<long>(static_cast<std::int32_t>(bits)); };
    op.panel.addressMode = static_cast<int>(number(record.dhcp));
    op.panel.ipAddress = LiteralText(record.gateway) + LiteralText(record.dns);
    op.panel.subnetMask = LiteralText(record.subnetMask);
    op.panel.gateway = LiteralText(record.firmwareVersion);
    op.panel.dns = LiteralText(record.productName);
    op.panel.webPort = number(record.result);
    op.panel.controlPort = number(record.dhcp);
    op.panel.videoPort = record.videoPort;
    op.panel.audioTransmitPort = -static_cast<long>(record.audioTransmitPort);
    op.panel.audioReceivePort = number(record.audioReceivePort | std::uint32_t{record.httpsEnabled} << 16);
    op.panel.httpsEnabled = static_cast<int>(number(record.result ^ record.httpsEnabled));
    return op;
}

// ---- the rules

void CheckSaveRecord(const DISCOVERY_DATA& stored, const Operator& op, const DISCOVERY_DATA& sent)
{
    DISCOVERY_DATA expected = stored;
    expected.command = DISCOVERY_CMD_SET_CONFIG;
    ExpectWritten(expected.userId, op.userId);
    ExpectDigest(expected, op.password);
    expected.dhcp = static_cast<std::uint32_t>(op.panel.addressMode);
    ExpectWritten(expected.ipAddress, op.panel.ipAddress);
    ExpectWritten(expected.subnetMask, op.panel.subnetMask);
    ExpectWritten(expected.gateway, op.panel.gateway);
    ExpectWritten(expected.dns, op.panel.dns);
    expected.webPort = static_cast<std::uint16_t>(op.panel.webPort & 0xFFFF);
    expected.controlPort = static_cast<std::uint16_t>(op.panel.controlPort & 0xFFFF);
    expected.videoPort = static_cast<std::uint16_t>(op.panel.videoPort & 0xFFFF);
    expected.audioTransmitPort = static_cast<std::uint16_t>(op.panel.audioTransmitPort & 0xFFFF);
    expected.audioReceivePort = static_cast<std::uint16_t>(op.panel.audioReceivePort & 0xFFFF);
    expected.httpsEnabled = static_cast<std::uint8_t>(op.panel.httpsEnabled & 0xFF);
    REQUIRE(SameBytes(sent, expected));
}

void CheckBatchRecord(const DISCOVERY_DATA& stored, const Operator& op, std::uint32_t command,
                      const DISCOVERY_DATA& sent)
{
    DISCOVERY_DATA expected = stored;
    expected.command = command;
    ExpectWritten(expected.userId, op.userId);
    ExpectDigest(expected, op.password);
    REQUIRE(SameBytes(sent, expected));
}

// A row of the list, for a record and the row it was added as.
struct Row {
    DISCOVERY_DATA record;
    int row;
    std::array<std::string, DEVICE_LIST_COLUMNS> texts;
    std::array<std::string, DEVICE_LIST_COLUMNS> keys;
};

Row ListRow(const DISCOVERY_DATA& record, int row)
{
    Row listed{record, row, DeviceRowTexts(record, row), {}};
    const auto& texts = listed.texts;
    REQUIRE(texts[COLUMN_CHECK_BOX].empty());
    REQUIRE(texts[COLUMN_NO] == std::to_string(row + 1));
    REQUIRE(texts[COLUMN_MAC_ADDRESS] == LiteralText(record.macAddress));
    REQUIRE(texts[COLUMN_IP_ADDRESS] == LiteralText(record.ipAddress));
    REQUIRE(texts[COLUMN_PRODUCT_NAME] == LiteralText(record.productName));
    REQUIRE(texts[COLUMN_MANUFACTURER] == LiteralText(record.manufacturer));
    REQUIRE(texts[COLUMN_FIRMWARE_VERSION] == LiteralText(record.firmwareVersion));
    REQUIRE(texts[COLUMN_MAC_ADDRESS].size() <= sizeof record.macAddress);
    REQUIRE(texts[COLUMN_IP_ADDRESS].size() <= sizeof record.ipAddress);
    REQUIRE(texts[COLUMN_PRODUCT_NAME].size() <= sizeof record.productName);
    REQUIRE(texts[COLUMN_MANUFACTURER].size() <= sizeof record.manufacturer);
    REQUIRE(texts[COLUMN_FIRMWARE_VERSION].size() <= sizeof record.firmwareVersion);
    REQUIRE(texts[COLUMN_DEVICE_NAME].size() <= sizeof record.deviceName);
    for (const std::string& text : texts)
        REQUIRE(text.find('\0') == std::string::npos);

    const std::int32_t date = ReferenceFirmwareDate(record);
    REQUIRE(FirmwareDate(record) == date);
    REQUIRE(texts[COLUMN_DEVICE_NAME] ==
            (date >= DEVICE_NAME_MIN_FIRMWARE_DATE ? LiteralText(record.deviceName) : std::string("N/A")));

    for (int column = 0; column < DEVICE_LIST_COLUMNS; ++column)
        listed.keys[column] = DeviceSortKey(column, texts[column], record);
    REQUIRE(listed.keys[COLUMN_CHECK_BOX].empty());
    char number[16];
    std::snprintf(number, sizeof number, "%010d", row + 1);
    REQUIRE(listed.keys[COLUMN_NO] == number);
    const std::string& address = listed.keys[COLUMN_IP_ADDRESS];
    unsigned parts[4];
    char end = 0;
    REQUIRE(address.size() == 15 && address[3] == '.' && address[7] == '.' && address[11] == '.');
    REQUIRE(std::all_of(address.begin(), address.end(), [](char c) { return c == '.' || (c >= '0' && c <= '9'); }));
    REQUIRE(std::sscanf(address.c_str(), "%3u.%3u.%3u.%3u%c", &parts[0], &parts[1], &parts[2], &parts[3], &end) == 4);
    REQUIRE(std::all_of(std::begin(parts), std::end(parts), [](unsigned part) { return part <= 255; }));
    if (const auto value = ReferenceDottedValue(texts[COLUMN_IP_ADDRESS]))
        REQUIRE((parts[0] << 24 | parts[1] << 16 | parts[2] << 8 | parts[3]) == *value);
    for (const int column :
         {COLUMN_MAC_ADDRESS, COLUMN_PRODUCT_NAME, COLUMN_MANUFACTURER, COLUMN_FIRMWARE_VERSION, COLUMN_DEVICE_NAME})
        REQUIRE(listed.keys[column] == texts[column]);
    return listed;
}

// Two rows in every column, in every code page: one order, the same both
// ways round, equal only for equal keys, and by value where the keys hold
// numbers.
void CheckOrder(const Row& a, const Row& b)
{
    for (int column = 0; column < DEVICE_LIST_COLUMNS; ++column) {
        const std::string& first = a.keys[column];
        const std::string& second = b.keys[column];
        for (std::size_t page = 0; page < CodePagesFor({first, second}); ++page) {
            const LeadBytes isLeadByte = kCodePages[page];
            const int order = CompareMultibyte(first, second, isLeadByte);
            REQUIRE(order == ReferenceCompare(first, second, isLeadByte));
            REQUIRE(CompareMultibyte(second, first, isLeadByte) == -order);
            REQUIRE((order == 0) == (first == second));
        }
    }
    // These keys are digits and dots: every code page reads them alike.
    REQUIRE(CompareMultibyte(a.keys[COLUMN_NO], b.keys[COLUMN_NO], SingleByte) ==
            Sign(static_cast<long long>(a.row) - b.row));
    const auto addressA = ReferenceDottedValue(a.texts[COLUMN_IP_ADDRESS]);
    const auto addressB = ReferenceDottedValue(b.texts[COLUMN_IP_ADDRESS]);
    if (addressA && addressB)
        REQUIRE(CompareMultibyte(a.keys[COLUMN_IP_ADDRESS], b.keys[COLUMN_IP_ADDRESS], SingleByte) ==
                Sign(static_cast<long long>(*addressA) - *addressB));
}

void CheckDuplicateKeys(const std::vector<DISCOVERY_DATA>& records)
{
    for (const DISCOVERY_DATA& listed : records) {
        DeviceKeys keys;
        keys.Add(listed);
        for (const DISCOVERY_DATA& reply : records) {
            const std::string mac = LiteralText(reply.macAddress);
            const std::string ip = LiteralText(reply.ipAddress);
            const bool repeats = !mac.empty() && !ip.empty() && mac == LiteralText(listed.macAddress) &&
                                 ip == LiteralText(listed.ipAddress);
            REQUIRE(RepeatsListedDevice(listed, reply) == repeats);
            REQUIRE(RepeatsListedDevice(reply, listed) == repeats);
            REQUIRE(keys.Contains(reply) == repeats);
        }
    }
    // A Save overwrites a listed record: the keys follow it, also when the
    // table holds the old record twice.
    DeviceKeys keys;
    for (const DISCOVERY_DATA& listed : records)
        keys.Add(listed);
    keys.Add(records.front());
    keys.Replace(records.front(), records[1]);
    for (const DISCOVERY_DATA& reply : records) {
        const bool repeats = std::any_of(records.begin(), records.end(), [&reply](const DISCOVERY_DATA& listed) {
            return RepeatsListedDevice(listed, reply);
        });
        REQUIRE(keys.Contains(reply) == repeats);
    }
}

void CheckExportLine(const Row& row)
{
    const std::string& product = row.texts[COLUMN_PRODUCT_NAME];
    const std::string& mac = row.texts[COLUMN_MAC_ADDRESS];
    const std::string& ip = row.texts[COLUMN_IP_ADDRESS];
    const std::string line = ExportLine(product, mac, ip);
    REQUIRE(line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0);
    for (std::size_t i = 0; i < line.size(); ++i)
        REQUIRE(line[i] != '\n' || (i > 0 && line[i - 1] == '\r'));
    // Only carriage returns are added, at most one for each line feed.
    const std::string plain = "[" + product + "] " + mac + "\t" + ip + "\n";
    REQUIRE(WithoutCr(line) == WithoutCr(plain));
    REQUIRE(line.size() - plain.size() <= static_cast<std::size_t>(std::count(plain.begin(), plain.end(), '\n')));
}

void CheckWebAddress(const DISCOVERY_DATA& record, int httpsEnabled, long webPort)
{
    const std::optional<std::string> address = DeviceWebAddress(record, httpsEnabled, webPort);
    const std::string ip = LiteralText(record.ipAddress);
    if (!ReferenceDottedValue(ip)) {
        REQUIRE(!address);
        return;
    }
    REQUIRE(address);
    if (httpsEnabled != 0)
        REQUIRE(*address == "https://" + ip);
    else
        REQUIRE(*address == "http://" + ip + ":" + std::to_string(static_cast<std::uint32_t>(webPort)));
}

void CheckToolCommandLine(const Operator& op, const std::vector<Row>& ticked)
{
    std::vector<std::string> items;
    for (const Row& row : ticked) {
        items.push_back(ExtensionDeviceItem(row.texts[COLUMN_IP_ADDRESS], row.record));
        REQUIRE(items.back() == row.texts[COLUMN_IP_ADDRESS] + "&" + std::to_string(row.record.webPort) + "&" +
                                    LiteralText(row.record.firmwareVersion));
    }
    std::size_t pages = CodePagesFor({op.userId, op.password});
    for (const std::string& item : items)
        pages = std::max(pages, CodePagesFor({item}));
    for (std::size_t page = 0; page < pages; ++page) {
        const LeadBytes isLeadByte = kCodePages[page];
        std::vector<std::string> expected = {"./ExtensionTool/Reflash.exe"};
        if (const std::string userId = AsTyped(op.userId); !userId.empty())
            expected.insert(expected.end(), {"-u", AsTheToolReadsIt(userId, isLeadByte)});
        if (const std::string password = AsTyped(op.password); !password.empty())
            expected.insert(expected.end(), {"-p", AsTheToolReadsIt(password, isLeadByte)});
        for (const std::string& item : items)
            expected.insert(expected.end(), {"-i", AsTheToolReadsIt(item, isLeadByte)});
        const std::string line = ExtensionToolCommandLine(op.userId, op.password, items, isLeadByte);
        REQUIRE(line.rfind(EXTENSION_TOOL_PATH, 0) == 0);
        REQUIRE(SplitCommandLine(line, isLeadByte) == expected);
    }
}

// What the panel shows of a number it reads back the same.
void CheckPortExchange(long value)
{
    REQUIRE(ScanLong(std::to_string(value)) == value);
    REQUIRE(ScanLong(" " + std::to_string(value) + "\t") == value);
}

void CheckApplyReply(const DISCOVERY_DATA& reply, const Operator& op)
{
    const std::string mac = LiteralText(reply.macAddress);
    const char* const text = ApplyResultText(reply.result);
    REQUIRE((text != nullptr) == (reply.result <= DISCOVERY_RESULT_LOGIN_FAILED));

    std::optional<std::string> none;
    REQUIRE(TakeApplyReply(none, reply) == nullptr && !none);
    for (const std::string& awaited : {mac, mac + "x", op.userId, std::string()}) {
        std::optional<std::string> pending = awaited;
        const char* shown = TakeApplyReply(pending, reply);
        if (awaited == mac) {
            REQUIRE(shown == text && !pending);
        } else {
            REQUIRE(shown == nullptr && pending == awaited);
        }
    }
}

// One of the simulator's devices, to be compared with.
DISCOVERY_DATA MakeSimulatedDevice()
{
    DISCOVERY_DATA record = FilledRecord(0);
    record.command = DISCOVERY_CMD_SEARCH_REPLY;
    PutField(record.macAddress, "00:1A:2B:00:00:01");
    PutField(record.productName, "SimCam-0001");
    PutField(record.manufacturer, "Nodewright Lab");
    PutField(record.deviceName, "cam-0001");
    PutField(record.firmwareVersion, "1.4.2_20240115");
    PutField(record.ipAddress, "198.51.100.100");
    PutField(record.subnetMask, "255.255.255.0");
    PutField(record.gateway, "198.51.100.254");
    PutField(record.dns, "198.51.100.253");
    record.webPort = 80;
    record.controlPort = 30001;
    record.videoPort = 30002;
    record.audioReceivePort = 30003;
    record.audioTransmitPort = 30004;
    return record;
}

// A list row number the list can have: 0 up to the last before INT_MAX.
int RowNumber(std::uint32_t bits)
{
    return static_cast<int>(bits % static_cast<std::uint32_t>(INT_MAX));
}

void SearchReplyTakenIn(const DISCOVERY_DATA& record, const std::optional<DISCOVERY_DATA>& shifted)
{
    const Operator op = OperatorFrom(record);

    // Credentials of blanks alone are refused; anything else goes out.
    const auto blank = [](const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; };
    REQUIRE(CredentialsMissing(op.userId, op.password) == (blank(op.userId) || blank(op.password)));

    const DISCOVERY_DATA saved = BuildSaveRecord(record, op.panel, op.userId, op.password);
    CheckSaveRecord(record, op, saved);
    for (const std::uint32_t command : {DISCOVERY_CMD_REBOOT, DISCOVERY_CMD_FACTORY_RESET}) {
        CheckBatchRecord(record, op, command, BuildBatchRecord(record, command, op.userId, op.password));
        CheckBatchRecord(saved, op, command, BuildBatchRecord(saved, command, op.userId, op.password));
    }
    REQUIRE(BatchConfirmationLine(record) ==
            "IP : " + LiteralText(record.ipAddress) + " / MAC : " + LiteralText(record.macAddress) + "\n");

    // The list holds the reply; after a Save the table holds what was sent
    // at the same row. A second reading of the bytes and one of the
    // simulator's devices stand beside them.
    static const DISCOVERY_DATA simulated = MakeSimulatedDevice();
    std::vector<DISCOVERY_DATA> records = {record, saved, simulated};
    std::vector<Row> rows = {ListRow(record, RowNumber(record.result)), ListRow(saved, RowNumber(record.dhcp)),
                             ListRow(simulated, RowNumber(record.webPort | std::uint32_t{record.controlPort} << 16))};
    if (shifted) {
        records.push_back(*shifted);
        rows.push_back(ListRow(*shifted, RowNumber(shifted->result)));
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t j = i + 1; j < rows.size(); ++j)
            CheckOrder(rows[i], rows[j]);
        CheckExportLine(rows[i]);
    }
    CheckDuplicateKeys(records);

    // The row click puts the record's HTTPS byte and web port into the
    // panel; a Save then keeps the panel's own values.
    CheckWebAddress(record, record.httpsEnabled, record.webPort);
    CheckWebAddress(saved, op.panel.httpsEnabled, op.panel.webPort);

    CheckToolCommandLine(op, rows);

    for (const long port : {long{record.webPort}, long{record.controlPort}, long{record.videoPort},
                            long{record.audioTransmitPort}, long{record.audioReceivePort}, op.panel.webPort,
                            op.panel.controlPort, op.panel.audioTransmitPort, op.panel.audioReceivePort})
        CheckPortExchange(port);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::optional<DISCOVERY_DATA> record = RecordFromDatagram(data, size);
    REQUIRE(record.has_value() == (size >= 1 && size <= DISCOVERY_DATA_SIZE));
    if (!record)
        return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&*record);
    REQUIRE(std::memcmp(bytes, data, size) == 0);
    REQUIRE(std::all_of(bytes + size, bytes + DISCOVERY_DATA_SIZE, [](unsigned char b) { return b == 0; }));

    switch (FeatureOfDatagram(*record)) {
        case DatagramFeature::SearchReply:
            REQUIRE(record->command == DISCOVERY_CMD_SEARCH_REPLY);
            SearchReplyTakenIn(*record, RecordFromDatagram(data + 1, size - 1));
            break;
        case DatagramFeature::ApplyReply:
            REQUIRE(record->command == DISCOVERY_CMD_SET_CONFIG);
            CheckApplyReply(*record, OperatorFrom(*record));
            break;
        case DatagramFeature::None:
            REQUIRE(record->command != DISCOVERY_CMD_SEARCH_REPLY && record->command != DISCOVERY_CMD_SET_CONFIG);
            break;
    }
    return 0;
}
