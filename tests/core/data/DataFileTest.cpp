// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"
#include "TempFiles.h"

#include "app/MRUFilesUnit.h"
#include "data/DataFile.h"
#include "data/Procif.h"
#include "data/Transfrm.h"

#include <filesystem>
#include <sys/stat.h>

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
        {"empty file", "", {"Col1", ""}},
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
    for (const std::string& path : {folder.File("missing.kivs"), folder.Path().string()}) {
        EXPECT_FALSE(LoadFile(path));
        EXPECT_NE(StatErrorCode, 0);
        ASSERT_EQ(platform.Messages.size(), 1u);
        EXPECT_EQ(platform.Messages[0].text, "File Error");
        platform.Messages.clear();
        EXPECT_EQ(DataTable().ColumnName(1), "Keep");
        EXPECT_EQ(DataTable().Cell(1, 1), "42");
    }
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

TEST_F(DataFileTest, HostileInputLoadsWithoutCrashing) {
    std::string binary;
    for (int i = 0; i < 5000; ++i)
        binary += static_cast<char>((i * 37) % 256);
    std::string longLine(5'000'000, '7');
    std::string wide;
    for (int i = 0; i < 10000; ++i)
        wide += "1,";
    for (const std::string& bytes : {binary, longLine, wide + "\n" + wide, std::string("\r\r\n\n\r")}) {
        EXPECT_TRUE(Load(bytes));
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
    EXPECT_EQ(TempFolder::Read(path), "a b\tc d\r\n");
}

} // namespace
