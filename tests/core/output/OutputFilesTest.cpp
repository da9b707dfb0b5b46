// SPDX-License-Identifier: GPL-3.0-or-later
#include "OutputTestSupport.h"
#include "TempFiles.h"

#include <cstdio>
#include <sys/stat.h>

using namespace kivspc;

namespace {

// A report with two page markers, and a line that mentions one when asked.
void WriteReport(TOutputDocument& doc, bool mention) {
    SetOutputDocument(&doc);
    SetHeadingFont(12);
    WriteOutputLine("Report");
    SetBodyFont(10);
    WriteOutputLine("first page");
    WriteOutputLine("-Page-");
    WriteOutputLine("second page");
    if (mention) WriteOutputLine("see -Page- 3");
    WriteOutputLine("-Page-");
    WriteOutputText("third page");
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

std::string RunCommand(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

} // namespace

TEST_F(OutputTest, PlainTextLeavesOutEveryLineWithAPageMarker) {
    TOutputDocument doc;
    WriteReport(doc, true);
    TempFolder folder;
    for (const char* name : {"report.txt", "report", "report.rtf.txt"}) {
        std::string path = folder.File(name);
        ASSERT_TRUE(SaveOutputDocument(doc, path)) << name;
        EXPECT_EQ(TempFolder::Read(path), "Report\r\nfirst page\r\nsecond page\r\nthird page\r\n") << name;
    }
}

TEST_F(OutputTest, RichTextIsExactAndDeterministic) {
    TOutputDocument doc;
    SetOutputDocument(&doc);
    SetUnderlinedHeadingFont(12);
    WriteOutputLine("Title");
    WriteBlankLine();
    SetBodyFont(10);
    TOutputFont red = CurrentOutputFont();
    red.Color = 0xC00010;
    red.Italic = true;
    WriteOutputText("a\tb ");
    SetOutputFont(red);
    WriteOutputLine("{x}\\y");
    WriteOutputLine("-Page-");
    WriteOutputLine("as a -Page- line"); // any line containing the marker breaks the page
    SetBodyFont(9.5);                    // keeps the colour
    WriteOutputText("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \x01\xFF");

    const std::string expected =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl"
        "{\\f0\\fmodern\\fcharset0 Courier New;}{\\f1\\fswiss\\fcharset0 Arial;}}\r\n"
        "{\\colortbl ;\\red0\\green0\\blue0;\\red192\\green0\\blue16;}\r\n"
        "\\pard\\plain\\f1\\fs24\\b\\ul\\cf1 Title\\par\r\n"
        "\\par\r\n"
        "\\f0\\fs20\\b0\\ulnone a\\tab b \\i\\cf2 \\{x\\}\\\\y\\par\r\n"
        "\\page\r\n"
        "\\page\r\n"
        "\\fs19\\i0 caf\\u233\\'e9 \\u8364? \\u-10179?\\u-8704? \\'01\\u-3?}\r\n";
    EXPECT_EQ(OutputRichText(doc), expected);
    EXPECT_EQ(OutputRichText(doc), OutputRichText(doc));
}

TEST_F(OutputTest, RichTextPutsPageBreaksInPlaceAndOtherProgramsReadIt) {
    TOutputDocument doc;
    WriteReport(doc, false);
    WriteOutputLine(" caf\xC3\xA9 {1} \\ 2");
    TempFolder folder;
    std::string path = folder.File("report.RTF");
    ASSERT_TRUE(SaveOutputDocument(doc, path));
    std::string rtf = TempFolder::Read(path);
    EXPECT_EQ(rtf, OutputRichText(doc));
    EXPECT_EQ(Count(rtf, "\\page"), 2u);
    std::size_t first = rtf.find("first page"), pageA = rtf.find("\\page"), second = rtf.find("second page"),
                pageB = rtf.find("\\page", pageA + 1), third = rtf.find("third page");
    EXPECT_TRUE(first < pageA && pageA < second && second < pageB && pageB < third) << rtf;
    EXPECT_EQ(rtf.find("-Page-"), std::string::npos);

    // Another RTF reader gets the text and both page breaks back.
    std::string html = RunCommand("unrtf --html '" + path + "' 2>/dev/null");
    ASSERT_FALSE(html.empty()) << "unrtf is needed (scripts/install-deps installs it)";
    std::size_t at = 0;
    for (const char* piece :
         {"Report", "first page", "<hr>", "second page", "<hr>", "third page", "caf&eacute; {1} \\ 2"}) {
        std::size_t found = html.find(piece, at);
        ASSERT_NE(found, std::string::npos) << piece << "\n" << html;
        at = found + 1;
    }
    EXPECT_EQ(Count(html, "<hr>"), 2u);
    EXPECT_EQ(html.find("Page-"), std::string::npos);
}

TEST_F(OutputTest, SavingReplacesTheFileWholeOrNotAtAll) {
    TOutputDocument doc;
    WriteReport(doc, true);
    TempFolder folder;

    // Replacing keeps the old file's permissions.
    std::string path = folder.Write("old.txt", "old contents that are longer than the new ones\r\n");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(SaveOutputDocument(doc, path));
    EXPECT_EQ(TempFolder::Read(path), OutputPlainText(doc));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // A missing folder, or a folder in the target's place: false, and nothing left behind.
    EXPECT_FALSE(SaveOutputDocument(doc, folder.File("missing/report.txt")));
    std::filesystem::create_directory(folder.File("taken.rtf"));
    EXPECT_FALSE(SaveOutputDocument(doc, folder.File("taken.rtf")));
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        ++entries;
        EXPECT_TRUE(entry.path().filename() == "old.txt" || entry.path().filename() == "taken.rtf")
            << entry.path();
    }
    EXPECT_EQ(entries, 2);
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("taken.rtf")));
}

TEST_F(OutputTest, AnEmptyDocumentSavesAsEmptyFiles) {
    TOutputDocument doc;
    EXPECT_EQ(OutputPlainText(doc), "");
    std::string rtf = OutputRichText(doc);
    EXPECT_EQ(rtf.substr(0, 6), "{\\rtf1");
    EXPECT_EQ(rtf.substr(rtf.size() - 3), "}\r\n");
}
