// Names in the system code page: GBK with the Chinese interface, CP1252
// otherwise; cut after the last whole character that fits, never read past
// the record.
#include <gtest/gtest.h>

#include <string>

#include "platform/codepage.h"
#include "platform/resources.h"

namespace {

TEST(CodePageTest, EncodeCutsAfterTheLastWholeCharacterThatFits)
{
    struct Case {
        const char* name;
        std::wstring text;
        int codePage;
        std::string bytes;
    } cases[] = {
        // clang-format off
        {"ASCII", L"Front L", 1252, "Front L"},
        {"Latin-1 accents", L"Café Größe", 1252,
         "Caf\xE9 Gr\xF6\xDF"
         "e"},
        {"euro sign",
         L"\x20AC"
         L"5",
         1252,
         "\x80"
         "5"},
        {"ASCII of 25 cut at 20", L"abcdefghijklmnopqrstuvwxy", 1252, "abcdefghijklmnopqrst"},
        {"ten Chinese fill 20", L"前左喇叭被设置为静音", 936,
         "\xC7\xB0\xD7\xF3\xC0\xAE\xB0\xC8\xB1\xBB\xC9\xE8\xD6\xC3\xCE\xAA\xBE\xB2\xD2\xF4"},
        {"eleventh Chinese dropped", L"前左喇叭被设置为静音啊", 936,
         "\xC7\xB0\xD7\xF3\xC0\xAE\xB0\xC8\xB1\xBB\xC9\xE8\xD6\xC3\xCE\xAA\xBE\xB2\xD2\xF4"},
        {"a character cut at byte 20", L"A前左喇叭被设置为静音", 936,
         "A\xC7\xB0\xD7\xF3\xC0\xAE\xB0\xC8\xB1\xBB\xC9\xE8\xD6\xC3\xCE\xAA\xBE\xB2"},
        {"Chinese and ASCII in GBK", L"CH1前", 936, "CH1\xC7\xB0"},
        {"Chinese in CP1252", L"前A", 1252, "?A"},
        {"empty", L"", 936, ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string got = EncodeAnsi(c.text, 20, c.codePage);
        EXPECT_EQ(got, c.bytes);
        EXPECT_LE(got.size(), 20u);
    }
}

TEST(CodePageTest, DecodeReadsAtMostTheRecordAndStopsAtZero)
{
    struct Case {
        const char* name;
        std::string record;  // may run past n
        size_t n;
        int codePage;
        std::wstring text;
    } cases[] = {
        // clang-format off
        {"terminated", std::string("Sub\0junk", 8), 20, 1252, L"Sub"},
        {"20 bytes and more behind", "abcdefghijklmnopqrstUVWXYZ", 20, 1252, L"abcdefghijklmnopqrst"},
        {"accents", "Caf\xE9", 20, 1252, L"Café"},
        {"ten Chinese, no zero", "\xC7\xB0\xD7\xF3\xC0\xAE\xB0\xC8\xB1\xBB\xC9\xE8\xD6\xC3\xCE\xAA\xBE\xB2\xD2\xF4XYZ",
         20, 936, L"前左喇叭被设置为静音"},
        {"lead byte at the end", "AB\xC7", 3, 936, L"AB\xFFFD"},
        {"empty", std::string("\0abc", 4), 20, 936, L""},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DecodeAnsi(c.record.data(), c.n, c.codePage), c.text);
    }
}

TEST(CodePageTest, SystemCodePageFollowsTheInterfaceLanguage)
{
    const uint16_t saved = g_languageId;
    g_languageId = LANG_CHINESE_PRC;
    EXPECT_EQ(SystemAnsiCodePage(), 936);
    EXPECT_EQ(EncodeAnsi(L"前", 20), "\xC7\xB0");
    g_languageId = LANG_ENGLISH_US;
    EXPECT_EQ(SystemAnsiCodePage(), 1252);
    EXPECT_EQ(DecodeAnsi("\xC7\xB0", 2), L"Ç°");
    g_languageId = saved;
}

TEST(CodePageTest, Utf8PathsRoundTrip)
{
    const std::wstring path = L"/tmp/固件/system_Yastu.img";
    EXPECT_EQ(Utf8ToWide(WideToUtf8(path)), path);
    EXPECT_EQ(WideToUtf8(L"é"), "\xC3\xA9");
}

}  // namespace
