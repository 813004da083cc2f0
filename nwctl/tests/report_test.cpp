// The handover report: its content from a search, a probe, an inventory
// and audit logs, and the HTML and JSON that show it, with device texts as
// hostile as a datagram can make them.
#include <gtest/gtest.h>

#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "device/device_fields.h"
#include "io/json_reading.h"
#include "record_bytes.h"
#include "report/html_text.h"
#include "report/report_html.h"
#include "report/report_json.h"
#include "report/report_model.h"
#include "rules/resolution_rules.h"
#include "search_reply.h"

namespace {

constexpr char kHostileName[] = "<img src=x onerror=alert(1)>";

FoundDevice Device(const std::string& mac, const std::string& ip, const std::string& product = "Cam",
                   const std::string& firmware = "1.0_20240115", const std::string& name = "cam")
{
    DISCOVERY_DATA record = SearchReply(mac, ip, product);
    PutField(record.firmwareVersion, firmware);
    PutField(record.deviceName, name);
    return FoundDevice{record, "lan0"};
}

const Adapter kLan0 = {"lan0", 0xC0000201u, 0xFFFFFF00u, 2, false, std::nullopt};  // 192.0.2.1/24

MacAddress Mac(const char* text)
{
    return *ParseMac(text);
}

TEST(HtmlText, EveryMarkupCharacterAndEveryByteOutsideAsciiIsText)
{
    const struct {
        std::string bytes;
        std::string html;
    } cases[] = {
        {kHostileName, "&lt;img src=x onerror=alert(1)&gt;"},
        {"a & b \"c\" 'd'", "a &amp; b &quot;c&quot; &#39;d&#39;"},
        {"</td></tr></table><script>", "&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;&lt;script&gt;"},
        {"&lt;", "&amp;lt;"},
        {std::string("nul\0bel\x07", 8), "nul\\x00bel\\x07"},
        {"\x1b[31mred", "\\x1B[31mred"},
        {"caf\xC3\xA9 \xFF", "caf\\xC3\\xA9 \\xFF"},
        {"back\\slash", "back\\\\slash"},
        {"\xE2\x80\xAE"
         "evil",
         "\\xE2\\x80\\xAEevil"},  // right-to-left override
    };
    for (const auto& c : cases)
        EXPECT_EQ(HtmlText(c.bytes), c.html) << c.html;
}

TEST(CssString, NothingEndsTheStringOrTheStyle)
{
    EXPECT_EQ(CssString("North 2"), "\"North 2\"");
    EXPECT_EQ(CssString("a\"b"), "\"a\\22 b\"");
    EXPECT_EQ(CssString("</style><script>"), "\"\\3c \\2f style\\3e \\3c script\\3e \"");
    EXPECT_EQ(CssString("x\ny\\"), "\"x\\5c x0Ay\\5c \\5c \"") << "SafeText's \\x0A, then CSS escapes";
}

TEST(ReportModel, MapRangeIsTheSubnetOrABoundedBlockAroundThisComputer)
{
    const struct {
        std::uint32_t address, mask, first, count;
        int prefix;
        bool whole;
    } cases[] = {
        {0xC0000201u, 0xFFFFFF00u, 0xC0000200u, 256, 24, true},
        {0xC0000281u, 0xFFFFFF80u, 0xC0000280u, 128, 25, true},
        {0xC0000205u, 0xFFFFFFFCu, 0xC0000204u, 4, 30, true},
        {0xC0000205u, 0xFFFFFFFFu, 0xC0000205u, 1, 32, true},
        {0xC0000201u, 0xFFFFFC00u, 0xC0000000u, 1024, 22, true},
        {0xAC10D205u, 0xFFFF0000u, 0xAC10D000u, 1024, 16, false},
        {0x0A0B0C0Du, 0x00000000u, 0x0A0B0C00u, 1024, 0, false},
        {0xC0000201u, 0xFF00FF00u, 0xC0000200u, 256, 24, true},  // no prefix: counted as /24
    };
    for (const auto& c : cases) {
        const MapRange range = MapRangeOf({"lan0", c.address, c.mask, 1, false, std::nullopt});
        EXPECT_EQ(range.first, c.first) << c.prefix;
        EXPECT_EQ(range.count, c.count) << c.prefix;
        EXPECT_EQ(range.prefix, c.prefix);
        EXPECT_EQ(range.whole, c.whole) << c.prefix;
    }
    const auto probed = AddressesToProbe(MapRangeOf(kLan0), {kLan0});
    EXPECT_EQ(probed.size(), 253u) << "neither the network nor the broadcast address, nor this computer's";
    EXPECT_EQ(probed.front(), 0xC0000202u);
    EXPECT_EQ(probed.back(), 0xC00002FEu);
}

ReportInput Site()
{
    ReportInput input;
    input.site = "North";
    input.time = 1705314600;
    input.searchAdapters = {kLan0};
    input.ownAdapters = {kLan0};
    input.found = {Device("00:1A:2B:00:00:03", "192.0.2.100", "Dome", "2.0_20240301"),
                   Device("00:1A:2B:00:00:01", "192.0.2.9", "Bullet", "1.0_20230101", kHostileName),
                   Device("00:1A:2B:00:00:02", "192.0.2.10", "Bullet", "no-date"),
                   Device("00:1A:2B:00:00:04", "", "Bullet"),
                   Device("00:1A:2B:00:00:05", "192.0.2.50", "Dome", "2.0_20240301")};
    input.found[0].record.webPort = 8080;  // the rest of its ports as shipped
    input.found[4].record.dhcp = 1;
    input.found[4].record.webPort = 81;
    input.found[4].record.controlPort = 1;
    input.found[4].record.videoPort = 2;
    input.found[4].record.audioReceivePort = 3;
    input.found[4].record.audioTransmitPort = 4;
    return input;
}

TEST(ReportModel, DevicesByAddressCountsAndFindings)
{
    ReportInput input = Site();
    input.inventory =
        std::vector<ExpectedDevice>{{Mac("00:1A:2B:00:00:01"), std::nullopt}, {Mac("00:1A:2B:00:00:09"), std::nullopt}};
    input.minFirmwareDate = 20240101;
    const ReportModel model = BuildReport(input);

    std::vector<std::string> order;
    for (const FoundDevice& device : model.devices)
        order.push_back(device.record.ipAddress);
    EXPECT_EQ(order, (std::vector<std::string>{"192.0.2.9", "192.0.2.10", "192.0.2.50", "192.0.2.100", ""}))
        << "by the address as a number; none last";
    EXPECT_EQ(model.time, "2024-01-15T10:30:00Z");

    auto counted = [](const std::vector<ReportCount>& counts) {
        std::vector<std::string> texts;
        for (const ReportCount& c : counts)
            texts.push_back(c.label + "=" + std::to_string(c.count) + (c.old ? " old" : ""));
        return texts;
    };
    EXPECT_EQ(counted(model.products), (std::vector<std::string>{"Bullet=3", "Dome=2"}));
    EXPECT_EQ(counted(model.modes), (std::vector<std::string>{"static=4", "dhcp=1"}));
    EXPECT_EQ(counted(model.firmwareDates),
              (std::vector<std::string>{"no date=1 old", "2023-01-01=1 old", "2024-01-15=1", "2024-03-01=2"}));

    std::vector<std::string> findings;
    for (const InventoryFinding& f : model.findings)
        findings.push_back(f.kind + " " + f.mac);
    EXPECT_EQ(findings, (std::vector<std::string>{
                            "missing 00:1A:2B:00:00:09",
                            "unexpected 00:1A:2B:00:00:03",
                            "unexpected 00:1A:2B:00:00:02",
                            "unexpected 00:1A:2B:00:00:04",
                            "unexpected 00:1A:2B:00:00:05",
                            "old-firmware 00:1A:2B:00:00:01",
                            "old-firmware 00:1A:2B:00:00:02",
                            "factory-ports 00:1A:2B:00:00:01",
                            "factory-ports 00:1A:2B:00:00:02",
                            "factory-ports 00:1A:2B:00:00:03",
                            "factory-ports 00:1A:2B:00:00:04",
                        }));
    EXPECT_TRUE(model.notChecked.empty());
    const auto some = FactoryPortsFinding(input.found[0]);
    ASSERT_TRUE(some);
    EXPECT_EQ(some->detail,
              "some ports as they left the factory: control_port 30001, video_port 30002, "
              "audio_transmit_port 30004, audio_receive_port 30003");
    EXPECT_FALSE(FactoryPortsFinding(input.found[4]));

    // Without an inventory nothing is unexpected, and the report says what
    // it did not check.
    const ReportModel bare = BuildReport(Site());
    for (const InventoryFinding& f : bare.findings)
        EXPECT_TRUE(f.kind == "factory-ports") << f.kind;
    EXPECT_EQ(bare.notChecked.size(), 2u);
}

// The page shows a kind found on many devices as one row with the count,
// after the rare findings; the JSON keeps each.
TEST(ReportHtml, AKindOnManyDevicesIsOneRowAfterTheRareOnes)
{
    ReportInput input = Site();
    input.inventory =
        std::vector<ExpectedDevice>{{Mac("00:1A:2B:00:00:01"), std::nullopt}, {Mac("00:1A:2B:00:00:09"), std::nullopt}};
    input.minFirmwareDate = 20240101;
    const ReportModel model = BuildReport(input);
    const std::string html = ReportHtml(model);
    const std::size_t start = html.find("<section id=\"findings\">");
    ASSERT_NE(start, std::string::npos);
    const std::string section = html.substr(start, html.find("</section>", start) - start);
    std::vector<std::string> rows;
    for (std::size_t at = section.find("<tr><td>"); at != std::string::npos; at = section.find("<tr><td>", at + 1)) {
        const std::size_t kind = section.find("\">", at) + 2;
        const std::size_t mac = section.find("<td>", kind) + 4;
        rows.push_back(section.substr(kind, section.find('<', kind) - kind) + " " +
                       section.substr(mac, section.find('<', mac) - mac));
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"missing 00:1A:2B:00:00:09", "old-firmware 00:1A:2B:00:00:01",
                                              "old-firmware 00:1A:2B:00:00:02", "unexpected 4 devices",
                                              "factory-ports 4 devices"}));
    EXPECT_NE(section.find("<p>11 found.</p>"), std::string::npos);
    JsonValue report;
    std::string error;
    ASSERT_TRUE(ParseJson(ReportJson(model), report, error)) << error;
    EXPECT_EQ(report.Member("findings")->items.size(), 11u);
}

TEST(ReportModel, EachAddressOfTheMapByWhoAnswersForIt)
{
    ReportInput input = Site();
    input.found.push_back(Device("00:1A:2B:00:00:06", "192.0.2.60"));
    input.found.push_back(Device("00:1A:2B:00:00:07", "192.0.2.70"));
    input.found.push_back(Device("00:1A:2B:00:00:08", "192.0.2.70"));
    input.use.Probed(0xC0000209u, {Mac("00:1A:2B:00:00:01")});  // .9: the device itself
    input.use.Probed(0xC000023Cu, {Mac("02:00:5E:00:00:01")});  // .60: a device and another MAC
    input.use.Probed(0xC000021Fu, {Mac("02:00:5E:00:00:02")});  // .31: another host
    input.use.Probed(0xC0000220u, {Mac("02:00:5E:00:00:03"), Mac("02:00:5E:00:00:04")});  // .32: two hosts
    input.use.Probed(0xC0000221u, {});                                                    // .33: free
    const ReportModel model = BuildReport(input);
    ASSERT_EQ(model.cells.size(), 256u);
    const struct {
        unsigned last;
        MapState state;
        const char* detail;  // part of it
    } cases[] = {
        {0, MapState::Reserved, "network address"},
        {1, MapState::ThisComputer, "lan0"},
        {9, MapState::Device, "00:1A:2B:00:00:01 Bullet"},
        {10, MapState::Device, "00:1A:2B:00:00:02"},
        {31, MapState::OtherHost, "02:00:5E:00:00:02"},
        {32, MapState::Conflict, "02:00:5E:00:00:03 02:00:5E:00:00:04"},
        {33, MapState::Free, "no answer"},
        {34, MapState::NotProbed, "not probed"},
        {60, MapState::Conflict, "the probe heard 02:00:5E:00:00:01"},
        {70, MapState::Conflict, "00:1A:2B:00:00:07 Cam, 00:1A:2B:00:00:08 Cam"},
        {255, MapState::Reserved, "broadcast"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(model.cells[c.last].state, c.state) << c.last;
        EXPECT_NE(model.cells[c.last].detail.find(c.detail), std::string::npos)
            << c.last << ": " << model.cells[c.last].detail;
    }
    std::size_t total = 0;
    for (const std::size_t count : model.stateCounts)
        total += count;
    EXPECT_EQ(total, 256u);
    EXPECT_EQ(model.stateCounts[static_cast<std::size_t>(MapState::Device)], 4u);
}

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(ReportHtml, HostileTextsAreTextAndThePageFetchesNothing)
{
    ReportInput input = Site();
    input.site = "</title><script>alert(1)</script>";
    input.found.push_back(
        Device("\"><svg onload=alert(1)>", "192.0.2.77", "<b>bold</b>", "x_20240101", "\xE2\x80\xAE\x1b[2J'"));
    input.auditLogs = {"<a href=x>.jsonl"};
    AuditChange change{"<a href=x>.jsonl", "<i>mac</i>", "2024-01-15T10:30:00Z", "not sent", "<error>", {}, {}, {}, {}};
    change.changes.push_back({Setting::Ip, "<from>", "<to>"});
    input.changes = {change};
    input.auditProblems = {"<a href=x>.jsonl: line 3: not JSON (<u>), skipped"};
    input.use.limit = "<marquee>";
    const std::string html = ReportHtml(BuildReport(input));

    for (const char* element : {"<img", "<script", "<svg onload", "<b>", "<i>", "<a ", "<marquee", "<u>", "<error",
                                "<from", "<to>", "onerror=alert(1)>"})
        EXPECT_EQ(html.find(element), std::string::npos) << element;
    for (const char* shown :
         {"&lt;img src=x onerror=alert(1)&gt;", "&lt;/title&gt;&lt;script&gt;alert(1)&lt;/script&gt;",
          "&quot;&gt;&lt;svg onload=alert(1)&gt;", "&lt;b&gt;bold&lt;/b&gt;", "\\xE2\\x80\\xAE\\x1B[2J&#39;",
          "&lt;a href=x&gt;.jsonl", "&lt;marquee&gt;"})
        EXPECT_NE(html.find(shown), std::string::npos) << shown;
    for (const char c : html)
        ASSERT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << "the page is ASCII: " << static_cast<int>(c);

    // Nothing to fetch: a policy that forbids it, no script, no reference
    // to anything outside the page (the SVG namespace is a name, not a
    // fetch).
    EXPECT_NE(html.find("<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
                        "style-src 'unsafe-inline'; img-src 'none'"),
              std::string::npos);
    EXPECT_EQ(Count(html, "://"), Count(html, "xmlns=\"http://www.w3.org/2000/svg\""));
    for (const char* fetch : {"src=\"", "url(", "@import", "<link", "<iframe", "<object"})
        EXPECT_EQ(html.find(fetch), std::string::npos) << fetch;
    EXPECT_EQ(Count(html, "</style"), 1u);
    EXPECT_EQ(Count(html, "<title>Handover report"), 1u);
}

TEST(ReportHtml, OneRowPerDeviceEveryFieldAndThePrintRules)
{
    const ReportModel model = BuildReport(Site());
    const std::string html = ReportHtml(model);
    const std::size_t table = html.find("<table class=\"devices\">");
    ASSERT_NE(table, std::string::npos);
    const std::string devices = html.substr(table, html.find("</table>", table) - table);
    EXPECT_EQ(Count(devices, "<tr>"), 1 + model.devices.size());
    EXPECT_EQ(Count(devices, "<th>"), kFieldCount);
    EXPECT_LT(devices.find("192.0.2.9<"), devices.find("192.0.2.10<"));
    for (const char* rule :
         {"@page { size: A4", "thead { display: table-header-group; }", "tr, .kind { break-inside: avoid",
          "counter(page)", "@top-left { content: \"Handover report\\3a  North\""})
        EXPECT_NE(html.find(rule), std::string::npos) << rule;
    EXPECT_NE(html.find("<svg"), std::string::npos);
    EXPECT_NE(html.find("249 addresses were not probed"), std::string::npos) << "it says so when nothing was probed";

    // A site where nothing answered gets a report that says so.
    ReportInput empty = Site();
    empty.found.clear();
    const std::string none = ReportHtml(BuildReport(empty));
    EXPECT_NE(none.find("No device answered the search"), std::string::npos);
    EXPECT_EQ(none.find("<table class=\"devices\">"), std::string::npos);
}

// The probe's own words count the addresses it could not probe; the note
// beside the map says them once, not beside a count of its own.
TEST(ReportHtml, TheMapNoteCountsTheAddressesNotProbedOnce)
{
    ReportInput input = Site();
    std::vector<std::uint32_t> tried;
    for (std::uint32_t address = 0xC0000202u; address < 0xC00002FFu; ++address) {
        input.use.NotProbed(address, "the system would not send to them: Operation not permitted");
        tried.push_back(address);
    }
    input.use.limit = NotProbedText({{tried, "the system would not send to them: Operation not permitted"}});
    const std::string html = ReportHtml(BuildReport(input));
    const std::size_t start = html.find("<p class=\"note\">");
    ASSERT_NE(start, std::string::npos);
    const std::string note = html.substr(start, html.find("</p>", start) - start);
    const std::regex counted("[0-9]+ address");
    EXPECT_EQ(std::distance(std::sregex_iterator(note.begin(), note.end(), counted), std::sregex_iterator()), 1)
        << note;
    EXPECT_NE(note.find("253 addresses could not be probed (the system would not send to them: Operation not "
                        "permitted)"),
              std::string::npos)
        << note;
}

TEST(ReportHtml, ACountTableLongerThanAPageMayBreakInPrint)
{
    // Kept whole, a long table of models would leave the first page empty
    // below the header.
    ReportInput input = Site();
    const std::string few = ReportHtml(BuildReport(input));
    EXPECT_NE(few.find("<div class=\"keep\"><h3>By model</h3>"), std::string::npos);
    for (int n = 0; n < 30; ++n)
        input.found.push_back(Device("02:00:00:00:01:" + std::to_string(10 + n), "192.0.2." + std::to_string(150 + n),
                                     "Model-" + std::to_string(n)));
    const std::string many = ReportHtml(BuildReport(input));
    EXPECT_NE(many.find("<div><h3>By model</h3>"), std::string::npos);
    EXPECT_NE(many.find("<div class=\"keep\"><h3>By address mode</h3>"), std::string::npos);
}

TEST(ReportHtml, AChangeVerifiedAtAnAddressNotProbedSaysSo)
{
    ReportInput input = Site();
    input.auditLogs = {"a.jsonl"};
    const AuditChange probed{"a.jsonl", "00:1A:2B:00:00:01", "t", "sent", "", {}, "Apply", true, true};
    AuditChange notProbed = probed;
    notProbed.mac = "00:1A:2B:00:00:02";
    notProbed.probed = false;
    input.changes = {probed, notProbed};
    const ReportModel model = BuildReport(input);
    const std::string html = ReportHtml(model);
    EXPECT_EQ(Count(html, "<td class=\"ok\">verified</td>"), 1u);
    EXPECT_EQ(Count(html, "<td>verified, address not probed</td>"), 1u);

    JsonValue report;
    std::string error;
    ASSERT_TRUE(ParseJson(ReportJson(model), report, error)) << error;
    const JsonValue& changes = *report.Member("changes");
    ASSERT_EQ(changes.items.size(), 2u);
    EXPECT_TRUE(changes.items[0].Member("probed")->boolean);
    EXPECT_EQ(changes.items[1].Member("probed")->kind, JsonValue::Kind::Bool);
    EXPECT_FALSE(changes.items[1].Member("probed")->boolean);
}

TEST(ReportHtml, ADeviceAnInterruptedRunNeverReachedIsNotSent)
{
    ReportInput input = Site();
    input.auditLogs = {"cut.jsonl"};
    input.changes = {{"cut.jsonl",
                      "00:1A:2B:00:00:03",
                      "2024-01-15T10:30:00Z",
                      "interrupted",
                      "the run was interrupted before its Save",
                      {},
                      std::nullopt,
                      std::nullopt,
                      std::nullopt}};
    const std::string html = ReportHtml(BuildReport(input));
    EXPECT_NE(html.find("<td>00:1A:2B:00:00:03</td><td><span class=\"muted\">not logged</span></td><td><span "
                        "class=\"bad\">not sent</span>: the run was interrupted before its Save</td><td "
                        "class=\"muted\">&#8212;</td>"),
              std::string::npos)
        << html;
}

TEST(ReportJson, TheSameContentAsTheHtml)
{
    ReportInput input = Site();
    input.found[1].record.productName[0] = '\x9b';
    input.auditLogs = {"a.jsonl"};
    input.changes = {
        {"a.jsonl", "00:1A:2B:00:00:01", "t", "sent", "", {{Setting::WebPort, "80", "8080"}}, "Apply", true, true}};
    const ReportModel model = BuildReport(input);
    JsonValue report;
    std::string error;
    ASSERT_TRUE(ParseJson(ReportJson(model), report, error)) << error;
    EXPECT_EQ(report.Member("site")->text, "North");
    const JsonValue& devices = *report.Member("devices");
    ASSERT_EQ(devices.items.size(), 5u);
    EXPECT_EQ(devices.items[0].Member("ip")->text, "192.0.2.9");
    EXPECT_EQ(devices.items[0].Member("name")->text, kHostileName);
    EXPECT_EQ(devices.items[0].Member("product")->text, "\x9bullet") << "bytes come back as they were";
    EXPECT_EQ(devices.items[0].Member("web_port")->kind, JsonValue::Kind::Number);
    EXPECT_EQ(report.Member("findings")->items.size(), model.findings.size());
    const JsonValue& change = report.Member("changes")->items.at(0);
    EXPECT_EQ(change.Member("changes")->items.at(0).Member("to")->text, "8080");
    EXPECT_TRUE(change.Member("verified")->boolean);
    const JsonValue& map = *report.Member("address_map");
    EXPECT_EQ(map.Member("addresses")->items.size(), 256u);
    EXPECT_EQ(map.Member("counts")->Member("not probed")->text, "249");
    EXPECT_EQ(map.Member("addresses")->items[9].Member("state")->text, "device");
}

}  // namespace
