// SPDX-License-Identifier: GPL-3.0-or-later
#include "CoreFixture.h"

#include "app/MRUFilesUnit.h"

#include <string>
#include <vector>

#include <unistd.h>

using namespace kivspc;

namespace {

class MRUFilesTest : public CoreTest {
protected:
    // Entries 1..9 as stored, read back through a fresh list so nothing is taken from memory.
    std::vector<std::string> StoredList() {
        TMRUFiles fresh(MRUKey);
        fresh.Load();
        return {fresh.Entries.begin() + 1, fresh.Entries.end()};
    }
    static std::vector<std::string> List(std::initializer_list<const char*> paths) {
        std::vector<std::string> out(paths.begin(), paths.end());
        out.resize(TMRUFiles::kEntries);
        return out;
    }
    void AddAll(std::initializer_list<const char*> paths) {
        for (const char* p : paths)
            list.Add(p);
    }

    TMRUFiles list{MRUKey};
};

TEST_F(MRUFilesTest, LoadOfAnEmptyStoreCreatesEmptyEntries) {
    EXPECT_TRUE(list.Load());
    for (int n = 1; n <= TMRUFiles::kEntries; ++n) {
        EXPECT_EQ(list.Entries[static_cast<std::size_t>(n)], "");
        EXPECT_EQ(platform.Store.Keys[MRUKey].count("File" + std::to_string(n)), 1u);
    }
    EXPECT_EQ(list.LastFolder(), "");
}

TEST_F(MRUFilesTest, AddingAKnownFileMovesItToTheTop) {
    AddAll({"/d/a.kivs", "/d/b.kivs", "/d/c.kivs", "/d/d.kivs"});
    EXPECT_EQ(StoredList(), List({"/d/d.kivs", "/d/c.kivs", "/d/b.kivs", "/d/a.kivs"}));
    list.Add("/d/b.kivs"); // third in the list
    EXPECT_EQ(StoredList(), List({"/d/b.kivs", "/d/d.kivs", "/d/c.kivs", "/d/a.kivs"}));
    list.Add("/d/b.kivs"); // already first: nothing moves
    EXPECT_EQ(StoredList(), List({"/d/b.kivs", "/d/d.kivs", "/d/c.kivs", "/d/a.kivs"}));
}

TEST_F(MRUFilesTest, TenthFilePushesTheOldestOut) {
    AddAll({"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8", "/9"});
    EXPECT_EQ(StoredList(), List({"/9", "/8", "/7", "/6", "/5", "/4", "/3", "/2", "/1"}));
    list.Add("/10");
    EXPECT_EQ(StoredList(), List({"/10", "/9", "/8", "/7", "/6", "/5", "/4", "/3", "/2"}));
    // The last entry is not searched, but shifting drops it anyway: no duplicate appears.
    list.Add("/2");
    EXPECT_EQ(StoredList(), List({"/2", "/10", "/9", "/8", "/7", "/6", "/5", "/4", "/3"}));
}

TEST_F(MRUFilesTest, LetterCaseDoesNotMakeANewEntry) {
    AddAll({"/Data/Run.KIVS", "/data/other.kivs", "/data/third.kivs"});
    list.Add("/data/third.KIVS"); // same as entry 1
    EXPECT_EQ(StoredList(), List({"/data/third.kivs", "/data/other.kivs", "/Data/Run.KIVS"}));
    list.Add("/DATA/run.kivs"); // same as entry 3: moves up in the new spelling
    EXPECT_EQ(StoredList(), List({"/DATA/run.kivs", "/data/third.kivs", "/data/other.kivs"}));
}

TEST_F(MRUFilesTest, ListIsSharedThroughTheStore) {
    TMRUFiles other(MRUKey);
    list.Add("/d/a.kivs");
    other.Add("/d/b.kivs"); // reloads first, so a.kivs is kept
    list.Add("/d/c.kivs");
    EXPECT_EQ(StoredList(), List({"/d/c.kivs", "/d/b.kivs", "/d/a.kivs"}));
    EXPECT_EQ(MRUFiles().KeyPath, MRUKey);
}

TEST_F(MRUFilesTest, BrokenStoreGivesAnEmptyListAndNoWrites) {
    WriteSettingString(MRUKey, "File1", "/d/a.kivs");
    platform.Store.Broken = true;
    EXPECT_FALSE(list.Load());
    EXPECT_EQ(list.Entries[1], "");
    list.Add("/d/b.kivs");
    platform.Store.Broken = false;
    EXPECT_EQ(StoredList(), List({"/d/a.kivs"}));
    EXPECT_TRUE(platform.Messages.empty());
}

TEST_F(MRUFilesTest, LastFolderIsTheFolderOfTheNewestFile) {
    list.Add("/home/qa/line 3/bearing.kivs");
    EXPECT_EQ(list.LastFolder(), "/home/qa/line 3");
#ifdef _WIN32
    list.Add("C:\\Data\\shift1.kiv");
    EXPECT_EQ(list.LastFolder(), "C:\\Data");
#endif
    list.Add("/top.kivs");
    EXPECT_EQ(list.LastFolder(), "/");
}

TEST_F(MRUFilesTest, ARelativeNameIsKeptAsAFullPath) {
    // The entries must open from any folder the program is started in later.
    char buffer[4096];
    ASSERT_NE(::getcwd(buffer, sizeof buffer), nullptr);
    const std::string folder = buffer;
    list.Add("examples/bearing-diameters.kivs");
    list.Add("./x/../a.kivs");
    list.Add(folder + "/a.kivs"); // the same file: already first
    std::vector<std::string> expected{folder + "/a.kivs", folder + "/examples/bearing-diameters.kivs"};
    expected.resize(TMRUFiles::kEntries);
    EXPECT_EQ(StoredList(), expected);
    EXPECT_EQ(list.LastFolder(), folder);
}

} // namespace
