// The stand-in support library's 8-bit reading: Latin-1, whatever the locale.
#include <clocale>

#include <gtest/gtest.h>

#include "lumo.h"

TEST(CharToStringASCII, ReadsLatin1BytesInAnyLocaleWithoutToolkitAssertions) {
    // Bytes above 127 once went through the locale (and asserted in UTF-8).
    for (const char* locale : {"C", "C.UTF-8"}) {
        ASSERT_NE(std::setlocale(LC_CTYPE, locale), nullptr);
        wxString text;
        lumo_unicode_charToStringASCII("A\xE9\xFF\x80", 10, text);
        EXPECT_EQ(text, wxString(L"A\u00E9\u00FF\u0080")) << locale;
    }
    std::setlocale(LC_CTYPE, "C");
}

TEST(CharToStringUTF16BE, SurrogatePairsMakeOneCharacterAndLoneOnesTheReplacement) {
    struct expectation {
        const char* bytes;
        int size;
        const wchar_t* text;
    };
    const expectation cases[] = {
        {"\xD8\x3D\xDE\x00", 4, L"\U0001F600"},         // an emoji
        {"\xDB\xFF\xDF\xFF", 4, L"\U0010FFFF"},         // the last code point
        {"\xD8\x01\xDC\x37\x00\x41", 6, L"\U00010437A"}, // high bits of both halves count
        {"\xD8\x3D\x00\x41", 4, L"\uFFFDA"},            // high half without its low half
        {"\xDE\x00\x00\x41", 4, L"\uFFFDA"},            // low half alone
        {"\x00\x41\xD8\x3D", 4, L"A\uFFFD"},            // the room ends inside the pair
    };
    for (const expectation& c : cases) {
        wxString text;
        lumo_unicode_charToStringUTF16BE(c.bytes, c.size, text);
        EXPECT_EQ(text, wxString(c.text)) << c.size;
    }
}
