// The duplicate index must answer exactly as a scan of the listed records
// would: both MAC texts equal and not empty, and both IP texts equal and not
// empty, for some listed record.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "device_keys.h"
#include "record_bytes.h"

namespace {

bool ScanFinds(const std::vector<DISCOVERY_DATA>& listed, const DISCOVERY_DATA& record)
{
    const std::string mac = LiteralText(record.macAddress);
    const std::string ip = LiteralText(record.ipAddress);
    for (const DISCOVERY_DATA& stored : listed) {
        if (!mac.empty() && LiteralText(stored.macAddress) == mac && !ip.empty() && LiteralText(stored.ipAddress) == ip)
            return true;
    }
    return false;
}

DISCOVERY_DATA Device(const std::string& mac, const std::string& ip)
{
    DISCOVERY_DATA record = FilledRecord(0);
    PutField(record.macAddress, mac);
    PutField(record.ipAddress, ip);
    return record;
}

struct KeyCase {
    const char* name;
    std::vector<DISCOVERY_DATA> listed;
    DISCOVERY_DATA reply;
    bool repeats;
};

TEST(DeviceKeys, RepeatIsTheSameMacTextAndIpText)
{
    const std::string fullMac(24, 'M');
    const std::string fullIp(32, '1');
    DISCOVERY_DATA otherTail = Device("00:11:22:33:44:55", "10.0.0.5");
    PutField(otherTail.macAddress, std::string("00:11:22:33:44:55\0zz", 20));
    std::memset(otherTail.productName, 'p', sizeof otherTail.productName);
    std::memset(otherTail.subnetMask, 's', sizeof otherTail.subnetMask);
    const KeyCase cases[] = {
        {"nothing listed", {}, Device("00:11:22:33:44:55", "10.0.0.5"), false},
        {"same pair", {Device("00:11:22:33:44:55", "10.0.0.5")}, Device("00:11:22:33:44:55", "10.0.0.5"), true},
        {"same MAC, other IP",
         {Device("00:11:22:33:44:55", "10.0.0.5")},
         Device("00:11:22:33:44:55", "10.0.0.6"),
         false},
        {"same IP, other MAC",
         {Device("00:11:22:33:44:55", "10.0.0.5")},
         Device("00:11:22:33:44:56", "10.0.0.5"),
         false},
        {"MAC differs in case only",
         {Device("00:aa:bb:cc:dd:ee", "10.0.0.5")},
         Device("00:AA:BB:CC:DD:EE", "10.0.0.5"),
         false},
        {"the pair is not one joined text", {Device("00:11:2", "2.0.0.5")}, Device("00:11:22", ".0.0.5"), false},
        {"empty MAC never repeats", {Device("", "10.0.0.5")}, Device("", "10.0.0.5"), false},
        {"empty IP never repeats", {Device("00:11:22:33:44:55", "")}, Device("00:11:22:33:44:55", ""), false},
        {"bytes after the NUL and other fields do not count",
         {Device("00:11:22:33:44:55", "10.0.0.5")},
         otherTail,
         true},
        {"full-width texts without NUL", {Device(fullMac, fullIp)}, Device(fullMac, fullIp), true},
        {"full-width MAC against a shorter one",
         {Device(fullMac, fullIp)},
         Device(fullMac.substr(0, 23), fullIp),
         false},
        {"found among several", {Device("a", "1"), Device("b", "2"), Device("c", "3")}, Device("b", "2"), true},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(ScanFinds(c.listed, c.reply), c.repeats) << "the case's own expectation is wrong";
        DeviceKeys keys;
        for (const DISCOVERY_DATA& record : c.listed)
            keys.Add(record);
        EXPECT_EQ(keys.Contains(c.reply), c.repeats);
    }
}

// Texts from alphabets small enough that equal pairs, empty texts, case
// differences and fields without a NUL keep meeting, with whatever else the
// record holds changing freely.
class RecordSource {
public:
    explicit RecordSource(unsigned seed) : random(seed) {}

    DISCOVERY_DATA Next()
    {
        static const std::string macs[] = {
            "",
            "00:11:22:33:44:55",
            "00:aa:bb:cc:dd:ee",
            "00:AA:BB:CC:DD:EE",
            std::string(24, 'M'),
            std::string(23, 'M') + "m",
        };
        static const std::string ips[] = {
            "", "10.0.0.1", "10.0.0.01", std::string(32, '9'), std::string(31, '9'),
        };
        DISCOVERY_DATA record;
        auto* bytes = reinterpret_cast<unsigned char*>(&record);
        // Two random bits a byte: NUL, 'a', 'b' or 'c'.
        std::uint32_t bits = 0;
        for (std::size_t i = 0; i < sizeof record; ++i) {
            if (i % 16 == 0)
                bits = static_cast<std::uint32_t>(random());
            const unsigned pick = bits & 3u;
            bits >>= 2;
            bytes[i] = static_cast<unsigned char>(pick == 0 ? 0 : 'a' + pick - 1);
        }
        PutField(record.macAddress, macs[random() % std::size(macs)]);
        PutField(record.ipAddress, ips[random() % std::size(ips)]);
        return record;
    }

    std::size_t Below(std::size_t limit) { return random() % limit; }

private:
    std::mt19937 random;
};

TEST(DeviceKeys, AnswersLikeTheScanThroughAnyChanges)
{
    for (unsigned seed = 1; seed <= 25; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RecordSource source(seed);
        DeviceKeys keys;
        std::vector<DISCOVERY_DATA> listed;
        for (int step = 0; step < 1500; ++step) {
            const std::size_t action = source.Below(20);
            if (action < 8) {
                const DISCOVERY_DATA record = source.Next();
                keys.Add(record);
                listed.push_back(record);
            } else if (action < 15 && !listed.empty()) {
                const std::size_t at = source.Below(listed.size());
                const DISCOVERY_DATA record = source.Next();
                keys.Replace(listed[at], record);
                listed[at] = record;
            } else if (action == 15) {
                keys.Clear();
                listed.clear();
            }
            for (int probe = 0; probe < 4; ++probe) {
                const DISCOVERY_DATA reply = source.Next();
                ASSERT_EQ(keys.Contains(reply), ScanFinds(listed, reply))
                    << "step " << step << ", MAC \"" << LiteralText(reply.macAddress) << "\", IP \""
                    << LiteralText(reply.ipAddress) << "\", " << listed.size() << " listed";
            }
            if (!listed.empty()) {
                const DISCOVERY_DATA& stored = listed[source.Below(listed.size())];
                ASSERT_EQ(keys.Contains(stored), ScanFinds(listed, stored)) << "step " << step;
            }
        }
    }
}

}  // namespace
