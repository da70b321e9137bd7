// The stand-in support library's text conversions: Latin-1 whatever the locale, and
// characters beyond U+FFFF kept whole.
#include <string>

#include <gtest/gtest.h>

#include "lumo.h"
#include "test_support/locales.h"

TEST(CharToStringASCII, ReadsLatin1BytesInAnyLocaleWithoutToolkitAssertions) {
    // Bytes above 127 once went through the locale (and asserted in UTF-8).
    // Windows has code pages instead (msvcrt no UTF-8): in 1252, 0x80 is the euro sign.
#if defined(_WIN32)
    const char* const locales[] = {"C", ".1252"};
#else
    const char* const locales[] = {"C", "C.UTF-8"};
#endif
    for (const char* name : locales) {
        character_locale locale(name);
        if (!locale.ok) // "C" always is: only the second may be missing
            GTEST_SKIP() << "no " << name << " locale here";
        wxString text;
        lumo_unicode_charToStringASCII("A\xE9\xFF\x80", 10, text);
        EXPECT_EQ(text, wxString(L"A\u00E9\u00FF\u0080")) << name;
    }
}

TEST(CharToStringUTF16BE, SurrogatePairsMakeOneCharacterAndLoneOnesTheReplacement) {
    struct expectation {
        const char* bytes;
        int size;
        const wchar_t* text;
    };
    const expectation cases[] = {
        {"\xD8\x3D\xDE\x00", 4, L"\U0001F600"},          // an emoji
        {"\xDB\xFF\xDF\xFF", 4, L"\U0010FFFF"},          // the last code point
        {"\xD8\x01\xDC\x37\x00\x41", 6, L"\U00010437A"}, // high bits of both halves count
        {"\xD8\x3D\x00\x41", 4, L"\uFFFDA"},             // high half without its low half
        {"\xDE\x00\x00\x41", 4, L"\uFFFDA"},             // low half alone
        {"\x00\x41\xD8\x3D", 4, L"A\uFFFD"},             // the room ends inside the pair
    };
    for (const expectation& c : cases) {
        wxString text;
        lumo_unicode_charToStringUTF16BE(c.bytes, c.size, text);
        EXPECT_EQ(text, wxString(c.text)) << c.size;
    }
}

// Text beyond U+FFFF is one character however wxString holds it (UTF-16 on
// Windows, where each half once came out as a replacement).
TEST(StringToChar, CharactersBeyondTheBasicPlaneStayWhole) {
    const wxString text(L"A\U0001F600B");

    char utf16[10];
    lumo_unicode_stringToCharUTF16BE(text, utf16, sizeof utf16);
    EXPECT_EQ(std::string(utf16, sizeof utf16),
              std::string("\x00\x41\xD8\x3D\xDE\x00\x00\x42\x00\x00", 10));
    wxString back;
    lumo_unicode_charToStringUTF16BE(utf16, sizeof utf16, back);
    EXPECT_EQ(back, text);

    char utf8[8];
    lumo_unicode_stringToCharUTF8(text, utf8, sizeof utf8);
    EXPECT_STREQ(utf8, "A\xF0\x9F\x98\x80"
                       "B");
    // Without room for all four bytes the character goes whole.
    lumo_unicode_stringToCharUTF8(text, utf8, 5);
    EXPECT_STREQ(utf8, "A");

    char latin1[4];
    lumo_unicode_stringToCharASCII(text, latin1, sizeof latin1);
    EXPECT_EQ(std::string(latin1, sizeof latin1), std::string("A?B\0", 4));
}

TEST(StringToChar, LoneSurrogatesBecomeTheReplacement) {
    // Only a UTF-16 wxString can hold a lone half; elsewhere this is a code
    // point of its own, with the same outcome.
    wxString text(L"A");
    text += wxUniChar(0xD83D);
    text += L"B";
    char utf16[8];
    lumo_unicode_stringToCharUTF16BE(text, utf16, sizeof utf16);
    EXPECT_EQ(std::string(utf16, sizeof utf16), std::string("\x00\x41\xFF\xFD\x00\x42\x00\x00", 8));
}

TEST(StringToChar, InvalidCodePointsBecomeTheReplacementInUTF8Too) {
    wxString text(L"A");
    text += wxUniChar(0xDC00);
    if (sizeof(wchar_t) == 4)
        text += wxUniChar(0x110000); // beyond Unicode: only a UTF-32 string holds it
    char utf8[12];
    lumo_unicode_stringToCharUTF8(text, utf8, sizeof utf8);
    EXPECT_EQ(std::string(utf8),
              sizeof(wchar_t) == 4 ? "A\xEF\xBF\xBD\xEF\xBF\xBD" : "A\xEF\xBF\xBD");
}

TEST(Conversions, NoBufferOrNoRoomWritesNothingAndReadsAnEmptyText) {
    using write = void (*)(const wxString&, char*, int);
    for (write convert :
         {write{lumo_unicode_stringToCharASCII}, write{lumo_unicode_stringToCharUTF8},
          write{lumo_unicode_stringToCharUTF16BE}}) {
        char untouched[2] = {'x', 'y'};
        convert("AB", untouched, 0);
        convert("AB", untouched, -1);
        convert("AB", nullptr, 2);
        EXPECT_EQ(std::string(untouched, 2), "xy");
    }
    using read = void (*)(const char*, int, wxString&);
    for (read convert :
         {read{lumo_unicode_charToStringASCII}, read{lumo_unicode_charToStringUTF16BE}}) {
        wxString text("old");
        convert("\0A\0B", 0, text);
        EXPECT_TRUE(text.empty());
        text = "old";
        convert(nullptr, 4, text);
        EXPECT_TRUE(text.empty());
    }
    // A field without a zero byte is read whole, and no further.
    wxString text;
    lumo_unicode_charToStringASCII("ABCD", 3, text);
    EXPECT_EQ(text, "ABC");
}
