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
