// SPDX-License-Identifier: GPL-3.0-or-later
// Keystroke filters of numeric edit boxes. Input: the filter (byte), the selection start and
// length, the key, then the control's text.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "app/KeyFilters.h"
#include "app/TextTools.h"

#include <limits>

namespace kivspc::fuzz {

namespace {

// Well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        char32_t cp = n == 1 ? c : c & (0x7F >> n);
        for (std::size_t k = 1; k < n; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            if ((t >> 6) != 2) return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kLeast[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += n;
    }
    return true;
}

char32_t AnyKey(FuzzInput& in) {
    static constexpr char32_t kKeys[] = {0,      kKeyCtrlC, kKeyBackspace, kKeyCtrlV, kKeyCtrlX, U'-', U'+',
                                         U'.',   U',',      U'e',          U'E',      U' ',      U'0', U'5',
                                         U'9',   U'a',      U'\t',         U'\r',     127,       0xE9, 0x20AC,
                                         0xD800, 0x10FFFF,  0x110000,      0xFFFFFFFF};
    const std::uint8_t b = in.Byte();
    if (b < std::size(kKeys)) return kKeys[b];
    if (b < 0xF0) return b;
    return static_cast<char32_t>(in.AnyInt());
}

// A position from one byte: mostly around the text, sometimes far outside it.
int AnyPosition(std::uint8_t b, int length) {
    static constexpr int kFar[] = {std::numeric_limits<int>::min(), -1000, 1000000,
                                   std::numeric_limits<int>::max()};
    if (b < 0xF0) return b % (length + 4) - 2;
    return kFar[b % std::size(kFar)];
}

} // namespace

int FuzzKeyFilters(const std::uint8_t* data, std::size_t size) {
    using Filter = KeyResult (*)(const KeyInput&);
    static constexpr Filter kFilters[] = {SignedRealKeyFilter, UnsignedRealKeyFilter,
                                          UnsignedRealComboKeyFilter, ProportionKeyFilter, IntegerKeyFilter};
    FuzzInput in(data, size);
    ResetCore();
    const Filter filter = kFilters[in.Byte() % std::size(kFilters)];
    const std::uint8_t start = in.Byte();
    const std::uint8_t length = in.Byte();
    KeyInput key;
    key.key = AnyKey(in);
    key.text = std::string(in.Rest());
    const int chars = static_cast<int>(CharCount(key.text));
    key.selStart = AnyPosition(start, chars);
    key.selLength = AnyPosition(length, chars);

    const KeyResult result = filter(key);
    Check(result.caret >= 0 && static_cast<std::size_t>(result.caret) <= CharCount(result.text),
          "the caret stays inside the text");
    if (result.verdict == KeyVerdict::Rejected)
        Check(result.text == key.text, "a rejected key leaves the text");
    const bool validKey = key.key < 0xD800 || (key.key > 0xDFFF && key.key <= 0x10FFFF);
    if (IsUtf8(key.text) && validKey) Check(IsUtf8(result.text), "well-formed text stays well-formed");
    return 0;
}

} // namespace kivspc::fuzz
