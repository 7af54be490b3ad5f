#include "platform/Text.h"

#include <gtest/gtest.h>
#include <string>

TEST(Text, CountsCodePointsNotBytes) {
    EXPECT_EQ(Utf8Length(""), 0u);
    EXPECT_EQ(Utf8Length("abc"), 3u);
    EXPECT_EQ(Utf8Length("Müller"), 6u);
    EXPECT_EQ(Utf8Length("\xE2\x82\xAC"
                         "5"),
              2u);                                 // euro sign
    EXPECT_EQ(Utf8Length("\xF0\x9F\x8E\xBE"), 1u); // four-byte character
    // A stray byte counts as one character.
    EXPECT_EQ(Utf8Length("a\xE9z"), 3u);
}

TEST(Text, CutNeverSplitsASequence) {
    EXPECT_EQ(Utf8Cut("Müller", 2), "Mü");
    EXPECT_EQ(Utf8Cut("Müller", 1), "M");
    EXPECT_EQ(Utf8Cut("ab", 10), "ab");
    EXPECT_EQ(Utf8Cut("\xE2\x82\xAC\xE2\x82\xAC", 1), "\xE2\x82\xAC");
    // A truncated sequence at the end is taken byte by byte, never overrun.
    EXPECT_EQ(Utf8Cut("a\xE2\x82", 2), "a\xE2");
}

TEST(Text, PadCountsCharacters) {
    EXPECT_EQ(Utf8Pad("Müller", 8), "Müller  ");
    EXPECT_EQ(Utf8Pad("Müller", 8, false), "  Müller");
    EXPECT_EQ(Utf8Pad("Müller", 3, true, 3), "Mül");
    EXPECT_EQ(Utf8Pad("Müller", 5, true, 2), "Mü   ");
    EXPECT_EQ(Utf8Pad("toolong", 3), "toolong"); // width alone never cuts, as "%-3s"
}

TEST(Text, ValidatesUtf8) {
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("Gr\xC3\xBC\xC3\x9F"));
    EXPECT_FALSE(IsValidUtf8("M\xFCller"));        // Windows-1252 u-umlaut
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));         // overlong NUL
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // past U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));         // cut short
    // Long ASCII runs are taken eight bytes at a time: whatever comes at
    // any place of such a run is still seen.
    for (std::size_t at = 0; at < 17; ++at) {
        const std::string before(at, 'a'), after(9, 'z');
        EXPECT_FALSE(IsValidUtf8(before + "\xFC" + after)) << at;
        EXPECT_FALSE(IsValidUtf8(before + "\xE2\x82" + after)) << at;
        EXPECT_FALSE(IsValidUtf8(before + "\xE2\x82")) << at;
        EXPECT_TRUE(IsValidUtf8(before + "\xE2\x82\xAC" + after)) << at;
    }
}

TEST(Text, ConvertsWindows1252) {
    EXPECT_EQ(Windows1252ToUtf8("M\xFCller"), "Müller");
    EXPECT_EQ(Windows1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(Windows1252ToUtf8("\x93quoted\x94"), "\xE2\x80\x9Cquoted\xE2\x80\x9D");
    EXPECT_EQ(Windows1252ToUtf8("\x81"), "\xEF\xBF\xBD"); // undefined byte
    EXPECT_EQ(TextFromFile("Müller"), "Müller");          // UTF-8 kept as it is
    EXPECT_EQ(TextFromFile("Fran\xE7ois"), "François");
}

TEST(Text, ComparesCaseBlindInAsciiOnly) {
    EXPECT_TRUE(SameTextAscii("installDirectory", "INSTALLDIRECTORY"));
    EXPECT_FALSE(SameTextAscii("ab", "abc"));
    EXPECT_FALSE(SameTextAscii("Ü", "ü"));
    EXPECT_EQ(LowerAscii("C:/Program Files/Ü"), "c:/program files/Ü");
}
