// What a header click sorts by: the key of each column and the comparison of
// two keys in a single-byte or a double-byte code page.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "code_page_lead_bytes.h"
#include "device_rows.h"
#include "record_bytes.h"

namespace {

DISCOVERY_DATA WithAddress(const std::string& address)
{
    DISCOVERY_DATA record = FilledRecord('7');
    PutField(record.ipAddress, address);
    PutField(record.subnetMask, "255.255.255.0");
    return record;
}

struct AddressCase {
    std::string address;
    const char* key;
};

TEST(AddressSortKey, FourPartsOfThreeDigits)
{
    const AddressCase cases[] = {
        {"192.168.0.1", "192.168.000.001"},
        {"192.168.0.10", "192.168.000.010"},
        {"255.255.255.255", "255.255.255.255"},
        {"10.0.0.300", "010.000.000.044"},
        {"256.257.511.512", "000.001.255.000"},
        {"-1.0.0.1", "255.000.000.001"},
        {"99999999999.1.1.1", "255.001.001.001"},
        {"-99999999999.1.1.1", "000.001.001.001"},
        {" 10. 20.+30x.40", "010.020.030.040"},
        {"010.08.09.1", "010.008.009.001"},
        {"1..2...3.4", "001.002.003.004"},
        {".1.2.3.4.", "001.002.003.004"},
        {"1.2.3.4.5", "001.002.003.004"},
        {"10.1", "010.001.000.000"},
        {"10", "010.000.000.000"},
        {"", "000.000.000.000"},
        {"...", "000.000.000.000"},
        {"garbage", "000.000.000.000"},
        {"a.b.c.d", "000.000.000.000"},
        {"fe80::1", "000.000.000.000"},
        {std::string(32, '1'), "255.000.000.000"},
        // 32 characters without a NUL; the subnet mask after them is not read.
        {"10.20.30" + std::string(24, ' '), "010.020.030.000"},
    };
    for (const AddressCase& c : cases) {
        SCOPED_TRACE("address \"" + c.address + "\"");
        DISCOVERY_DATA record = WithAddress(c.address);
        EXPECT_EQ(AddressSortKey(record), c.key);
        PutField(record.subnetMask, ".7.7.7");
        EXPECT_EQ(AddressSortKey(record), c.key);
    }
}

struct KeyCase {
    int column;
    std::string cell;
    const char* key;
};

TEST(DeviceSortKey, EachColumnsKey)
{
    const DISCOVERY_DATA record = WithAddress("192.168.0.9");
    const KeyCase cases[] = {
        {COLUMN_CHECK_BOX, "", ""},
        {COLUMN_CHECK_BOX, "anything", ""},
        {COLUMN_NO, "7", "0000000007"},
        {COLUMN_NO, "1", "0000000001"},
        {COLUMN_NO, "10", "0000000010"},
        {COLUMN_NO, "123", "0000000123"},
        {COLUMN_NO, "65536", "0000065536"},
        {COLUMN_NO, "2147483647", "2147483647"},
        {COLUMN_NO, "", "0000000000"},
        {COLUMN_NO, "x", "0000000000"},
        {COLUMN_NO, "-5", "0000000000"},
        {COLUMN_IP_ADDRESS, "10.0.0.1", "192.168.000.009"},
        {COLUMN_IP_ADDRESS, "", "192.168.000.009"},
        {COLUMN_MAC_ADDRESS, "00:aa:BB:cc:dd:ee", "00:aa:BB:cc:dd:ee"},
        {COLUMN_MAC_ADDRESS, "", ""},
        {COLUMN_PRODUCT_NAME, "IPC-100 ", "IPC-100 "},
        {COLUMN_MANUFACTURER, "Maker", "Maker"},
        {COLUMN_FIRMWARE_VERSION, "V1.2.3_20220807", "V1.2.3_20220807"},
        {COLUMN_DEVICE_NAME, "N/A", "N/A"},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE("column " + std::to_string(c.column) + ", cell \"" + c.cell + "\"");
        EXPECT_EQ(DeviceSortKey(c.column, c.cell, record), c.key);
    }
}

std::vector<std::string> SortedBy(int column, const std::vector<std::string>& cells,
                                  const std::vector<std::string>& addresses)
{
    std::vector<std::pair<std::string, std::string>> rows;
    for (std::size_t i = 0; i < cells.size(); ++i)
        rows.emplace_back(DeviceSortKey(column, cells[i], WithAddress(addresses[i])), cells[i]);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return CompareMultibyte(a.first, b.first, SingleByte) < 0; });
    std::vector<std::string> order;
    for (const auto& row : rows)
        order.push_back(row.second);
    return order;
}

// Row numbers sort by value, from 100 rows on too; so do addresses, part by
// part.
TEST(DeviceSortKey, OrderOfNumbersAndAddresses)
{
    const std::vector<std::string> numbers = {"123", "11", "100", "9", "10", "7", "2", "1000", "65536", "101"};
    EXPECT_EQ(SortedBy(COLUMN_NO, numbers, std::vector<std::string>(numbers.size())),
              (std::vector<std::string>{"2", "7", "9", "10", "11", "100", "101", "123", "1000", "65536"}));

    const std::vector<std::string> addresses = {"192.168.0.10", "192.168.0.9", "10.0.0.1", "9.255.255.255",
                                                "192.168.1.0"};
    EXPECT_EQ(SortedBy(COLUMN_IP_ADDRESS, addresses, addresses),
              (std::vector<std::string>{"9.255.255.255", "10.0.0.1", "192.168.0.9", "192.168.0.10", "192.168.1.0"}));
}

struct CompareCase {
    const char* name;
    bool (*isLeadByte)(unsigned char);
    std::string first;
    std::string second;
    int expected;
};

// Each text is handed over in a heap block of exactly its length, so that a
// read past its end is caught.
int CompareExact(const std::string& first, const std::string& second, bool (*isLeadByte)(unsigned char))
{
    const auto block = [](const std::string& text) {
        auto bytes = std::make_unique<char[]>(text.size() ? text.size() : 1);
        std::copy(text.begin(), text.end(), bytes.get());
        return bytes;
    };
    const auto a = block(first);
    const auto b = block(second);
    return CompareMultibyte(std::string_view(a.get(), first.size()), std::string_view(b.get(), second.size()),
                            isLeadByte);
}

TEST(CompareMultibyte, ByCharacterCode)
{
    const CompareCase cases[] = {
        {"equal", SingleByte, "abc", "abc", 0},
        {"both empty", SingleByte, "", "", 0},
        {"empty first", SingleByte, "", "a", -1},
        {"prefix first", SingleByte, "ab", "abc", -1},
        {"longer last", SingleByte, "abc", "ab", 1},
        {"by code", SingleByte, "abc", "abd", -1},
        {"case-sensitive: capitals first", SingleByte, "B", "a", -1},
        {"case-sensitive: not equal", SingleByte, "a", "A", 1},
        {"bytes above 0x7F are large", SingleByte, "\x80", "z", 1},
        {"0xFF after 0x80", SingleByte, "\xFF", "\x80", 1},
        {"digits", SingleByte, "10", "100", -1},
        {"single-byte code page: high bytes one by one", SingleByte, "\x81\x40", "\xA1", -1},
        {"Korean: syllables by code", Korean, "\xB0\xA1", "\xB0\xA2", -1},
        {"Korean: syllable after ASCII", Korean, "\xB0\xA1", "z", 1},
        {"Korean: trail byte in ASCII range", Korean, "\x81\x41", "\x81\x5A", -1},
        {"Korean: same syllable, then ASCII", Korean,
         "\xB0\xA1"
         "a",
         "\xB0\xA1"
         "b",
         -1},
        {"Japanese: double-byte unit above a single-byte katakana", Japanese, "\x81\x40", "\xA1", 1},
        {"Japanese: katakana below a double-byte unit", Japanese, "\xDF", "\x81\x40", -1},
        {"Japanese: trail byte that is also a lead byte", Japanese, "\x81\x81\x82", "\x81\x81\x81\x41", -1},
        {"Japanese: trail byte 0x5C", Japanese,
         "\x95\x5C"
         "a",
         "\x95\x5C"
         "b",
         -1},
        {"lone lead byte at the end against nothing", Korean, "a\xB0", "a", 1},
        {"lone lead byte at the end against itself", Korean, "a\xB0", "a\xB0", 0},
        {"lone lead byte at the end before its character", Korean, "a\xB0", "a\xB0\xA1", -1},
        {"lone lead byte at the end against ASCII", Korean, "a\xB0", "aa", 1},
        {"lone lead byte only", Japanese, "\x81", "\x81", 0},
    };
    for (const CompareCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CompareExact(c.first, c.second, c.isLeadByte), c.expected);
        EXPECT_EQ(CompareExact(c.second, c.first, c.isLeadByte), -c.expected);
    }
}

// The list sort needs a total order: equal only for equal texts, the
// opposite answer with the texts swapped, and no cycles among three.
TEST(CompareMultibyte, IsATotalOrderInEveryCodePage)
{
    const unsigned char alphabet[] = {'a', 'B', '\\', 0x41, 0x5C, 0x7F, 0x80, 0x81, 0x9F, 0xA1, 0xB0, 0xDF, 0xE0, 0xFF};
    std::mt19937 random(949);
    std::vector<std::string> texts;
    for (int i = 0; i < 60; ++i) {
        std::string text;
        for (std::size_t length = random() % 5; length > 0; --length)
            text += static_cast<char>(alphabet[random() % std::size(alphabet)]);
        texts.push_back(text);
    }
    for (auto isLeadByte : {SingleByte, Korean, Japanese}) {
        for (const std::string& a : texts) {
            for (const std::string& b : texts) {
                const int ab = CompareExact(a, b, isLeadByte);
                ASSERT_EQ(ab, -CompareExact(b, a, isLeadByte));
                ASSERT_EQ(ab == 0, a == b);
                for (const std::string& c : texts) {
                    if (ab <= 0 && CompareExact(b, c, isLeadByte) <= 0) {
                        ASSERT_LE(CompareExact(a, c, isLeadByte), 0);
                    }
                }
            }
        }
    }
}

}  // namespace
