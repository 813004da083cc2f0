// The confirmation's Korean text: its code page 949 bytes read as the
// sentence the operator is meant to see, both through this system's own
// conversion (iconv natively, the program's converter on Windows).
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "viewer_texts.h"

#ifdef _WIN32
#include "code_page_text.h"
#else
#include <iconv.h>
#endif

namespace {

// "Internet explorer가 모두 종료됩니다. 진행하시겠습니까?"
const std::u16string kExpected =
    u"Internet explorer\uAC00 \uBAA8\uB450 \uC885\uB8CC\uB429\uB2C8\uB2E4. "
    u"\uC9C4\uD589\uD558\uC2DC\uACA0\uC2B5\uB2C8\uAE4C?";

#ifdef _WIN32
std::optional<std::u16string> Convert(unsigned codePage, std::string_view bytes)
{
    const auto wide = WideFromCodePage(codePage, bytes);
    if (!wide)
        return std::nullopt;
    return std::u16string(wide->begin(), wide->end());
}
#else
std::optional<std::u16string> Convert(unsigned codePage, std::string_view bytes)
{
    const std::string from = "CP" + std::to_string(codePage);
    const iconv_t converter = iconv_open("UTF-16LE", from.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string in(bytes);
    std::string out(in.size() * 4 + 4, '\0');
    char* inPointer = in.data();
    char* outPointer = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    const std::size_t done = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
    iconv_close(converter);
    if (done == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::nullopt;
    std::u16string text;
    for (std::size_t i = 0; i + 1 < out.size() - outLeft; i += 2)
        text.push_back(
            static_cast<char16_t>(static_cast<unsigned char>(out[i]) | static_cast<unsigned char>(out[i + 1]) << 8));
    return text;
}
#endif

TEST(ViewerConfirmation, Cp949BytesReadAsTheKoreanSentence)
{
    EXPECT_EQ(Convert(VIEWER_CONFIRMATION_CODE_PAGE, kViewerConfirmationCp949), kExpected);
    EXPECT_EQ(Convert(VIEWER_CONFIRMATION_CODE_PAGE, kViewerConfirmationCaption), u"UnInstall");
}

#ifdef _WIN32
TEST(ViewerConfirmation, ConversionFailsRatherThanGarbles)
{
    EXPECT_EQ(WideFromCodePage(949, ""), std::wstring());
    // 0xFF leads no character in code page 949.
    EXPECT_EQ(WideFromCodePage(949, "ok\xFF\xFF"), std::nullopt);
    // No system has a table for this code page: the caller falls back.
    EXPECT_EQ(WideFromCodePage(12345, "UnInstall"), std::nullopt);
}
#endif

}  // namespace
