// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/ControlTests.h"

#include "app/MissingValue.h"
#include "app/Settings.h"
#include "app/SharedState.h"

#include <algorithm>
#include <cstdlib>

namespace kivspc {

TControlTestSettings ControlTestSettings = DefaultControlTestSettings();

namespace {

// One point's code in a fixed slot, so that a chart of a million points costs no string each.
struct TCode {
    std::array<char, kControlCodeChars> Chars{};
    std::uint8_t Length = 0;

    bool Contains(char c) const {
        for (std::uint8_t k = 0; k < Length; ++k)
            if (Chars[k] == c) return true;
        return false;
    }
    // A full code keeps what it has: the first tests found win.
    void Append(char c) {
        if (Length < kControlCodeChars) Chars[Length++] = c;
    }
};

// Codes indexed by point number (entry 0 unused).
std::array<std::vector<TCode>, kControlCodeSlots> CodeTable;

// Cells read by a row the caller did not give: missing everywhere.
std::vector<double> MissingRow;

char Letter(int test) { return kControlTestLetters[static_cast<std::size_t>(test - 1)]; }
char MemberMark(int test) {
    return static_cast<char>(static_cast<unsigned char>(Letter(test)) + kMemberMarkOffset);
}

constexpr std::array<std::uint8_t, kControlTestCountSlots> kDefaultCounts = {0, 8, 6, 8, 15, 14, 4, 2, 0,
                                                                             0, 0, 0, 0, 0,  0,  5, 3, 0};

// UTF-8 code points of a stored text; a byte that does not start a valid sequence counts as its
// Latin-1 character, so a text written by an older program reads the same.
std::vector<char32_t> CodePoints(std::string_view text) {
    std::vector<char32_t> points;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        std::size_t extra = 0;
        char32_t code = lead;
        if (lead >= 0xC2 && lead < 0xE0) {
            extra = 1;
            code = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            extra = 2;
            code = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead < 0xF5) {
            extra = 3;
            code = lead & 0x07u;
        }
        bool valid = extra > 0 && at + extra < text.size();
        for (std::size_t k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[at + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3Fu);
        }
        if (valid) {
            points.push_back(code);
            at += extra + 1;
        } else {
            points.push_back(lead);
            ++at;
        }
    }
    return points;
}

void AppendUtf8(std::string& text, char32_t code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

void ReadChecks(const std::string& text, std::array<bool, kControlTestCount>& checks) {
    for (std::size_t t = 0; t < checks.size(); ++t)
        checks[t] = t < text.size() && text[t] == '1';
}

int Clamped(int value, TCountRange range) { return std::clamp(value, range.Min, range.Max); }

// The rows one evaluation reads, resolved once.
struct TTestRows {
    const double* Value;
    const double* Ucl;
    const double* Cl;
    const double* Lcl;
    const double* Se;
    const double* Set;
    const double* Break;
};

// Counts as the tests use them: within their ranges whatever the settings hold.
struct TTestCounts {
    int Run, Trend, Excess, Lack, Alternating, Zone1K, Zone1M, Zone2K, Zone2M;
};

TTestCounts UsableCounts(const TControlTestSettings& settings) {
    const auto count = [&](int place) {
        return Clamped(settings.Counts[static_cast<std::size_t>(place)], ControlTestCountRange(place));
    };
    return {count(kCountRun),
            count(kCountTrend),
            count(kCountExcessVariability),
            count(kCountLackOfVariability),
            count(kCountAlternating),
            count(kCountZoneRule1K),
            count(kCountZoneRule1M),
            count(kCountZoneRule2K),
            count(kCountZoneRule2M)};
}

// The pattern tests, kept up to date point by point so that each costs the same whatever its
// window (a walk back over the window for every point costs more than the redraw can afford on
// large charts). A window of L points ending at i has the pattern exactly when the streak ending
// at i is at least L long; points before the window do not matter, and the caller has found the
// window clean (no break, no set change, every value present).
class TPatternStreaks {
public:
    // Takes in point i (every point in order, also those without a value).
    void Add(const TTestRows& r, int i) {
        const double v = r.Value[i];
        const double c = r.Cl[i];
        const double s = r.Se[i];
        const bool hasCentre = NotMissing(c);
        const bool hasBand = hasCentre && NotMissing(s);

        above_ = hasCentre && v > c ? above_ + 1 : 0;
        below_ = hasCentre && v < c ? below_ + 1 : 0;
        const double previous = i > 1 ? r.Value[i - 1] : v;
        rising_ = v > previous ? rising_ + 1 : 0;
        falling_ = v < previous ? falling_ + 1 : 0;

        const bool beyondUp = hasBand && v > c + s;
        const bool beyondDown = hasBand && !beyondUp && v < c - s;
        outside_ = beyondUp || beyondDown ? outside_ + 1 : 0;
        inside_ = hasBand && v > c - s && v < c + s ? inside_ + 1 : 0;
        if (beyondUp) lastAbove_ = i;
        if (beyondDown) lastBelow_ = i;

        // Point i - 1 is interior once its right-hand neighbour has come.
        bool turn = false;
        if (i >= 3) {
            const double middle = r.Value[i - 1];
            const double left = r.Value[i - 2];
            turn = (middle > left && middle > v) || (middle < left && middle < v);
        }
        turns_ = turn ? turns_ + 1 : 0;

        // The zone rules count the points beyond the band since the last point without one.
        if (!hasBand) lastWithoutBand_ = i;
        const bool beyondTwo = hasBand && (v > c + 2 * s || v < c - 2 * s);
        beyondOneSum_[Slot(i)] = beyondOneSum_[Slot(i - 1)] + (beyondUp || beyondDown ? 1 : 0);
        beyondTwoSum_[Slot(i)] = beyondTwoSum_[Slot(i - 1)] + (beyondTwo ? 1 : 0);
    }

    // L points all strictly above or all strictly below the centerline.
    bool Run(int length) const { return above_ >= length || below_ >= length; }
    // L - 1 successive increases, or decreases.
    bool Trend(int length) const { return rising_ >= length - 1 || falling_ >= length - 1; }
    // L points beyond one standard error, at least one on each side.
    bool ExcessVariability(int i, int length) const {
        return outside_ >= length && lastAbove_ > i - length && lastBelow_ > i - length;
    }
    // L points strictly within one standard error.
    bool LackOfVariability(int length) const { return inside_ >= length; }
    // The L - 2 interior points of the window all peaks or valleys.
    bool Alternating(int length) const { return turns_ >= length - 2; }
    // At least `least` of the last `window` points beyond one (or two) standard errors, counting
    // back no further than the last point without a centerline or standard error.
    bool ZoneRule(int i, int least, int window, bool twoErrors) const {
        const auto& sums = twoErrors ? beyondTwoSum_ : beyondOneSum_;
        const int from = std::max(lastWithoutBand_, i - window);
        return sums[Slot(i)] - sums[Slot(from)] >= least;
    }

private:
    // Running sums are kept for the last kSums points, enough for the longest window.
    static constexpr int kSums = 128;
    static_assert(kSums > 99 + 1);
    static std::size_t Slot(int i) { return static_cast<std::size_t>(i) % kSums; }

    int above_ = 0, below_ = 0, rising_ = 0, falling_ = 0, outside_ = 0, inside_ = 0, turns_ = 0;
    int lastAbove_ = -kSums, lastBelow_ = -kSums, lastWithoutBand_ = 0;
    std::array<int, kSums> beyondOneSum_{};
    std::array<int, kSums> beyondTwoSum_{};
};

bool OutsideLimitsFires(const TTestRows& r, int i) {
    const double v = r.Value[i];
    return (NotMissing(r.Ucl[i]) && v > r.Ucl[i]) || (NotMissing(r.Lcl[i]) && v < r.Lcl[i]);
}

bool MovingRangeFires(const TTestRows& r, int i) {
    if (!NotMissing(r.Se[i])) return false;
    const double limit = kMovingRangeStdErrors * r.Se[i];
    return limit > 0 && std::abs(r.Value[i] - r.Value[i - 1]) > limit;
}

// Gives point i test's letter and the points before it in the pattern (the `members` points
// before i) the test's member mark, unless they already carry the letter or the mark.
void MarkViolation(std::vector<TCode>& codes, int i, int test, int members) {
    codes[static_cast<std::size_t>(i)].Append(Letter(test));
    const char letter = Letter(test);
    const char mark = MemberMark(test);
    for (int j = std::max(1, i - members); j < i; ++j) {
        TCode& code = codes[static_cast<std::size_t>(j)];
        if (!code.Contains(letter) && !code.Contains(mark)) code.Append(mark);
    }
}

const double* RowOf(const TPointTableView& table, int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= table.Rows.size()) return MissingRow.data();
    const double* cells = table.Rows[static_cast<std::size_t>(row)];
    return cells ? cells : MissingRow.data();
}

} // namespace

TControlTestSettings DefaultControlTestSettings() {
    TControlTestSettings settings;
    for (int t = 1; t <= kControlTestCount; ++t)
        settings.StdCheck[static_cast<std::size_t>(t - 1)] = t <= kTestAlternating;
    settings.MRCheck[0] = true;
    settings.Counts = kDefaultCounts;
    return settings;
}

TCountRange ControlTestCountRange(int place) {
    switch (place) {
    case kCountRun:
    case kCountTrend:
    case kCountLackOfVariability: return {2, 99};
    case kCountExcessVariability:
    case kCountAlternating: return {3, 99};
    case kCountZoneRule1K:
    case kCountZoneRule2K: return {1, 99};
    case kCountZoneRule1M:
    case kCountZoneRule2M: return {2, 99};
    default: return {0, 255};
    }
}

std::string ControlTestChecksText(const std::array<bool, kControlTestCount>& checks) {
    std::string text;
    for (bool on : checks)
        text += on ? '1' : '0';
    return text;
}

std::string ControlTestValuesText(const std::array<std::uint8_t, kControlTestCountSlots>& counts) {
    // Counts above 63 give characters beyond ASCII; the store keeps text as UTF-8.
    std::string text;
    for (std::uint8_t count : counts)
        AppendUtf8(text, static_cast<char32_t>(count) + 64);
    return text;
}

void LoadControlTestSettings() {
    const TControlTestSettings defaults = DefaultControlTestSettings();
    const std::string standard = ReadSettingString(SettingsKey, kStdControlTestCheck);
    if (standard.empty()) {
        ControlTestSettings = defaults;
        return;
    }
    TControlTestSettings settings;
    ReadChecks(standard, settings.StdCheck);
    ReadChecks(ReadSettingString(SettingsKey, kMRControlTestCheck), settings.MRCheck);
    const std::vector<char32_t> values = CodePoints(ReadSettingString(SettingsKey, kControlTestValues));
    for (std::size_t place = 0; place < settings.Counts.size(); ++place) {
        const TCountRange range = ControlTestCountRange(static_cast<int>(place));
        const long long count = place < values.size() ? static_cast<long long>(values[place]) - 64 : -1;
        settings.Counts[place] = count >= range.Min && count <= range.Max ? static_cast<std::uint8_t>(count)
                                                                          : defaults.Counts[place];
    }
    ControlTestSettings = settings;
}

void SaveControlTestSettings() {
    WriteSettingString(SettingsKey, kStdControlTestCheck,
                       ControlTestChecksText(ControlTestSettings.StdCheck));
    WriteSettingString(SettingsKey, kMRControlTestCheck, ControlTestChecksText(ControlTestSettings.MRCheck));
    WriteSettingString(SettingsKey, kControlTestValues, ControlTestValuesText(ControlTestSettings.Counts));
}

std::string ControlTestName(int test) {
    const auto count = [](int place) {
        return std::to_string(ControlTestSettings.Counts[static_cast<std::size_t>(place)]);
    };
    switch (test) {
    case kTestOutsideLimits: return "Points Outside Control Limits";
    case kTestRun: return "Run of " + count(kCountRun) + " or More Above/Below the Centerline";
    case kTestTrend: return "Trend of " + count(kCountTrend) + " or More Increasing/Decreasing";
    case kTestExcessVariability:
        return "Excessive Variability, " + count(kCountExcessVariability) +
               " or More Outside One Standard Error";
    case kTestLackOfVariability:
        return "Lack of Variability, " + count(kCountLackOfVariability) +
               " or More Inside One Standard Error";
    case kTestAlternating: return count(kCountAlternating) + " or More Alternating Values";
    case kTestZoneRule1:
        return count(kCountZoneRule1K) + " of " + count(kCountZoneRule1M) + " Outside One Standard Error";
    case kTestZoneRule2:
        return count(kCountZoneRule2K) + " of " + count(kCountZoneRule2M) + " Outside Two Standard Errors";
    case kTestMovingRange: return "Excessive Moving Range Between Two Points";
    default: return {};
    }
}

TPointTableRows::TPointTableRows(const std::vector<std::vector<double>>& rows) {
    pointers_.reserve(rows.size());
    bool first = true;
    for (const std::vector<double>& row : rows) {
        pointers_.push_back(row.data());
        cells_ = first ? row.size() : std::min(cells_, row.size());
        first = false;
    }
}

void SizeControlCodes(int points) {
    if (points < 0) return;
    const auto size = static_cast<std::size_t>(points) + 1;
    for (std::vector<TCode>& codes : CodeTable)
        if (codes.size() < size) codes.resize(size);
}

void ClearControlCodes() {
    for (std::vector<TCode>& codes : CodeTable)
        std::fill(codes.begin(), codes.end(), TCode{});
}

void ResetControlTests() {
    for (std::vector<TCode>& codes : CodeTable)
        std::vector<TCode>().swap(codes);
    std::vector<double>().swap(MissingRow);
    ControlTestSettings = DefaultControlTestSettings();
}

void RunControlTests(const TPointTableView& table, int points, int setRow, int slot, bool movingRangeFlag,
                     int seRow, int breakRow, int uclRow, int clRow, int lclRow, int valueRow) {
    if (slot < 0 || slot >= kControlCodeSlots || table.Cells == 0) return;
    points = static_cast<int>(std::clamp<long long>(points, 0, static_cast<long long>(table.Cells) - 1));
    SizeControlCodes(points);
    std::vector<TCode>& codes = CodeTable[static_cast<std::size_t>(slot)];
    std::fill(codes.begin() + 1, codes.begin() + points + 1, TCode{});
    if (points == 0) return;
    if (MissingRow.size() < table.Cells) MissingRow.assign(table.Cells, MissingValue);

    const TTestRows r{RowOf(table, valueRow), RowOf(table, uclRow), RowOf(table, clRow),
                      RowOf(table, lclRow),   RowOf(table, seRow),  RowOf(table, setRow),
                      RowOf(table, breakRow)};
    const std::array<bool, kControlTestCount>& on =
        movingRangeFlag ? ControlTestSettings.MRCheck : ControlTestSettings.StdCheck;
    const auto enabled = [&on](int test) { return on[static_cast<std::size_t>(test - 1)]; };
    const TTestCounts n = UsableCounts(ControlTestSettings);

    // The number of points ending at i that form a clean window: no break mark, no set change and
    // no missing value between them.
    int clean = 0;
    TPatternStreaks streaks;
    std::array<int, kControlTestCount> lastFired{};
    for (int i = 1; i <= points; ++i) {
        const bool joined =
            i > 1 && r.Break[i - 1] != 1 && r.Set[i - 1] == r.Set[i] && NotMissing(r.Value[i - 1]);
        clean = joined ? clean + 1 : 1;
        streaks.Add(r, i);
        if (!NotMissing(r.Value[i])) continue;

        // When the test fired at the point before, its pattern's other members are marked already.
        const auto test = [&](int t, int window, bool fires) {
            if (!enabled(t) || clean < window || !fires) return;
            int& last = lastFired[static_cast<std::size_t>(t - 1)];
            MarkViolation(codes, i, t, last == i - 1 ? 0 : window - 1);
            last = i;
        };
        if (enabled(kTestOutsideLimits) && OutsideLimitsFires(r, i))
            MarkViolation(codes, i, kTestOutsideLimits, 0);
        test(kTestRun, n.Run, streaks.Run(n.Run));
        test(kTestTrend, n.Trend, streaks.Trend(n.Trend));
        test(kTestExcessVariability, n.Excess, streaks.ExcessVariability(i, n.Excess));
        test(kTestLackOfVariability, n.Lack, streaks.LackOfVariability(n.Lack));
        test(kTestAlternating, n.Alternating, streaks.Alternating(n.Alternating));
        test(kTestZoneRule1, n.Zone1M, streaks.ZoneRule(i, n.Zone1K, n.Zone1M, false));
        test(kTestZoneRule2, n.Zone2M, streaks.ZoneRule(i, n.Zone2K, n.Zone2M, true));
        if (enabled(kTestMovingRange) && clean >= 2 && MovingRangeFires(r, i))
            MarkViolation(codes, i, kTestMovingRange, 0);
    }
}

std::string_view RawControlCode(int slot, int point) {
    if (slot < 0 || slot >= kControlCodeSlots || point < 1) return {};
    const std::vector<TCode>& codes = CodeTable[static_cast<std::size_t>(slot)];
    if (static_cast<std::size_t>(point) >= codes.size()) return {};
    const TCode& code = codes[static_cast<std::size_t>(point)];
    return {code.Chars.data(), code.Length};
}

std::string ControlCodes(int slot, int point) {
    std::string text(RawControlCode(slot, point));
    for (char& c : text)
        if (static_cast<unsigned char>(c) > kMemberMarkOffset)
            c = static_cast<char>(static_cast<unsigned char>(c) - kMemberMarkOffset);
    return text;
}

} // namespace kivspc
