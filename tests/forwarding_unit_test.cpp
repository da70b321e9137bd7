// The forwarded span at the edges of characters, white-box: on Windows a
// character beyond U+FFFF is two units of the received text, and no bound
// may fall between them.
#include <gtest/gtest.h>

#include "runtime/custom_operation.h"

namespace {

std::pair<std::size_t, std::size_t> whole(const wxString& text, std::size_t first,
                                          std::size_t count) {
    const char_span span = whole_characters(text, {first, count});
    return {span.first, span.count};
}

} // namespace

TEST(ForwardedSpan, BoundsBetweenTheHalvesOfAPairMoveToTheCharactersEdges) {
    // "ab", U+1F600, "cd"
    const wxString text = wxString::FromUTF8("ab\xF0\x9F\x98\x80"
                                             "cd");
    if (text.length() != 6)
        GTEST_SKIP() << "a character beyond U+FFFF is one unit of wxString here";
    using span = std::pair<std::size_t, std::size_t>;
    EXPECT_EQ(whole(text, 3, 2), (span{2, 3})); // starts on the second half
    EXPECT_EQ(whole(text, 1, 2), (span{1, 3})); // ends on the first half
    EXPECT_EQ(whole(text, 3, 1), (span{2, 2})); // only the second half
    EXPECT_EQ(whole(text, 2, 2), (span{2, 2})); // the pair itself
    EXPECT_EQ(whole(text, 4, 2), (span{4, 2})); // beside it
    EXPECT_EQ(whole(text, 3, 0), (span{3, 0})); // nothing stays nothing
}

TEST(ForwardedSpan, TextsWithoutPairsKeepTheirSpan) {
    const wxString text = wxString::FromUTF8("ABC\xC3\xA9");
    EXPECT_EQ(whole(text, 1, 3), (std::pair<std::size_t, std::size_t>{1, 3}));
}
