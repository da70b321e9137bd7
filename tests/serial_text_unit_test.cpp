// The text decoding and line-end markers of the run time, white-box.
#include <gtest/gtest.h>

#include "runtime/serial_text.h"
#include "test_support/locales.h"

namespace {

std::wstring decoded(const char* bytes, std::size_t room) {
    decoded_text text;
    decode_text(bytes, room, text);
    return std::wstring(text.view());
}

std::wstring with_markers_replaced(const wchar_t* source) {
    decoded_text text;
    text.length = std::wcslen(source);
    std::wmemcpy(text.chars, source, text.length);
    replace_line_end_markers(text);
    return std::wstring(text.view());
}

} // namespace

TEST(DecodeText, FallsBackToLatin1ForTheWholeTextButNeverToAnEmptyOne) {
    utf8_locale utf8;
    REQUIRE_UTF8_LOCALE(utf8);
    EXPECT_EQ(decoded("A\xC3\xA9", 3), L"A\u00E9");
    EXPECT_EQ(decoded("A\xC3", 2), L"A\u00C3");                   // sequence cut by the field end
    EXPECT_EQ(decoded("\xC3\xA9\xFF", 3), L"\u00C3\u00A9\u00FF"); // one bad byte: all Latin-1
}

TEST(LineEndMarkers, ReplacedInOnePassExactlyAsTwoSuccessivePasses) {
    EXPECT_EQ(with_markers_replaced(L"[CR][LF]"), L"\r\n");
    EXPECT_EQ(with_markers_replaced(L"a[LF]b[CR]"), L"a\nb\r");
    EXPECT_EQ(with_markers_replaced(L"[[CR]LF]"), L"[\rLF]");
    EXPECT_EQ(with_markers_replaced(L"[L[CR]F]"), L"[L\rF]");
    EXPECT_EQ(with_markers_replaced(L"[cr][Lf][CR"), L"[cr][Lf][CR");
    EXPECT_EQ(with_markers_replaced(L"[CR]]"), L"\r]");
    EXPECT_EQ(with_markers_replaced(L"[CF][LR]"), L"[CF][LR]"); // halves of both markers
}
