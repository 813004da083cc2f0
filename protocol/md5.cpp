#include "md5.h"

#include <cstring>

#include "text_field.h"

namespace {

std::uint32_t LoadLittleEndian(const unsigned char* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void StoreLittleEndian(std::uint32_t value, unsigned char* bytes)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

constexpr std::uint32_t RotateLeft(std::uint32_t x, int n)
{
    return (x << n) | (x >> (32 - n));
}

constexpr std::uint32_t F(std::uint32_t x, std::uint32_t y, std::uint32_t z)
{
    return (x & y) | (~x & z);
}
constexpr std::uint32_t G(std::uint32_t x, std::uint32_t y, std::uint32_t z)
{
    return (x & z) | (y & ~z);
}
constexpr std::uint32_t H(std::uint32_t x, std::uint32_t y, std::uint32_t z)
{
    return x ^ y ^ z;
}
constexpr std::uint32_t I(std::uint32_t x, std::uint32_t y, std::uint32_t z)
{
    return y ^ (x | ~z);
}

// The 64 steps of RFC 1321: for step i, the message word, the rotation and
// the constant floor(abs(sin(i + 1)) * 2^32).
// clang-format off
constexpr int kRotation[64] = {
    7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
    5,  9, 14, 20, 5,  9, 14, 20, 5,  9, 14, 20, 5,  9, 14, 20,
    4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
    6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21,
};
// clang-format on

constexpr std::uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

}  // namespace

void CMD5::Init(MD5Context* context)
{
    context->total[0] = 0;
    context->total[1] = 0;
    context->state[0] = 0x67452301;
    context->state[1] = 0xefcdab89;
    context->state[2] = 0x98badcfe;
    context->state[3] = 0x10325476;
}

void CMD5::Update(MD5Context* context, const unsigned char* data, std::uint32_t length)
{
    if (length == 0)
        return;

    const std::uint32_t buffered = context->total[0] & 0x3F;
    context->total[0] += length;
    if (context->total[0] < length)
        ++context->total[1];

    std::uint32_t offset = 0;
    if (buffered != 0) {
        const std::uint32_t missing = 64 - buffered;
        if (length < missing) {
            std::memcpy(context->buffer + buffered, data, length);
            return;
        }
        std::memcpy(context->buffer + buffered, data, missing);
        Transform(context, context->buffer);
        offset = missing;
    }
    for (; length - offset >= 64; offset += 64)
        Transform(context, data + offset);
    if (offset < length)
        std::memcpy(context->buffer, data + offset, length - offset);
}

void CMD5::Final(MD5Context* context, unsigned char digest[16])
{
    unsigned char bitCount[8];
    StoreLittleEndian(context->total[0] << 3, bitCount);
    StoreLittleEndian(context->total[1] << 3 | context->total[0] >> 29, bitCount + 4);

    static const unsigned char padding[64] = {0x80};
    const std::uint32_t used = context->total[0] & 0x3F;
    Update(context, padding, used < 56 ? 56 - used : 120 - used);
    Update(context, bitCount, 8);

    for (int i = 0; i < 4; ++i)
        StoreLittleEndian(context->state[i], digest + 4 * i);
}

void CMD5::Transform(MD5Context* context, const unsigned char block[64])
{
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = LoadLittleEndian(block + 4 * i);

    std::uint32_t a = context->state[0], b = context->state[1], c = context->state[2], d = context->state[3];
    for (int i = 0; i < 64; ++i) {
        std::uint32_t mixed;
        int word;
        switch (i / 16) {
            case 0:
                mixed = F(b, c, d);
                word = i;
                break;
            case 1:
                mixed = G(b, c, d);
                word = (5 * i + 1) % 16;
                break;
            case 2:
                mixed = H(b, c, d);
                word = (3 * i + 5) % 16;
                break;
            default:
                mixed = I(b, c, d);
                word = (7 * i) % 16;
                break;
        }
        const std::uint32_t rotated = b + RotateLeft(a + mixed + x[word] + kSine[i], kRotation[i]);
        a = d;
        d = c;
        c = b;
        b = rotated;
    }
    context->state[0] += a;
    context->state[1] += b;
    context->state[2] += c;
    context->state[3] += d;
}

void SetPasswordDigest(DISCOVERY_DATA& record, std::string_view passwordText)
{
    // The Password box is read into 32 bytes, so the text and its NUL are
    // what a fixed-size text field would hold.
    char text[TEXT_FIELD_MAX_TEXT + 1] = {};
    WriteTextField(text, passwordText);

    CMD5 md5;
    MD5Context context;
    md5.Init(&context);
    md5.Update(&context, reinterpret_cast<const unsigned char*>(text),
               static_cast<std::uint32_t>(std::strlen(text) + 1));
    std::memset(record.passwordDigest, 0, sizeof record.passwordDigest);
    md5.Final(&context, record.passwordDigest);
}
