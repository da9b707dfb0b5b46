// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"
#include "TempFiles.h"

#include "app/MRUFilesUnit.h"
#include "data/DataFile.h"
#include "data/Procif.h"
#include "data/Transfrm.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kivspc;

namespace {

class DataFileTest : public CoreTest {
protected:
    // The table as rows of cells joined by "|", names first.
    static std::vector<std::string> Dump() {
        std::vector<std::string> rows;
        const TDataTable& t = DataTable();
        std::string names;
        for (int c = 1; c <= t.ColumnCount(); ++c)
            names += (c > 1 ? "|" : "") + t.ColumnName(c);
        rows.push_back(names);
        for (int r = 1; r <= t.RowCount(); ++r) {
            std::string line;
            for (int c = 1; c <= t.ColumnCount(); ++c)
                line += (c > 1 ? "|" : "") + std::string(t.Cell(c, r));
            rows.push_back(line);
        }
        return rows;
    }
    bool Load(const std::string& bytes) { return LoadFile(folder.Write("data.kivs", bytes)); }

    TempFolder folder;
};

using Rows = std::vector<std::string>;

TEST_F(DataFileTest, LayoutsAreReadAsTheProgramWritesThem) {
    struct Case {
        const char* what;
        std::string bytes;
        Rows table;
    };
    const Case cases[] = {
        {"tab names", "Weight\tHeight\r\n1\t2\r\n3\t4\r\n", {"Weight|Height", "1|2", "3|4"}},
        {"numeric first line is data", "1 2 3\n4 5 6\n", {"Col1|Col2|Col3", "1|2|3", "4|5|6"}},
        {"mixed first line is data", "A 1\nB 2\n", {"Col1|Col2", "A|1", "B|2"}},
        {"names after a comment are data", "* comment\nA\tB\n1\t2\n", {"Col1|Col2", "A|B", "1|2"}},
        {"double comma is an empty cell", "3,,5\n", {"Col1|Col2|Col3", "3||5"}},
        {"trailing comma adds no cell", "3,5,\n", {"Col1|Col2", "3|5"}},
        {"blank padding", "   3    5   \n", {"Col1|Col2", "3|5"}},
        {"wider lines add columns", "1\t2\n1\t2\t3\t4\n", {"Col1|Col2|Col3|Col4", "1|2||", "1|2|3|4"}},
        {"empty lines are skipped", "1\n\n\n2\n", {"Col1", "1", "2"}},
        {"mixed line ends", "a\tb\r\n1\t2\n3\t4\r5\t6", {"a|b", "1|2", "3|4", "5|6"}},
        {"byte order mark", "\xEF\xBB\xBFName\n7\n", {"Name", "7"}},
        {"blank and comma names", "First Name,Last\n1 2\n", {"First|Name|Last", "1|2|"}},
        {"empty name field", "A\t\tC\n1\t2\t3\n", {"A|Col2|C", "1|2|3"}},
        {"latin-1 bytes",
         "Gr\xF6\xDF"
         "e\n1\n",
         {"Gr\xC3\xB6\xC3\x9F"
          "e",
          "1"}},
        // A name is a number only when the whole of it is one: "E" and "-" are names.
        {"names made of number characters", "Temp\tE\tPressure\n1\t2\t3\n", {"Temp|E|Pressure", "1|2|3"}},
        {"a lone minus and a small e", "Part\t-\te\n1\t2\t3\n", {"Part|-|e", "1|2|3"}},
        {"a number among words is data", "Temp\t1e5\n1\t2\n", {"Col1|Col2", "Temp|1e5", "1|2"}},
        {"a missing mark among words is data", "Temp\t.\n1\t2\n", {"Col1|Col2", "Temp|.", "1|2"}},
        {"only number characters is data", "E\t-\n1\t2\n", {"Col1|Col2", "E|-", "1|2"}},
    };
    for (const Case& c : cases) {
        NewDataTable();
        ASSERT_TRUE(Load(c.bytes)) << c.what;
        EXPECT_EQ(Dump(), c.table) << c.what;
        EXPECT_EQ(StatErrorCode, 0) << c.what;
    }
}

TEST_F(DataFileTest, DescriptionLinesFillTheirRows) {
    ASSERT_TRUE(Load("A\tB\tC\nTitle:\tFirst\t\tThird\nUSL:\t10\t\t12\ntarget:,5\nLSL:9\n1\t2\t3\n"));
    const TDataTable& t = DataTable();
    EXPECT_EQ(t.Description(1, kTitleRow), "First");
    EXPECT_EQ(t.Description(3, kTitleRow), "Third");
    EXPECT_EQ(ColumnUSL(1), 10);
    EXPECT_EQ(ColumnUSL(2), MissingValue);
    EXPECT_EQ(ColumnUSL(3), 12);
    EXPECT_EQ(ColumnTarget(1), 5) << "a comma after the colon is a separator too";
    EXPECT_EQ(ColumnLSL(1), 9) << "a value straight after the colon keeps its first digit";
    EXPECT_EQ(ColumnLabel(1), "First");
    EXPECT_EQ(ColumnLabel(2), "B");
    EXPECT_EQ(t.RowCount(), 1);
}

TEST_F(DataFileTest, LoadingResetsFiltersAndRecordsTheFile) {
    ProcessIfOn = true;
    TransformRec.Kind = kTransformLog;
    AskBlankCommas = false;
    std::string path = folder.Write("a.kivs", "x\n1\n");
    ASSERT_TRUE(LoadFile(path));
    EXPECT_FALSE(ProcessIfOn);
    EXPECT_EQ(TransformRec.Kind, kTransformNone);
    EXPECT_TRUE(AskBlankCommas);
    EXPECT_EQ(DataTable().FileName, path);
    EXPECT_FALSE(DataTable().Modified);
    MRUFiles().Load();
    EXPECT_EQ(MRUFiles().Entries[1], path);
    EXPECT_EQ(DataList.RowsCached, 1);
    EXPECT_EQ(Values[1][1], 1);
}

TEST_F(DataFileTest, TooManyColumnsAreCutWithAWarning) {
    std::string names;
    std::string data;
    for (int i = 1; i <= 600; ++i) {
        names += (i > 1 ? "\t" : "") + std::string("N") + std::to_string(i);
        data += (i > 1 ? "\t" : "") + std::to_string(i);
    }
    ASSERT_TRUE(Load(names + "\n" + data + "\n" + data + "\t601\t602\n"));
    EXPECT_EQ(DataTable().ColumnCount(), 512);
    EXPECT_EQ(DataTable().Cell(512, 2), "512");
    ASSERT_EQ(platform.Messages.size(), 1u);
    EXPECT_EQ(platform.Messages[0].kind, "warning");
    EXPECT_EQ(platform.Messages[0].text, "The Maximum Number of Columns was Exceeded. Columns Truncated.");
}

TEST_F(DataFileTest, AFileThatCannotBeOpenedKeepsTheTable) {
    ASSERT_TRUE(Load("Keep\n42\n"));
    platform.Messages.clear();
    EXPECT_FALSE(LoadFile(folder.File("missing.kivs")));
    EXPECT_NE(StatErrorCode, 0);
    ASSERT_EQ(platform.Messages.size(), 1u);
    EXPECT_EQ(platform.Messages[0].text, "File Error");
    EXPECT_EQ(DataTable().ColumnName(1), "Keep");
    EXPECT_EQ(DataTable().Cell(1, 1), "42");
}

// What no data file is: refused with a message that names it, before the table is touched. The
// open table keeps its cells, its file name and its modified mark, and the editor is not told of
// a new table.
TEST_F(DataFileTest, WhatIsNoDataFileIsRefusedAndTheOpenTableStays) {
    ASSERT_TRUE(Load("Keep\n42\n"));
    const std::string keptName = DataTable().FileName;
    DataTable().SetCell(1, 1, "43");
    DataTable().Modified = true;
    int replaced = 0;
    OnTableReplaced = [&replaced] { ++replaced; };

    const std::string pipe = folder.File("pipe.kivs");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // Bytes without a NUL, most of them control characters: no text.
    std::string controls;
    for (int i = 0; i < 300; ++i)
        controls += static_cast<char>(1 + i % 8);
    controls += "\n1\n";
    struct Case {
        const char* what;
        std::string path;
        const char* title;
        const char* why;
    };
    const Case cases[] = {
        {"a folder", folder.Path().string(), "Not a Data File!", "a folder, a device or a pipe"},
        // Opening a pipe would wait for a writer; the test would hang.
        {"a named pipe", pipe, "Not a Data File!", "a folder, a device or a pipe"},
        {"a device", "/dev/null", "Not a Data File!", "a folder, a device or a pipe"},
        {"a program (this test)", "/proc/self/exe", "Not a Text File!", "NUL bytes"},
        {"a NUL in text", folder.Write("nul.kivs", std::string("1\t2\n3\0\t4\n", 9)), "Not a Text File!",
         "NUL bytes"},
        {"control characters", folder.Write("controls.kivs", controls), "Not a Text File!",
         "Most of what it holds is not text"},
        {"UTF-16 text",
         folder.Write("utf16.txt", std::string("\xFF\xFE"
                                               "A\0\t\0B\0",
                                               8)),
         "Not a Text File!", "UTF-16"},
        {"an empty file", folder.Write("empty.kivs", ""), "No Data!", "The file is empty."},
        {"no data line", folder.Write("nodata.kivs", "Weight\tHeight\n* none yet\nUSL:\t10\t12\n\n   \n"),
         "No Data!", "no data line"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform.Messages.clear();
        platform.Answers = {Answer::No}; // the modified table is not saved
        EXPECT_FALSE(LoadFile(c.path));
        EXPECT_NE(StatErrorCode, 0);
        ASSERT_FALSE(platform.Messages.empty());
        const auto& message = platform.Messages.back();
        EXPECT_EQ(message.kind, "error");
        EXPECT_EQ(message.text.substr(0, message.text.find("\r\n")), c.title);
        EXPECT_NE(message.text.find("\r\n\r\n" + c.path + "\r\n\r\n"), std::string::npos) << message.text;
        EXPECT_NE(message.text.find(c.why), std::string::npos) << message.text;
        EXPECT_EQ(DataTable().Cell(1, 1), "43");
        EXPECT_EQ(DataTable().ColumnName(1), "Keep");
        EXPECT_EQ(DataTable().FileName, keptName);
        EXPECT_TRUE(DataTable().Modified);
        EXPECT_EQ(platform.BusyDepth, 0);
    }
    EXPECT_EQ(replaced, 0);
    ClearTableHooks();
}

// A platform that makes the loader's file unreadable once the first block is in: the descriptor
// the loader reads is replaced by one of a folder, so that the next read fails in the kernel.
class BreakingReadsPlatform : public RecordingPlatform {
public:
    BreakingReadsPlatform(std::string file, std::string folder)
        : file_(std::move(file)), folder_(std::move(folder)) {}
    void KeepResponsive() override {
        RecordingPlatform::KeepResponsive();
        if (broken) return;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code error;
            if (std::filesystem::read_symlink(entry.path(), error) != file_) continue;
            const int fd = std::stoi(entry.path().filename().string());
            const int dir = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
            broken = dir >= 0 && ::dup2(dir, fd) == fd;
            ::close(dir);
            return;
        }
    }
    bool broken = false;

private:
    std::string file_;
    std::string folder_;
};

TEST_F(DataFileTest, AReadErrorPartWayKeepsTheOpenTable) {
    ASSERT_TRUE(Load("Keep\n42\n"));
    const std::string keptName = DataTable().FileName;
    DataTable().Modified = true;
    std::string rows = "A\tB\n";
    for (int i = 0; i < 1000; ++i)
        rows += std::to_string(i) + "\t" + std::to_string(2 * i) + "\n";
    const std::string path = folder.Write("breaks.kivs", rows);
    BreakingReadsPlatform breaking(std::filesystem::canonical(path).string(), folder.Path().string());
    breaking.Answers = {Answer::No};
    SetPlatform(&breaking);
    EXPECT_FALSE(LoadFile(path));
    SetPlatform(&platform);
    ASSERT_TRUE(breaking.broken) << "the read was not broken";
    EXPECT_EQ(StatErrorCode, EISDIR);
    ASSERT_FALSE(breaking.Messages.empty());
    EXPECT_EQ(breaking.Messages.back().text, "File Error!\r\n\r\n" + path +
                                                 "\r\n\r\nThe file could not be read to its end (" +
                                                 std::strerror(EISDIR) + "). The open table is kept.");
    EXPECT_EQ(Dump(), (Rows{"Keep", "42"}));
    EXPECT_EQ(DataTable().FileName, keptName);
    EXPECT_TRUE(DataTable().Modified);
    EXPECT_EQ(breaking.BusyDepth, 0);
    // The same file, read whole, replaces the table.
    platform.Answers = {Answer::No};
    ASSERT_TRUE(LoadFile(path));
    EXPECT_EQ(DataTable().RowCount(), 1000);
    EXPECT_EQ(DataTable().FileName, path);
    EXPECT_FALSE(DataTable().Modified);
}

TEST_F(DataFileTest, CancellingTheSaveQuestionKeepsTheModifiedTable) {
    ASSERT_TRUE(Load("Keep\n42\n"));
    DataTable().Modified = true;
    platform.Answers.push_back(Answer::Cancel);
    EXPECT_FALSE(Load("Other\n1\n"));
    EXPECT_EQ(StatErrorCode, 1);
    EXPECT_EQ(DataTable().ColumnName(1), "Keep");
    EXPECT_TRUE(DataTable().Modified);
}

TEST_F(DataFileTest, OneSaveOfferServesANewTableAndTheEndOfTheProgram) {
    struct Case {
        bool modified;
        Answer answer;
        bool goesOn;
        int saves;
        bool saveSucceeds = true;
    };
    // A save the user cancels (or that fails) keeps the table: nothing may replace it.
    const Case cases[] = {{false, Answer::Cancel, true, 0},
                          {true, Answer::Yes, true, 1},
                          {true, Answer::Yes, false, 1, false},
                          {true, Answer::No, true, 0},
                          {true, Answer::Cancel, false, 0}};
    for (const Case& c : cases) {
        int saves = 0;
        SaveAsWithConfiguration = [&saves, &c] { return ++saves > 0 && c.saveSucceeds; };
        DataTable().Modified = c.modified;
        platform.Messages.clear();
        platform.Answers = {c.answer};
        EXPECT_EQ(OfferToSaveModifiedTable(), c.goesOn);
        EXPECT_EQ(saves, c.saves);
        EXPECT_EQ(platform.Messages.size(), c.modified ? 1u : 0u);
        if (c.modified) {
            EXPECT_EQ(platform.Messages[0].text, "File Not Saved.  Save?");
        }
    }
    ClearTableHooks();
}

TEST_F(DataFileTest, HostileInputLoadsOrIsRefusedWithoutCrashing) {
    std::string binary;
    for (int i = 0; i < 5000; ++i)
        binary += static_cast<char>((i * 37) % 256);
    std::string longLine(5'000'000, '7');
    std::string wide;
    for (int i = 0; i < 10000; ++i)
        wide += "1,";
    struct Case {
        std::string bytes;
        bool loads;
    };
    const Case cases[] = {
        {binary, false}, {longLine, true}, {wide + "\n" + wide, true}, {"\r\r\n\n\r", false}};
    for (const Case& c : cases) {
        platform.Messages.clear();
        EXPECT_EQ(Load(c.bytes), c.loads);
        // A load may warn (columns cut); a refusal is one error box.
        const bool refused = !platform.Messages.empty() && platform.Messages.back().kind == "error";
        EXPECT_EQ(refused, !c.loads);
        EXPECT_LE(DataTable().ColumnCount(), 512);
    }
}

TEST_F(DataFileTest, WrittenFilesReadBackIdentically) {
    ASSERT_TRUE(Load("Part\tSize\tNote\nUSL:\t\t12.5\t\n1\t12.25\tok\n2\t\tslow start\n3\t-.5\t\n"));
    std::string path = folder.File("round.kivs");
    ASSERT_TRUE(WriteDataFile(path, true, false, true));
    EXPECT_EQ(TempFolder::Read(path),
              "Part\tSize\tNote\r\nUSL:\t\t12.5\t\r\n1\t12.25\tok\r\n2\t\tslow start\r\n3\t-.5\t\r\n");
    Rows before = Dump();
    ASSERT_TRUE(LoadFile(path));
    EXPECT_EQ(Dump(), before);
    EXPECT_EQ(ColumnUSL(2), 12.5);
}

TEST_F(DataFileTest, WritingFollowsTheRequestedParts) {
    ASSERT_TRUE(Load("1\t2\t3\n4\t5\t6\n7\t8\t9\n"));
    DataTable().SetDescription(1, kLSLRow, "0");
    std::string path = folder.File("out.dat");
    // Default names are never written; only the non-empty description row is.
    ASSERT_TRUE(WriteDataFile(path, true, false, true));
    EXPECT_EQ(TempFolder::Read(path), "LSL:\t0\t\t\r\n1\t2\t3\r\n4\t5\t6\r\n7\t8\t9\r\n");
    // A 2 by 3 block: its names (once custom), no descriptions.
    DataTable().SetColumnName(2, "B");
    ASSERT_TRUE(WriteDataFile(path, true, true, true, CellRange{2, 3, 1, 3}));
    EXPECT_EQ(TempFolder::Read(path), "B\tCol3\r\n2\t3\r\n5\t6\r\n8\t9\r\n");
    EXPECT_EQ(DataTable().FileName, path);
}

TEST_F(DataFileTest, AFailedWriteLeavesTheOldFileAndTheTable) {
    ASSERT_TRUE(Load("A\n1\n"));
    std::string path = folder.File("keep.kivs");
    ASSERT_TRUE(WriteDataFile(path, true, false, true));
    const std::string before = TempFolder::Read(path);
    DataTable().SetCell(1, 1, "2");
    DataTable().Modified = true;
    platform.Messages.clear();
    if (::geteuid() != 0) { // root writes into read-only folders anyway
        ASSERT_EQ(::chmod(folder.Path().c_str(), 0555), 0);
        EXPECT_FALSE(WriteDataFile(path, true, false, true));
        ::chmod(folder.Path().c_str(), 0755);
        EXPECT_EQ(TempFolder::Read(path), before);
        EXPECT_TRUE(DataTable().Modified);
    }
    EXPECT_FALSE(WriteDataFile(folder.File("no/such/folder/x.kivs"), true, false, true));
    ASSERT_FALSE(platform.Messages.empty());
    EXPECT_EQ(platform.Messages.back().text, "Error Writing File");
    EXPECT_TRUE(DataTable().Modified);
    EXPECT_EQ(TempFolder::Read(path), before);
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        EXPECT_EQ(entry.path().filename().string().find(".kivspc-save"), std::string::npos)
            << "no temporary left";
}

TEST_F(DataFileTest, CellsWithDelimitersCannotBreakTheFile) {
    DataTable().SetColumnCount(2);
    DataTable().SetCell(1, 1, "a\tb");
    DataTable().SetCell(2, 1, "c\nd");
    std::string path = folder.File("clean.kivs");
    ASSERT_TRUE(WriteDataFile(path, true, false, true));
    // The row of texts would be read as names without the line of default names before it.
    EXPECT_EQ(TempFolder::Read(path), "Col1\tCol2\r\na b\tc d\r\n");
    ASSERT_EQ(platform.Messages.size(), 1u);
    EXPECT_EQ(platform.Messages[0].kind, "warning");
    EXPECT_NE(platform.Messages[0].text.find("2 texts do not fit"), std::string::npos)
        << platform.Messages[0].text;
}

// A table as it is given to the round trip: names (empty: defaults), cells by row, and the four
// description rows by column.
struct TableSpec {
    const char* what;
    std::vector<std::string> names;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::array<std::string, 4>> descriptions;
};

void MakeTable(const TableSpec& spec) {
    NewDataTable();
    TDataTable& t = DataTable();
    const std::size_t columns = std::max(spec.names.size(), spec.rows.empty() ? 1 : spec.rows[0].size());
    t.SetColumnCount(static_cast<int>(columns));
    t.SetRowCount(static_cast<int>(std::max<std::size_t>(spec.rows.size(), 1)));
    for (std::size_t c = 0; c < spec.names.size(); ++c)
        t.SetColumnName(static_cast<int>(c) + 1, spec.names[c]);
    for (std::size_t r = 0; r < spec.rows.size(); ++r)
        for (std::size_t c = 0; c < spec.rows[r].size(); ++c)
            t.SetCell(static_cast<int>(c) + 1, static_cast<int>(r) + 1, spec.rows[r][c]);
    for (std::size_t c = 0; c < spec.descriptions.size(); ++c)
        for (int d = kTitleRow; d <= kLSLRow; ++d)
            t.SetDescription(static_cast<int>(c) + 1, d,
                             spec.descriptions[c][static_cast<std::size_t>(d - 1)]);
}

// Names, descriptions and cells, everything a data file should carry.
std::vector<std::string> Everything() {
    const TDataTable& t = DataTable();
    std::vector<std::string> out;
    for (int c = 1; c <= t.ColumnCount(); ++c) {
        std::string column = "[" + t.ColumnName(c) + "]";
        for (int d = kTitleRow; d <= kLSLRow; ++d)
            column += "<" + t.Description(c, d) + ">";
        for (int r = 1; r <= t.RowCount(); ++r)
            column += "|" + std::string(t.Cell(c, r));
        out.push_back(column);
    }
    return out;
}

TEST_F(DataFileTest, EveryTableTheLayoutCanCarryReadsBackUnchanged) {
    const std::string bom = "\xEF\xBB\xBF";
    const TableSpec cases[] = {
        {"default names over a row of texts", {}, {{"good", "bad"}, {"1", "2"}}, {}},
        {"one column of texts", {}, {{"ok"}, {"1"}}, {}},
        {"empty last column", {}, {{"1", ""}, {"2", ""}}, {}},
        {"empty last column with names", {"A", "B"}, {{"1", ""}}, {}},
        {"one column with empty rows", {}, {{""}, {"5"}, {""}, {""}}, {}},
        {"one column, blanks and commas", {}, {{"good part"}, {"1,5"}, {" 7 "}}, {}},
        {"several columns, empty rows", {}, {{"", "", ""}, {"1", "", "3"}, {"", "", ""}}, {}},
        {"byte-order mark in the first cell", {}, {{bom + "x", "1"}}, {}},
        {"byte-order mark in the first name", {bom + "Name", "B"}, {{"1", "2"}}, {}},
        {"names that differ from the defaults in case only", {"col1", "COL2"}, {{"1", "2"}}, {}},
        {"descriptions and a row of texts", {}, {{"a", "b"}}, {{"T", "10", "", ""}, {"", "", "5", "1"}}},
        {"blanks and commas in names", {"Bore diameter", "x,y"}, {{"1", "2"}}, {}},
        {"a one-column table with a name", {"Weight"}, {{"1"}, {""}}, {}},
        {"leading blanks and a sign", {}, {{" 1", "-.5", "+3"}}, {}},
        {"numbers that look like names", {}, {{"1e5", "E", "..."}}, {}},
        {"names made of number characters", {"Temp", "E", "-"}, {{"1", "2", "3"}}, {}},
    };
    for (const TableSpec& c : cases) {
        MakeTable(c);
        const auto before = Everything();
        platform.Messages.clear();
        const std::string path = folder.File("round.kivs");
        ASSERT_TRUE(WriteDataFile(path, true, false, true)) << c.what;
        EXPECT_TRUE(platform.Messages.empty()) << c.what << ": " << platform.Messages[0].text;
        ASSERT_TRUE(LoadFile(path)) << c.what;
        EXPECT_EQ(Everything(), before) << c.what << "\n" << TempFolder::Read(path);
    }
}

TEST_F(DataFileTest, RandomTablesReadBackUnchanged) {
    // Fragments chosen to meet every rule of the reader: names, descriptions, comments, numbers,
    // blanks, commas, non-ASCII text and empty cells.
    const std::vector<std::string> fragments = {"",         "",    "1", "-2.5", "1e3",   ".", "a",
                                                "b c",      "x,y", " ", "USL",  "Title", ":", "*",
                                                "\xC3\xA9", "E",   "+", "7 8",  "Col1"};
    unsigned seed = 12345;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    int clean = 0;
    for (int round = 0; round < 300; ++round) {
        TableSpec spec{"random", {}, {}, {}};
        const unsigned columns = 1 + next(4);
        const unsigned rows = 1 + next(5);
        if (next(2)) {
            for (unsigned c = 0; c < columns; ++c)
                spec.names.push_back("N" + fragments[next(fragments.size())]);
        }
        for (unsigned r = 0; r < rows; ++r) {
            std::vector<std::string> row;
            for (unsigned c = 0; c < columns; ++c) {
                std::string cell = fragments[next(fragments.size())];
                if (next(2)) cell += fragments[next(fragments.size())];
                row.push_back(cell);
            }
            spec.rows.push_back(row);
        }
        if (next(3) == 0)
            for (unsigned c = 0; c < columns; ++c)
                spec.descriptions.push_back({"", fragments[next(fragments.size())], "", ""});
        MakeTable(spec);
        const auto before = Everything();
        platform.Messages.clear();
        const std::string path = folder.File("random.kivs");
        ASSERT_TRUE(WriteDataFile(path, true, false, true));
        // What the layout cannot carry is announced; everything else comes back as it was. A file
        // whose every row was announced as read like a comment holds no data and is refused.
        if (platform.Messages.empty()) {
            ++clean;
            ASSERT_TRUE(LoadFile(path)) << TempFolder::Read(path);
            EXPECT_EQ(Everything(), before) << TempFolder::Read(path);
        } else {
            EXPECT_EQ(platform.Messages[0].kind, "warning");
            if (!LoadFile(path)) {
                EXPECT_EQ(platform.Messages.back().text.substr(0, 9), "No Data!\r");
            }
        }
    }
    // The fragments must leave most tables within what the layout carries, or this tests little.
    EXPECT_GT(clean, 200);
}

TEST_F(DataFileTest, WhatTheLayoutCannotCarryIsAnnouncedAndTheRestReadsBack) {
    struct Case {
        TableSpec table;
        std::string file;      // as written
        std::string firstLoss; // the start of the warning's second line
    };
    const Case cases[] = {
        {{"a comment-like first cell", {}, {{"*x", "1"}, {"2", "3"}}, {}},
         "*x\t1\r\n2\t3\r\n",
         "Row 1 starts like a comment"},
        {{"a description-like first cell", {"A", "B"}, {{"1", "2"}, {"usl:", "3"}}, {}},
         "A\tB\r\n1\t2\r\nusl:\t3\r\n",
         "Row 2 starts like a comment or a description"},
        {{"a year as a name", {"Weight", "2024"}, {{"1", "2"}}, {}},
         "Weight\tCol2\r\n1\t2\r\n",
         "The column name \"2024\""},
        {{"one column named with a blank", {"Bore diameter"}, {{"1"}}, {}},
         "Col1\r\n1\r\n",
         "The column name \"Bore diameter\""},
        // Without a letter anywhere the names line would read as data.
        {{"the only name is E", {"E"}, {{"1"}}, {}}, "Col1\r\n1\r\n", "The column name \"E\""},
        {{"a description too long", {}, {{"1"}}, {{std::string(81, 't'), "", "", ""}}},
         "Title:\t" + std::string(81, 't') + "\r\n1\r\n",
         "Title: of Col1"},
    };
    for (const Case& c : cases) {
        MakeTable(c.table);
        platform.Messages.clear();
        const std::string path = folder.File("loss.kivs");
        ASSERT_TRUE(WriteDataFile(path, true, false, true)) << c.table.what;
        EXPECT_EQ(TempFolder::Read(path), c.file) << c.table.what;
        ASSERT_EQ(platform.Messages.size(), 1u) << c.table.what;
        const std::string& text = platform.Messages[0].text;
        EXPECT_EQ(
            text.substr(0, text.find("\r\n")),
            "The file was saved, but 1 text does not fit the data file layout and will read back changed.")
            << c.table.what;
        EXPECT_EQ(text.substr(text.find("\r\n") + 2, c.firstLoss.size()), c.firstLoss) << c.table.what;
        EXPECT_FALSE(DataTable().Modified) << "the save itself succeeded";
    }
}

TEST_F(DataFileTest, SavingWithoutNamesStillKeepsTheFirstRow) {
    // Names not wanted: a needed names line holds the defaults, which read back as defaults.
    MakeTable({"", {"Part", "Note"}, {{"A", "ok"}, {"B", "bad"}}, {}});
    const std::string path = folder.File("nonames.kivs");
    ASSERT_TRUE(WriteDataFile(path, false, false, false));
    EXPECT_EQ(TempFolder::Read(path), "Col1\tCol2\r\nA\tok\r\nB\tbad\r\n");
    ASSERT_TRUE(WriteDataFile(path, false, true, false, CellRange{2, 2, 2, 2}));
    EXPECT_EQ(TempFolder::Read(path), "Col1\r\nbad\r\n");
    ASSERT_TRUE(LoadFile(path));
    EXPECT_EQ(Dump(), (Rows{"Col1", "bad"}));
}

} // namespace
