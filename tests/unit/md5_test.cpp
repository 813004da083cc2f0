// The digest against RFC 1321's suite and the password rule.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "discovery_data.h"
#include "md5.h"

namespace {

std::string Hex(const unsigned char* bytes, std::size_t length)
{
    std::string text;
    char pair[3];
    for (std::size_t i = 0; i < length; ++i) {
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        text += pair;
    }
    return text;
}

// Digest of `input`, fed in pieces of `chunk` bytes (0: one Update).
std::string Md5(const std::string& input, std::size_t chunk = 0)
{
    CMD5 md5;
    MD5Context context;
    md5.Init(&context);
    const auto* data = reinterpret_cast<const unsigned char*>(input.data());
    if (chunk == 0)
        chunk = input.size() + 1;
    for (std::size_t offset = 0; offset < input.size(); offset += chunk) {
        const std::size_t length = std::min(chunk, input.size() - offset);
        md5.Update(&context, data + offset, static_cast<std::uint32_t>(length));
    }
    unsigned char digest[16];
    md5.Final(&context, digest);
    return Hex(digest, sizeof digest);
}

TEST(Md5, Rfc1321Suite)
{
    struct Case {
        std::string input;
        const char* digest;
    } const cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const Case& c : cases) {
        // One Update, then pieces that cross the 64-byte blocks at every
        // alignment that matters.
        for (std::size_t chunk : {0, 1, 3, 63, 64, 65})
            EXPECT_EQ(Md5(c.input, chunk), c.digest) << '"' << c.input << "\" in pieces of " << chunk;
    }
}

TEST(Md5, InputsAroundThePaddingBoundaries)
{
    // Lengths where the padding takes one or two extra blocks; digests from
    // coreutils' md5sum of that many 'a' characters.
    struct Case {
        std::size_t length;
        const char* digest;
    } const cases[] = {
        {55, "ef1772b6dff9a122358552954ad0df65"}, {56, "3b0c8ac703f828b04c6c197006d17218"},
        {63, "b06521f39153d618550606be297466d5"}, {64, "014842d480b571495a4a0363793f7367"},
        {65, "c743a45e0d2e6a95cb859adae0248435"}, {1000, "cabe45dcc9ae5b66ba86600cca6b8ba8"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Md5(std::string(c.length, 'a')), c.digest) << c.length;
        EXPECT_EQ(Md5(std::string(c.length, 'a'), 7), c.digest) << c.length << " in pieces of 7";
    }
}

std::string DigestField(const std::string& password)
{
    DISCOVERY_DATA record;
    std::memset(&record, 0xEE, sizeof record);
    SetPasswordDigest(record, password);
    return Hex(record.passwordDigest, sizeof record.passwordDigest);
}

TEST(PasswordDigest, IsTheDigestOfTheTextAndItsNul)
{
    const std::string zeros(32, '0');
    struct Case {
        const char* name;
        std::string password;
        std::string hashedInput;  // the text and its NUL
    } const cases[] = {
        {"three characters hash as four bytes", "abc", std::string("abc\0", 4)},
        {"empty password hashes its NUL", "", std::string(1, '\0')},
        {"trailing spaces count", "admin  ", std::string("admin  \0", 8)},
        {"40 characters: the first 31 and a NUL", std::string(40, 'p'), std::string(31, 'p') + '\0'},
        {"31 characters are kept whole", std::string(31, 'q'), std::string(31, 'q') + '\0'},
    };
    for (const Case& c : cases) {
        const std::string field = DigestField(c.password);
        EXPECT_EQ(field.substr(0, 32), Md5(c.hashedInput)) << c.name;
        EXPECT_EQ(field.substr(32), zeros) << c.name << ": offsets 56 to 71";
    }
    EXPECT_NE(DigestField("admin"), DigestField("admin "));
    EXPECT_NE(DigestField("abc").substr(0, 32), Md5("abc"));
    // Known value: md5 of "1234" followed by a NUL byte.
    EXPECT_EQ(DigestField("1234").substr(0, 32), "bd32f0a9ec1a525819698e2cc05e2eb7");
}

}  // namespace
