// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"

#include <string>

using namespace kivspc;

namespace {

using Filter = KeyResult (*)(const KeyInput&);

constexpr auto Rej = KeyVerdict::Rejected;
constexpr auto Acc = KeyVerdict::Accepted;
constexpr auto Rep = KeyVerdict::Replaced;

struct KeyCase {
    const char* text;
    int selStart;
    int selLength;
    char32_t key;
    KeyVerdict verdict;
    const char* result; // the text the control holds afterwards
    int caret;          // checked only when the key is accepted or replaced
};

void Check(const char* filterName, Filter filter, std::initializer_list<KeyCase> cases) {
    for (const KeyCase& c : cases) {
        KeyResult r = filter({c.text, c.selStart, c.selLength, c.key});
        std::string where = std::string(filterName) + " on \"" + c.text + "\" at " +
                            std::to_string(c.selStart) + "+" + std::to_string(c.selLength) + ", key " +
                            std::to_string(c.key);
        EXPECT_EQ(r.verdict, c.verdict) << where;
        if (c.verdict == Rej) continue;
        EXPECT_EQ(r.text, c.result) << where;
        EXPECT_EQ(r.caret, c.caret) << where;
    }
}

TEST(KeyFiltersTest, SignedReal) {
    Check("SignedReal", SignedRealKeyFilter,
          {
              {"12", 1, 0, U'-', Rej, "", 0}, // a minus between the digits
              {"12", 2, 0, U'-', Rej, "", 0}, // ... or after them
              {"12", 0, 0, U'-', Acc, "-12", 1},
              {"12", 1, 1, U'-', Rej, "", 0},  // the caret is still behind the 1
              {"12", 0, 2, U'-', Acc, "-", 1}, // replaces the whole text
              {"", 0, 0, U'.', Rep, "0.", 2},
              {"-", 1, 0, U'.', Rep, "-0.", 3},
              {"3", 1, 0, U'.', Acc, "3.", 2},
              {"1.5", 3, 0, U'.', Rej, "", 0},
              {"1.5", 1, 1, U'.', Acc, "1.5", 2}, // the selected point goes away first
              {"12", 0, 2, U'.', Rep, "0.", 2},
              {"1.5", 3, 0, U'E', Acc, "1.5E", 4},
              {"1.5", 3, 0, U'e', Acc, "1.5e", 4},
              {"12", 1, 0, U'7', Acc, "172", 2},
              {"12", 2, 0, U'x', Rej, "", 0},
              {"12", 2, 0, U'+', Rej, "", 0},
              {"12", 2, 0, U',', Rep, "12.", 3}, // the decimal point of comma locales
              {"12", 2, 0, U' ', Rej, "", 0},
              {"12", 2, 0, kKeyBackspace, Acc, "1", 1},
              {"12", 0, 0, kKeyBackspace, Acc, "12", 0},
              {"123", 1, 2, kKeyBackspace, Acc, "1", 1},
              {"12", 0, 1, kKeyCtrlC, Acc, "12", 0},
              {"12", 0, 1, kKeyCtrlX, Acc, "2", 0},
              {"12", 2, 0, kKeyCtrlV, Acc, "12", 2},
          });
}

TEST(KeyFiltersTest, UnsignedRealRejectsTheSign) {
    for (auto [name, filter] : {std::pair<const char*, Filter>{"UnsignedReal", UnsignedRealKeyFilter},
                                {"UnsignedRealCombo", UnsignedRealComboKeyFilter}}) {
        Check(name, filter,
              {
                  {"12", 0, 0, U'-', Rej, "", 0},
                  {"", 0, 0, U'-', Rej, "", 0},
                  {"", 0, 0, U'.', Rep, "0.", 2},
                  {"2.", 2, 0, U'.', Rej, "", 0},
                  {"2", 1, 0, U'e', Acc, "2e", 2},
                  {"2", 1, 0, U'5', Acc, "25", 2},
                  {"25", 2, 0, kKeyBackspace, Acc, "2", 1},
                  {"25", 2, 0, U'a', Rej, "", 0},
              });
    }
}

// Users of comma locales type "," for the decimal point: it goes in as "." under the point's rules.
TEST(KeyFiltersTest, CommaIsTypedAsThePoint) {
    for (auto [name, filter] : {std::pair<const char*, Filter>{"SignedReal", SignedRealKeyFilter},
                                {"UnsignedReal", UnsignedRealKeyFilter},
                                {"UnsignedRealCombo", UnsignedRealComboKeyFilter}}) {
        Check(name, filter,
              {
                  {"0", 1, 0, U',', Rep, "0.", 2},
                  {"74", 2, 0, U',', Rep, "74.", 3},
                  {"74001176", 2, 0, U',', Rep, "74.001176", 3},
                  {"", 0, 0, U',', Rep, "0.", 2},
                  {"1.5", 3, 0, U',', Rej, "", 0},
                  {"1.5", 1, 1, U',', Rep, "1.5", 2}, // replaces the selected point
                  {"12", 0, 2, U',', Rep, "0.", 2},
              });
    }
    Check("SignedReal", SignedRealKeyFilter, {{"-", 1, 0, U',', Rep, "-0.", 3}});
    Check("Proportion", ProportionKeyFilter,
          {
              {"", 0, 0, U',', Rep, "0.", 2},
              {"0", 1, 0, U',', Rep, "0.", 2},
              {"0.5", 3, 0, U',', Rej, "", 0},
          });
    Check("Integer", IntegerKeyFilter, {{"12", 2, 0, U',', Rej, "", 0}});
}

// A negative exponent: "2.276e-2" must not lose its minus.
TEST(KeyFiltersTest, MinusStartsAnExponent) {
    for (auto [name, filter] : {std::pair<const char*, Filter>{"SignedReal", SignedRealKeyFilter},
                                {"UnsignedReal", UnsignedRealKeyFilter},
                                {"UnsignedRealCombo", UnsignedRealComboKeyFilter}}) {
        Check(name, filter,
              {
                  {"2.276e", 6, 0, U'-', Acc, "2.276e-", 7},
                  {"2.276E", 6, 0, U'-', Acc, "2.276E-", 7},
                  {"2.276e2", 6, 0, U'-', Acc, "2.276e-2", 7},
                  {"2e5", 2, 1, U'-', Acc, "2e-", 3}, // the selected digit goes away first
                  {"2.276e-", 7, 0, U'-', Rej, "", 0},
                  {"2.276e2", 7, 0, U'-', Rej, "", 0},
                  {"2.276e2", 5, 0, U'-', Rej, "", 0},
              });
    }
    Check("Proportion", ProportionKeyFilter, {{"0.5e", 4, 0, U'-', Rej, "", 0}});
    Check("Integer", IntegerKeyFilter, {{"2e", 2, 0, U'-', Rej, "", 0}});
}

// Select all, undo, redo and copy neither type nor delete: every filter lets them through to the
// control, whatever the text.
TEST(KeyFiltersTest, EditingKeysPass) {
    const std::pair<const char*, Filter> filters[] = {{"SignedReal", SignedRealKeyFilter},
                                                      {"UnsignedReal", UnsignedRealKeyFilter},
                                                      {"UnsignedRealCombo", UnsignedRealComboKeyFilter},
                                                      {"Proportion", ProportionKeyFilter},
                                                      {"Integer", IntegerKeyFilter}};
    for (auto [name, filter] : filters) {
        for (char32_t key : {kKeyCtrlA, kKeyCtrlZ, kKeyCtrlY, kKeyCtrlC}) {
            Check(name, filter,
                  {
                      {"12", 1, 0, key, Acc, "12", 1},
                      {"", 0, 0, key, Acc, "", 0},
                      {"0", 0, 1, key, Acc, "0", 0},
                  });
        }
    }
}

TEST(KeyFiltersTest, ProportionKeepsTheLeadingZeroAndPoint) {
    Check("Proportion", ProportionKeyFilter,
          {
              {"", 0, 0, U'.', Rep, "0.", 2},
              {"", 0, 0, U'0', Acc, "0", 1},
              {"", 0, 0, U'5', Rej, "", 0},
              {"0", 1, 0, U'.', Acc, "0.", 2},
              {"0", 1, 0, U'0', Rej, "", 0}, // no point, caret not at the start
              {"0", 1, 0, U'5', Rej, "", 0},
              {"0.", 2, 0, U'5', Acc, "0.5", 3},
              {"0.", 1, 0, U'5', Rej, "", 0}, // between the zero and the point
              {"0.", 0, 0, U'5', Rej, "", 0},
              {"0.5", 1, 0, U'0', Rej, "", 0},
              {"0.5", 2, 0, U'0', Acc, "0.05", 3},
              {"0.5", 3, 0, U'0', Acc, "0.50", 4},
              {"0.5", 3, 0, U'.', Rej, "", 0},
              {"0.25", 0, 4, U'.', Rep, "0.", 2},
              {"0.5", 3, 0, kKeyBackspace, Acc, "0.", 2},
              {"0.5", 2, 0, kKeyBackspace, Rej, "", 0}, // would delete the point
              {"0.", 2, 0, kKeyBackspace, Rej, "", 0},
              {"0.5", 1, 0, kKeyBackspace, Rej, "", 0},
              {"0.5", 3, 0, kKeyCtrlC, Acc, "0.5", 3},
              {"0.5", 2, 1, kKeyCtrlX, Acc, "0.", 2},
              {"0", 1, 0, kKeyCtrlV, Rej, "", 0},
              {"0.5", 3, 0, U'-', Rej, "", 0},
              {"0.5", 3, 0, U'e', Rej, "", 0},
          });
}

TEST(KeyFiltersTest, IntegerTakesDigitsOnly) {
    Check("Integer", IntegerKeyFilter,
          {
              {"12", 2, 0, U'7', Acc, "127", 3},
              {"12", 0, 0, U'0', Acc, "012", 1},
              {"12", 0, 0, U'-', Rej, "", 0},
              {"12", 2, 0, U'.', Rej, "", 0},
              {"12", 2, 0, U'e', Rej, "", 0},
              {"12", 2, 0, U'a', Rej, "", 0},
              {"12", 2, 0, kKeyBackspace, Acc, "1", 1},
              {"12", 0, 2, kKeyCtrlX, Acc, "", 0},
              {"12", 2, 0, kKeyCtrlV, Acc, "12", 2},
          });
}

TEST(KeyFiltersTest, OutOfRangeSelectionIsClamped) {
    KeyResult r = SignedRealKeyFilter({"12", 9, 9, U'5'});
    EXPECT_EQ(r.verdict, Acc);
    EXPECT_EQ(r.text, "125");
    r = IntegerKeyFilter({"12", -3, -1, U'5'});
    EXPECT_EQ(r.text, "512");
    // Positions count characters, not bytes.
    r = SignedRealKeyFilter({"\xC2\xB5"
                             "1",
                             1, 0, U'5'});
    EXPECT_EQ(r.text, "\xC2\xB5"
                      "51");
}

} // namespace
