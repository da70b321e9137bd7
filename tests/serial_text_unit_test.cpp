// The pure text and span rules of the run time, white-box.
#include <clocale>

#include <gtest/gtest.h>

#include "evaluation/custom_operation.h"
#include "evaluation/serial_text.h"

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

TEST(DecodeText, StopsAtTheZeroByteOrTheEndOfTheField) {
    std::setlocale(LC_CTYPE, "C");
    EXPECT_EQ(decoded("ABC\0DEF", 7), L"ABC");
    EXPECT_EQ(decoded("ABCDEF", 4), L"ABCD");
    EXPECT_EQ(decoded("", 4), L"");
    EXPECT_EQ(decoded("ABC", 0), L"");
}

TEST(DecodeText, FallsBackToLatin1ButNeverToAnEmptyText) {
    std::setlocale(LC_CTYPE, "C");
    EXPECT_EQ(decoded("A\xE9\xFF", 3), L"A\u00E9\u00FF");
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    EXPECT_EQ(decoded("A\xC3\xA9", 3), L"A\u00E9");
    EXPECT_EQ(decoded("A\xC3", 2), L"A\u00C3");                   // sequence cut by the field end
    EXPECT_EQ(decoded("\xC3\xA9\xFF", 3), L"\u00C3\u00A9\u00FF"); // one bad byte: all Latin-1
    std::setlocale(LC_CTYPE, "C");
}

TEST(LineEndMarkers, ReplacedInOnePassExactlyAsTwoSuccessivePasses) {
    EXPECT_EQ(with_markers_replaced(L"[CR][LF]"), L"\r\n");
    EXPECT_EQ(with_markers_replaced(L"a[LF]b[CR]"), L"a\nb\r");
    EXPECT_EQ(with_markers_replaced(L"[[CR]LF]"), L"[\rLF]");
    EXPECT_EQ(with_markers_replaced(L"[L[CR]F]"), L"[L\rF]");
    EXPECT_EQ(with_markers_replaced(L"[cr][Lf][CR"), L"[cr][Lf][CR");
    EXPECT_EQ(with_markers_replaced(L"[CR]]"), L"\r]");
}

TEST(ForwardedSpan, CutAtTheEndEmptyBeyondItOrWhenReversed) {
    const std::tuple<std::size_t, std::uint8_t, std::uint8_t, std::size_t> cases[] = {
        // length, from, to, count
        {12, 0, 199, 12},
        {8, 3, 5, 3},
        {8, 7, 7, 1},
        {8, 8, 9, 0},
        {0, 0, 199, 0},
        // Reachable only from loaded data (from above 199, to repaired to 199).
        {211, 205, 199, 0},
    };
    for (const auto& [length, from, to, count] : cases) {
        const char_span span = forwarded_span(length, from, to);
        EXPECT_EQ(span.count, count) << length << " " << int{from} << " " << int{to};
        if (count) {
            EXPECT_EQ(span.first, from);
        }
    }
    EXPECT_EQ(forward_text_limit(40), 10);
    EXPECT_EQ(forward_text_limit(3), 0);
    EXPECT_EQ(forward_text_limit(-7), -1);
}
