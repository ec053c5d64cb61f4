// Texts prepared for speech.
#include <gtest/gtest.h>

#include "speech/SpokenText.h"

namespace {

TEST(SpokenText, DigitsAreReadOneByOne) {
    const struct {
        const char* text;
        const char* spoken;
    } cases[] = {
        {"N123AB", "N one two three AB"},
        {"118.5", "one one eight decimal five"},
        {"Flight 7 ", "Flight seven"},
        {"Runway 27L, wind 240 at 12.", "Runway two seven L, wind two four zero at one two ."},
        {"v.1 and 2. and .5", "v. one and two . and . five"},  // a point without digits on both sides stays
        {"0 1 2 3 4 5 6 7 8 9", "zero one two three four five six seven eight nine"},
        {"1.2.3", "one decimal two decimal three"},
        {"", ""},
        {"no digits", "no digits"},
        {"  7  ", "  seven"},
    };
    for (const auto& c : cases) EXPECT_EQ(replaceDigitsWithWords(c.text), c.spoken) << c.text;
}

TEST(SpokenText, PlaceholdersAreReplacedOnce) {
    EXPECT_EQ(replaceSubstring("Welcome to {DEST}, {DEST} local time", "{DEST}", "Boston"),
              "Welcome to Boston, Boston local time");
    EXPECT_EQ(replaceSubstring("{A}{A}", "{A}", "x{A}y"), "x{A}yx{A}y");  // not replaced again
    EXPECT_EQ(replaceSubstring("nothing to do", "{A}", "x"), "nothing to do");
    EXPECT_EQ(replaceSubstring("", "{A}", "x"), "");
}

}  // namespace
