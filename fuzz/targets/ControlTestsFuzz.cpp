// SPDX-License-Identifier: GPL-3.0-or-later
// The tests for control over random point tables and settings. Besides crashes, every code must
// hold at most 9 characters, its own letters first and in test order, each test at most once, and
// must equal what a plain reading of the tests' definitions gives: for every point, walking back
// over each window. The settings go through the store and must come back as saved (counts out of
// range as their defaults).
// Input: flags (3 bytes), 18 count bytes, the slot, the moving-range flag, the row of each role,
// the number of points and of cells, then the cells of the value, limit, centre, standard error,
// set and break rows.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "app/MissingValue.h"
#include "charts/ControlTests.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace kivspc::fuzz {

namespace {

enum Role : int { kValue, kUcl, kCl, kLcl, kSe, kSet, kBreak, kRoles };

// A cell: mostly small halves around 0 so that patterns form, sometimes anything.
double Cell(FuzzInput& in, int role) {
    const std::uint8_t pick = in.Byte();
    if (role == kBreak) return pick < 200 ? (pick % 8 == 0 ? 1 : 0) : in.AnyDouble();
    if (role == kSet) return pick < 200 ? pick / 64 : in.AnyDouble();
    if (pick < 8) return MissingValue;
    if (pick < 220) return (static_cast<int>(pick) - 114) / 4.0;
    return in.AnyDouble();
}

// The tests exactly as defined, one walk per window, without any bookkeeping.
class ReferenceTests {
public:
    ReferenceTests(const TPointTableView& table, const int (&rows)[kRoles], bool movingRange)
        : table_(table), rows_(rows),
          on_(movingRange ? ControlTestSettings.MRCheck : ControlTestSettings.StdCheck) {
        const auto count = [](int place) {
            const TCountRange range = ControlTestCountRange(place);
            return std::clamp<int>(ControlTestSettings.Counts[static_cast<std::size_t>(place)], range.Min,
                                   range.Max);
        };
        windows_ = {0,
                    0,
                    count(kCountRun),
                    count(kCountTrend),
                    count(kCountExcessVariability),
                    count(kCountLackOfVariability),
                    count(kCountAlternating),
                    count(kCountZoneRule1M),
                    count(kCountZoneRule2M),
                    2};
        zone1K_ = count(kCountZoneRule1K);
        zone2K_ = count(kCountZoneRule2K);
    }

    std::vector<std::string> Codes(int points) {
        codes_.assign(static_cast<std::size_t>(points) + 1, std::string());
        for (int i = 1; i <= points; ++i) {
            if (!NotMissing(At(kValue, i))) continue;
            for (int t = 1; t <= kControlTestCount; ++t) {
                if (!on_[static_cast<std::size_t>(t - 1)] || !Fires(t, i)) continue;
                Append(i, kControlTestLetters[static_cast<std::size_t>(t - 1)]);
                if (t == kTestOutsideLimits || t == kTestMovingRange) continue;
                const char letter = kControlTestLetters[static_cast<std::size_t>(t - 1)];
                const char mark = static_cast<char>(static_cast<unsigned char>(letter) + kMemberMarkOffset);
                for (int j = i - Window(t) + 1; j < i; ++j) {
                    const std::string& code = codes_[static_cast<std::size_t>(j)];
                    if (code.find(letter) == std::string::npos && code.find(mark) == std::string::npos)
                        Append(j, mark);
                }
            }
        }
        return codes_;
    }

private:
    double At(Role role, int point) const {
        const int row = rows_[role];
        if (row < 0 || static_cast<std::size_t>(row) >= table_.Rows.size()) return MissingValue;
        const double* cells = table_.Rows[static_cast<std::size_t>(row)];
        return cells ? cells[point] : MissingValue;
    }
    int Window(int test) const { return windows_[static_cast<std::size_t>(test)]; }
    void Append(int point, char c) {
        std::string& code = codes_[static_cast<std::size_t>(point)];
        if (code.size() < kControlCodeChars) code += c;
    }

    bool Clean(int i, int length) const {
        if (i < length) return false;
        for (int j = i - length + 1; j < i; ++j)
            if (At(kBreak, j) == 1 || At(kSet, j) != At(kSet, j + 1) || !NotMissing(At(kValue, j)))
                return false;
        return true;
    }
    bool Band(int j) const { return NotMissing(At(kCl, j)) && NotMissing(At(kSe, j)); }

    bool Fires(int test, int i) const {
        const auto v = [this](int j) { return At(kValue, j); };
        const auto c = [this](int j) { return At(kCl, j); };
        const auto s = [this](int j) { return At(kSe, j); };
        if (test == kTestOutsideLimits)
            return (NotMissing(At(kUcl, i)) && v(i) > At(kUcl, i)) ||
                   (NotMissing(At(kLcl, i)) && v(i) < At(kLcl, i));
        const int length = Window(test);
        if (!Clean(i, length)) return false;
        switch (test) {
        case kTestRun: {
            int count = 0;
            for (int walked = 1; walked <= length && NotMissing(c(i - walked + 1)); ++walked) {
                const int j = i - walked + 1;
                count += v(j) > c(j) ? 1 : v(j) < c(j) ? -1 : 0;
                if (std::abs(count) < walked) break;
            }
            return std::abs(count) == length;
        }
        case kTestTrend: {
            int count = 0;
            for (int walked = 1; walked <= length - 1; ++walked) {
                const int j = i - walked + 1;
                count += v(j) > v(j - 1) ? 1 : v(j) < v(j - 1) ? -1 : 0;
                if (std::abs(count) < walked) break;
            }
            return std::abs(count) == length - 1;
        }
        case kTestExcessVariability: {
            int above = 0, below = 0;
            for (int j = i; j > i - length && Band(j); --j) {
                if (v(j) > c(j) + s(j))
                    ++above;
                else if (v(j) < c(j) - s(j))
                    ++below;
                else
                    break;
            }
            return above + below == length && above > 0 && below > 0;
        }
        case kTestLackOfVariability: {
            int inside = 0;
            for (int j = i; j > i - length && Band(j) && v(j) > c(j) - s(j) && v(j) < c(j) + s(j); --j)
                ++inside;
            return inside == length;
        }
        case kTestAlternating: {
            int turns = 0;
            for (int j = i - 1; j > i - length + 1; --j) {
                if (!((v(j) > v(j - 1) && v(j) > v(j + 1)) || (v(j) < v(j - 1) && v(j) < v(j + 1)))) break;
                ++turns;
            }
            return turns == length - 2;
        }
        case kTestZoneRule1:
        case kTestZoneRule2: {
            const double bands = test == kTestZoneRule1 ? 1 : 2;
            const int least = test == kTestZoneRule1 ? zone1K_ : zone2K_;
            int outside = 0, inside = 0;
            for (int j = i; j > i - length && Band(j); --j) {
                if (v(j) > c(j) + bands * s(j) || v(j) < c(j) - bands * s(j))
                    ++outside;
                else if (++inside > length - least)
                    break;
            }
            return outside >= least;
        }
        case kTestMovingRange: {
            const double limit = kMovingRangeStdErrors * s(i);
            return NotMissing(s(i)) && limit > 0 && std::abs(v(i) - v(i - 1)) > limit;
        }
        default: return false;
        }
    }

    const TPointTableView& table_;
    const int (&rows_)[kRoles];
    const std::array<bool, kControlTestCount>& on_;
    std::array<int, kControlTestCount + 1> windows_{};
    int zone1K_ = 0, zone2K_ = 0;
    std::vector<std::string> codes_;
};

void CheckCode(std::string_view raw, int slot, int point) {
    Check(raw.size() <= kControlCodeChars, "a code holds at most 9 characters");
    int lastOwn = 0;
    bool marks = false;
    std::array<bool, kControlTestCount> seen{};
    for (char c : raw) {
        const auto byte = static_cast<unsigned char>(c);
        const bool mark = byte > kMemberMarkOffset;
        const std::size_t at =
            kControlTestLetters.find(static_cast<char>(mark ? byte - kMemberMarkOffset : byte));
        Check(at != std::string_view::npos, "a code holds only letters and member marks");
        Check(!seen[at], "a test appears at most once in a code");
        seen[at] = true;
        if (mark) {
            marks = true;
        } else {
            Check(!marks && static_cast<int>(at) + 1 > lastOwn, "own letters come first and in test order");
            lastOwn = static_cast<int>(at) + 1;
        }
    }
    std::string plain = ControlCodes(slot, point);
    Check(plain.size() == raw.size(), "ControlCodes shows every character");
}

void CheckSettingsRoundTrip() {
    const TControlTestSettings saved = ControlTestSettings;
    SaveControlTestSettings();
    ResetControlTests();
    LoadControlTestSettings();
    Check(ControlTestSettings.StdCheck == saved.StdCheck && ControlTestSettings.MRCheck == saved.MRCheck,
          "the flags come back as saved");
    const TControlTestSettings defaults = DefaultControlTestSettings();
    for (int place = 0; place < kControlTestCountSlots; ++place) {
        const TCountRange range = ControlTestCountRange(place);
        const int value = saved.Counts[static_cast<std::size_t>(place)];
        const int expected = value >= range.Min && value <= range.Max
                                 ? value
                                 : defaults.Counts[static_cast<std::size_t>(place)];
        Check(ControlTestSettings.Counts[static_cast<std::size_t>(place)] == expected,
              "a count comes back as saved, or as its default when out of range");
    }
    for (int t = 1; t <= kControlTestCount; ++t)
        Check(!ControlTestName(t).empty(), "every test has a name");
}

} // namespace

int FuzzControlTests(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    ResetCore();
    unsigned flags = 0;
    for (unsigned shift = 0; shift < 24; shift += 8)
        flags |= static_cast<unsigned>(in.Byte()) << shift;
    for (std::size_t t = 0; t < kControlTestCount; ++t) {
        ControlTestSettings.StdCheck[t] = (flags >> t) & 1u;
        ControlTestSettings.MRCheck[t] = (flags >> (t + 9)) & 1u;
    }
    // Mostly counts within a few of their ranges' low ends, sometimes any byte.
    for (std::uint8_t& count : ControlTestSettings.Counts) {
        const std::uint8_t pick = in.Byte();
        count = pick < 224 ? pick % 12 : in.Byte();
    }
    const int slot = static_cast<int>(in.IntIn(-1, 2));
    const bool movingRange = in.Bool();
    int rows[kRoles];
    for (int role = 0; role < kRoles; ++role) {
        const std::uint8_t pick = in.Byte();
        rows[role] = pick < 240 ? role : static_cast<int>(pick % 12) - 2; // sometimes another, or none
    }
    const int points = static_cast<int>(in.IntIn(0, 200));
    const int cells = in.Bool() ? points + 1 : static_cast<int>(in.IntIn(0, 201));

    std::vector<std::vector<double>> table(
        kRoles, std::vector<double>(static_cast<std::size_t>(cells), MissingValue));
    for (int role = 0; role < kRoles; ++role) {
        const bool constant = role != kValue && in.Bool(); // limits and centre usually hold per set
        const double first = Cell(in, role);
        for (int p = 1; p < cells; ++p)
            table[static_cast<std::size_t>(role)][static_cast<std::size_t>(p)] =
                constant ? first : Cell(in, role);
    }
    const TPointTableRows tableRows(table);
    const TPointTableView view = tableRows.View();
    RunControlTests(view, points, rows[kSet], slot, movingRange, rows[kSe], rows[kBreak], rows[kUcl],
                    rows[kCl], rows[kLcl], rows[kValue]);
    if (slot < 0 || slot >= kControlCodeSlots) return 0;

    const int evaluated = std::clamp(points, 0, std::max(cells - 1, 0));
    const std::vector<std::string> expected = ReferenceTests(view, rows, movingRange).Codes(evaluated);
    for (int p = 1; p <= evaluated; ++p) {
        const std::string_view raw = RawControlCode(slot, p);
        CheckCode(raw, slot, p);
        Check(raw == expected[static_cast<std::size_t>(p)], "the codes follow the tests' definitions");
    }
    CheckSettingsRoundTrip();
    return 0;
}

} // namespace kivspc::fuzz
