// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TextTools.h"

#include "app/Platform.h"
#include "app/SharedState.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstring>
#include <ctime>
#include <limits>

namespace kivspc {

std::string WorkText;
bool AskBlankCommas = true;
bool BlankCommasMissing = false;

namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

constexpr std::array<bool, 256> MakeNumericTable() {
    std::array<bool, 256> t{};
    for (char c : std::string_view("\t +,-.0123456789Ee"))
        t[static_cast<unsigned char>(c)] = true;
    return t;
}
constexpr std::array<bool, 256> kNumericChar = MakeNumericTable();

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsTokenChar(char c) { return IsDigit(c) || c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e'; }

} // namespace

std::size_t CharCount(std::string_view s) {
    std::size_t n = 0;
    for (unsigned char c : s)
        n += IsContinuation(c) ? 0 : 1;
    return n;
}

std::string_view CharPrefix(std::string_view s, std::size_t chars) {
    std::size_t i = 0;
    std::size_t seen = 0;
    while (i < s.size()) {
        if (!IsContinuation(static_cast<unsigned char>(s[i]))) {
            if (seen == chars) break;
            ++seen;
        }
        ++i;
    }
    return s.substr(0, i);
}

std::string Blanks(int n) { return std::string(static_cast<std::size_t>(std::max(n, 0)), ' '); }

std::string PadRight(std::string_view s, int w) {
    std::string out(s);
    std::size_t len = CharCount(s);
    if (w > 0 && len < static_cast<std::size_t>(w)) out.append(static_cast<std::size_t>(w) - len, ' ');
    return out;
}

std::string PadLeft(std::string_view s, int w) {
    std::size_t len = CharCount(s);
    std::string out;
    if (w > 0 && len < static_cast<std::size_t>(w)) out.assign(static_cast<std::size_t>(w) - len, ' ');
    out += s;
    return out;
}

std::string TrimBlanks(std::string_view s) {
    std::size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    std::size_t e = s.find_last_not_of(' ');
    return std::string(s.substr(b, e - b + 1));
}

std::string RemoveBlanks(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        if (c != ' ') out += c;
    return out;
}

std::string CollapseBlanks(std::string_view s) {
    std::string t = TrimBlanks(s);
    std::string out;
    out.reserve(t.size());
    for (char c : t) {
        if (c == ' ' && !out.empty() && out.back() == ' ') continue;
        out += c;
    }
    return out;
}

std::string DropLastChar(std::string_view s) {
    if (s.empty()) return {};
    std::size_t i = s.size() - 1;
    while (i > 0 && IsContinuation(static_cast<unsigned char>(s[i])))
        --i;
    return std::string(s.substr(0, i));
}

std::string DropTag(std::string_view s) {
    std::string_view tag = CharPrefix(s, 2);
    return std::string(s.substr(tag.size()));
}

std::string ColumnTag(int col) {
    std::string tag(2, 'A');
    tag[0] = static_cast<char>(65 + col / 25);
    tag[1] = static_cast<char>(65 + col % 25);
    return tag;
}

int TagColumn(std::string_view text) {
    if (text.size() < 2) return 0;
    // Same 16-bit arithmetic as the tags were always read with.
    auto first = static_cast<std::int16_t>(static_cast<unsigned char>(text[0]) - 65);
    auto second = static_cast<std::int16_t>(static_cast<unsigned char>(text[1]) - 65);
    return static_cast<std::int16_t>(first * 25 + second);
}

void AppendWorkText(std::string_view s) { WorkText += s; }

bool HasNonNumericChar(std::string_view text) {
    for (unsigned char c : text)
        if (!kNumericChar[c]) return true;
    return false;
}

int ConvertNumberAt(std::string_view whole, double& value) {
    std::size_t b = whole.find_first_not_of(' ');
    if (b == std::string_view::npos) return static_cast<int>(whole.size()) + 1;
    std::string_view text = whole.substr(b);
    const int base = static_cast<int>(b) + 1; // 1-based position of text[0] in the whole
    // Only the characters of a number: no "inf" or "nan" slips through the converter.
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        if (!(IsDigit(c) || c == '.' || c == '+' || c == '-' || c == 'E' || c == 'e'))
            return base + static_cast<int>(k);
    }
    // A point or two with nothing else is the usual mark of a missing value, blanks or not.
    if (text == "." || text == "..") return base;
    // Short texts, nearly all of them, are worked on the stack; every digit of a long one counts too.
    constexpr std::size_t kOnStack = 400;
    char stackBuffer[kOnStack + 4];
    std::string heapBuffer;
    char* buf = stackBuffer;
    if (text.size() > kOnStack) {
        heapBuffer.resize(text.size() + 4);
        buf = heapBuffer.data();
    }
    std::size_t n = 0;
    bool negative = false;
    std::size_t i = 0;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        i = 1;
    }
    // ".5" and "-.5" get their zero; "+." stays a sign and a point, which is no number.
    int inserted = 0;
    if (i < text.size() && text[i] == '.' && text[0] != '+') {
        buf[n++] = '0';
        inserted = 1;
    }
    std::memcpy(buf + n, text.data() + i, text.size() - i);
    n += text.size() - i;
    if (n > 0 && buf[n - 1] == '.') --n;
    if (n == 0 || buf[0] == '+' || buf[0] == '-' || (buf[0] == '.' && (n == 1 || !IsDigit(buf[1]))))
        return base + static_cast<int>(i);
    double v = 0;
    auto res = std::from_chars(buf, buf + n, v, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != buf + n) {
        const int consumed = res.ec == std::errc() ? static_cast<int>(res.ptr - buf) : 0;
        return base + static_cast<int>(i) + std::max(consumed - inserted, 0);
    }
    value = negative ? -v : v;
    return 0;
}

bool ConvertNumber(std::string_view text, double& value) { return ConvertNumberAt(text, value) == 0; }

double CellTextToValue(std::string_view text) {
    double v = MissingValue;
    return NumericCellValue(text, v) ? v : MissingValue;
}

bool IsNumberText(std::string_view text) {
    if (text == "." || text == "..") return true;
    double v = 0;
    return !text.empty() && !HasNonNumericChar(text) && ConvertNumber(text, v);
}

std::string DecimalCommaAsPoint(std::string_view text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos || text.find_first_of(",.", comma + 1) != std::string_view::npos ||
        text.substr(0, comma).find('.') != std::string_view::npos)
        return std::string(text);
    std::string pointed(text);
    pointed[comma] = '.';
    return IsNumberText(pointed) && pointed != "." ? pointed : std::string(text);
}

bool NumericCellValueSlow(std::string_view text, double& value) {
    // The whole text counts: a long number keeps every digit, and a letter far in makes a text.
    if (HasNonNumericChar(text)) return false;
    // Empty, "." and ".." do not convert either: all of them are missing values.
    double v = 0;
    value = ConvertNumber(text, v) ? v : MissingValue;
    return true;
}

void ParseNumberList(std::string_view text, std::vector<std::string>& texts, std::vector<double>& values,
                     int& count) {
    texts.clear();
    values.clear();
    count = 0;
    auto add = [&](std::string_view t, double v) {
        if (count >= kMaxColumns) return;
        texts.emplace_back(t);
        values.push_back(v);
        ++count;
    };
    std::size_t i = 0;
    while (i < text.size() && count < kMaxColumns) {
        char c = text[i];
        if (c == '-' || c == '.' || IsDigit(c)) {
            std::size_t start = i;
            while (i < text.size() && IsTokenChar(text[i]))
                ++i;
            std::string_view token = text.substr(start, i - start);
            double v = 0;
            if (token == "." || token == "-" || token == "+" || token == "E" || token == "e") {
                // A lone sign or point adds nothing, but still ends at its comma below.
            } else if ((StatErrorCode = ConvertNumberAt(token, v)) == 0) {
                // Like every number conversion, this leaves the position of a bad character.
                // Keep the text as the user will see it: ".5" reads back as "0.5".
                std::string shown(token);
                if (!shown.empty() && shown[0] == '.')
                    shown.insert(0, 1, '0');
                else if (shown.size() > 1 && shown[0] == '-' && shown[1] == '.')
                    shown.insert(1, 1, '0');
                if (shown.size() > 1 && shown.back() == '.') shown.pop_back();
                add(shown, v);
            } else {
                add("", MissingValue);
            }
            // A comma directly after a token only ends it, unless it ends the text.
            if (i + 1 < text.size() && text[i] == ',') ++i;
            continue;
        }
        if (c == ',') {
            if (AskBlankCommas) {
                BlankCommasMissing =
                    CurrentPlatform().ConfirmYesNo("Want blank Commas to indicate missing values?");
                AskBlankCommas = false;
            }
            if (BlankCommasMissing) add("", MissingValue);
        } else if (c == '\t') {
            add("", MissingValue);
        }
        ++i;
    }
}

namespace {

// Calls run(value) for every maximal run of digits, in order, until it returns false; a value
// beyond `cap` is held at `cap`.
template <typename Run> void ForEachDigitRun(std::string_view text, long long cap, Run&& run) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (!IsDigit(text[i])) {
            ++i;
            continue;
        }
        long long v = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i)
            v = std::min<long long>(v * 10 + (text[i] - '0'), cap);
        if (!run(v)) return;
    }
}

} // namespace

void ParseIntegerList(std::string_view text, std::vector<int>& values, int& count) {
    values.clear();
    ForEachDigitRun(text, std::numeric_limits<std::int16_t>::max(), [&values](long long v) {
        values.push_back(static_cast<int>(v));
        return true;
    });
    count = static_cast<int>(values.size());
}

long long FirstInteger(std::string_view text) {
    long long found = -1;
    ForEachDigitRun(text, std::numeric_limits<std::int32_t>::max(), [&found](long long v) {
        found = v;
        return v < 1;
    });
    return found;
}

namespace {

// Calls word(view) for every run of characters outside `separators`, until it returns false.
template <typename Word> void ForEachWord(std::string_view line, std::string_view separators, Word&& word) {
    std::size_t i = 0;
    while (true) {
        i = line.find_first_not_of(separators, i);
        if (i == std::string_view::npos) return;
        const std::size_t end = std::min(line.find_first_of(separators, i), line.size());
        if (!word(line.substr(i, end - i))) return;
        i = end;
    }
}

} // namespace

bool SplitHeaderLine(std::string_view line, std::vector<std::string>& fields) {
    fields.clear();
    bool truncated = false;
    auto add = [&](std::string_view f) {
        if (static_cast<int>(fields.size()) >= kMaxColumns) {
            truncated = true;
            return false;
        }
        fields.emplace_back(CharPrefix(f, kMaxFieldChars));
        return true;
    };
    if (line.find('\t') != std::string_view::npos) {
        ForEachField(line, '\t', true, add);
    } else {
        ForEachWord(line, " ,", add);
    }
    return truncated;
}

void SplitDataLine(std::string_view line, std::vector<std::string_view>& fields) {
    fields.clear();
    char delimiter = 0;
    if (line.find('\t') != std::string_view::npos)
        delimiter = '\t';
    else if (line.find(',') != std::string_view::npos)
        delimiter = ',';
    if (delimiter) {
        // A delimiter at the very end ends the last field without starting another.
        ForEachField(line, delimiter, false, [&fields](std::string_view f) {
            fields.push_back(f);
            return true;
        });
        return;
    }
    ForEachWord(line, " ", [&fields](std::string_view word) {
        fields.push_back(word);
        return true;
    });
}

double SecondsOfDay() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    double fraction =
        std::chrono::duration<double>(sinceEpoch - std::chrono::floor<std::chrono::seconds>(sinceEpoch))
            .count();
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + fraction;
}

} // namespace kivspc
