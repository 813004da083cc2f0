// Lead bytes of a single-byte code page, of Korean (949) and of Japanese
// (932), for tests of rules that take a lead-byte test: the code pages
// differ in which bytes start a two-byte character.
#pragma once

inline bool SingleByte(unsigned char)
{
    return false;
}
inline bool Korean(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}
inline bool Japanese(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
