// MD5 (RFC 1321) with the hashing state in a context the caller owns.
#pragma once

#include <cstdint>
#include <string_view>

#include "discovery_data.h"

struct MD5Context {
    std::uint32_t total[2];  // bytes hashed so far: low word, high word
    std::uint32_t state[4];
    unsigned char buffer[64];
};

class CMD5 {
public:
    virtual ~CMD5() = default;

    void Init(MD5Context* context);
    void Update(MD5Context* context, const unsigned char* data, std::uint32_t length);
    void Final(MD5Context* context, unsigned char digest[16]);
    void Transform(MD5Context* context, const unsigned char block[64]);
};

// Sets `passwordDigest` from the Password box's text: at most 31 bytes of it
// (it ends at its first NUL) hashed together with a terminating NUL, the 16
// digest bytes first and 16 zero bytes after them.
void SetPasswordDigest(DISCOVERY_DATA& record, std::string_view passwordText);
