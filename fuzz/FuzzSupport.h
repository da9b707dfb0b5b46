// SPDX-License-Identifier: GPL-3.0-or-later
// What every fuzz target needs: a fresh program state with a recording platform, scripted
// answers, temporary files, small tables built from the input and checks that stop the run.
#pragma once

#include "FuzzInput.h"

#include "app/Platform.h"

#include <string>
#include <string_view>
#include <vector>

namespace kivspc {
struct TChartScene;
}

namespace kivspc::fuzz {

// Every module back to its start-up state, with a recording platform installed (returned). A
// run never sees what an earlier run left behind, so a crash replays from its input alone.
RecordingPlatform& ResetCore();

// Four answers to the next questions, two bits each from the low end: 0 and 3 Yes, 1 No,
// 2 Cancel. Questions beyond them are answered Yes.
void ScriptAnswers(RecordingPlatform& platform, std::uint8_t script);

// A file in the temporary folder, named after this process, removed when it goes out of scope
// (so that a crash leaves at most the files of one run behind).
class TempFile {
public:
    explicit TempFile(std::string_view name);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};
// False when the file could not be written.
bool WriteBytes(const std::string& path, std::string_view bytes);

// A cell text: one byte picks from texts that sit on the conversion rules' edges (signs, points,
// exponents, huge and tiny values, the missing-value code, words), or a NUL-ended field follows.
std::string CellText(FuzzInput& in);
// A table of 1-6 columns and 0-12 rows of CellText cells, rebuilt into the numeric cache; the
// row-statistic columns sometimes hold arbitrary doubles.
void BuildTable(FuzzInput& in);
// A column number: mostly inside the table, sometimes 0, negative, a row statistic or far out.
int AnyColumn(FuzzInput& in);

// True when a text shows a non-number as "nan", "inf" or "infinity" instead of saying it in words.
bool ShowsNonNumber(std::string_view text);
// The same, with the user's own texts (cells, names, a Process If value) taken out of the line
// first: a cell that reads "nan" is a level of a text column, not a number that failed to form.
bool ShowsNonNumberOfItsOwn(std::string line, const std::vector<std::string>& userTexts);
// The table's column names and cells, longest first (the user's texts of a table).
std::vector<std::string> UserTableTexts();
// Every drawn coordinate of a chart's scene is finite (gaps aside) and inside its panel's ranges;
// no text shows a non-number.
void CheckScene(const TChartScene& scene, const std::vector<std::string>& userTexts);

// Stops the run with a message when a documented property does not hold.
void Check(bool holds, const char* what);

} // namespace kivspc::fuzz
