// SPDX-License-Identifier: GPL-3.0-or-later
// Output documents in their real clients: printed to PDF and read back with pdftotext, saved as
// RTF and read back with unrtf, shown and edited in the rich-text box, the pop-up menu and the
// notice window.
#include "GuiFixture.h"

#include "app/Platform.h"
#include "output/OutputDataModule.h"
#include "output/OutputRichEdit.h"
#include "output/ReditU.h"
#include "output/WaitMessageUnit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using kivspc::gui::TOutputRichEdit;

namespace {

// Runs a tool that scripts/install-deps provides and returns what it printed.
QString RunTool(const QString& program, const QStringList& arguments) {
    if (QStandardPaths::findExecutable(program).isEmpty()) {
        ADD_FAILURE() << program.toStdString() << " is not installed (scripts/install-deps installs it)";
        return {};
    }
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The font sizes of the runs of a box's rendered text, in order.
std::vector<double> ShownSizes(TOutputRichEdit& box) {
    std::vector<double> sizes;
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            sizes.push_back(it.fragment().charFormat().font().pointSizeF());
    return sizes;
}

std::vector<double> DocumentSizes(const kivspc::TOutputDocument& document) {
    std::vector<double> sizes;
    for (std::size_t i = 0; i < document.LineCount(); ++i)
        for (const kivspc::TOutputRun& run : document.Line(i).Runs)
            sizes.push_back(run.Font.Size);
    return sizes;
}

const QString kDigits = QString("0123456789").repeated(15);

// Splits pdftotext's output into pages (form feeds) and lines.
std::vector<QStringList> Pages(const QString& text) {
    QStringList split = text.split('\f');
    // Every page ends in a form feed.
    if (!split.isEmpty() && split.last().isEmpty()) split.removeLast();
    std::vector<QStringList> pages;
    for (const QString& page : split)
        pages.push_back(page.split('\n'));
    return pages;
}

qsizetype LineStartingWith(const QStringList& lines, const QString& start) {
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].trimmed().startsWith(start)) return i;
    return -1;
}

} // namespace

class OutputDocumentTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        kivspc::ResetOutputModule();
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override {
        kivspc::ResetOutputModule();
        GuiTest::TearDown();
    }

    // A two-page report written the way every report window writes.
    void WriteTwoPageReport() {
        kivspc::SetOutputDocument(&box.Document());
        kivspc::ClearOutputDocument();
        kivspc::SetBodyFont(10);
        kivspc::WriteOutputLine("First page text");
        kivspc::WriteOutputLine("a\tb");
        kivspc::WriteOutputLine("abcdefg\th");
        kivspc::WriteOutputLine("abcdefgh\ti");
        kivspc::WriteOutputLine(kDigits.toStdString());
        kivspc::WriteOutputLine("-Page-");
        kivspc::WriteOutputLine("Second page text");
    }

    QTemporaryDir dir;
    TOutputRichEdit box;
};

TEST_F(OutputDocumentTest, PrintsTwoPagesWithHeaderFooterTabsAndWrapping) {
    WriteTwoPageReport();
    const QString pdf = dir.filePath("report.pdf");
    ASSERT_TRUE(kivspc::gui::PrintOutputDocumentToPdf(box.SyncedDocument(), "Kivspc Test Report", pdf,
                                                      kivspc::PrintOrientation::Portrait));
    const QString text = RunTool("pdftotext", {"-layout", pdf, "-"});
    const std::vector<QStringList> pages = Pages(text);
    ASSERT_EQ(pages.size(), 2u) << text.toStdString();
    const QString date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    const QString one = pages[0].join('\n');
    const QString two = pages[1].join('\n');

    // Page 1: the header (title left, date right) and no page number.
    const QString header = pages[0].first().trimmed();
    EXPECT_TRUE(header.startsWith("Kivspc Test Report")) << one.toStdString();
    EXPECT_TRUE(header.endsWith(date)) << one.toStdString();
    EXPECT_FALSE(one.contains("Page (")) << one.toStdString();
    EXPECT_TRUE(one.contains("First page text"));
    EXPECT_FALSE(one.contains("Second page text"));
    EXPECT_FALSE(one.contains("-Page-")) << "the marker is a page break, not text";

    // Page 2: header and footer, then nothing else of page 1.
    EXPECT_TRUE(pages[1].first().trimmed().startsWith("Kivspc Test Report")) << two.toStdString();
    EXPECT_TRUE(pages[1].first().trimmed().endsWith(date)) << two.toStdString();
    EXPECT_TRUE(two.contains("Second page text"));
    EXPECT_TRUE(two.contains("Page (2)")) << two.toStdString();
    EXPECT_FALSE(two.contains("First page text"));

    // Tabs: stops every 8 characters from the left margin. One character or seven before the
    // tab reach the same stop; eight reach the next one.
    const QStringList& lines = pages[0];
    const qsizetype a = LineStartingWith(lines, "a ");
    const qsizetype g = LineStartingWith(lines, "abcdefg ");
    const qsizetype h = LineStartingWith(lines, "abcdefgh ");
    ASSERT_TRUE(a >= 0 && g >= 0 && h >= 0) << one.toStdString();
    auto column = [](const QString& line, QChar c) {
        return line.lastIndexOf(c) - line.indexOf(QRegularExpression("\\S"));
    };
    const qsizetype firstStop = column(lines[a], 'b');
    EXPECT_EQ(column(lines[g], 'h'), firstStop) << lines[a].toStdString() << "\n" << lines[g].toStdString();
    EXPECT_GE(firstStop, 7);
    EXPECT_LE(firstStop, 9);
    const qsizetype secondStop = column(lines[h], 'i');
    EXPECT_GE(secondStop - firstStop, 7) << lines[h].toStdString();
    EXPECT_LE(secondStop - firstStop, 9) << lines[h].toStdString();

    // The 150-character line breaks where the printable width ends and goes on, unchanged, on
    // the next printed lines. Printed two points larger than the document's 10 points, Courier
    // fits about 10 characters an inch on the 6.5 to 7 inches between the margins.
    const qsizetype first = LineStartingWith(lines, "0123456789");
    ASSERT_GE(first, 0) << one.toStdString();
    QString joined;
    QStringList pieces;
    for (qsizetype i = first; i < lines.size() && !lines[i].trimmed().isEmpty(); ++i) {
        pieces << lines[i].trimmed();
        joined += lines[i].trimmed();
    }
    EXPECT_EQ(joined, kDigits) << one.toStdString();
    ASSERT_GE(pieces.size(), 2);
    EXPECT_GE(pieces[0].size(), 60) << pieces[0].toStdString();
    EXPECT_LE(pieces[0].size(), 72) << pieces[0].toStdString();
}

TEST_F(OutputDocumentTest, RichTextSaveKeepsTheTextAndTurnsMarkersIntoPageBreaks) {
    kivspc::SetOutputDocument(&box.Document());
    kivspc::SetBodyFont(10);
    for (const char* line : {"Before", "-Page-", "Middle", "-Page-", "After s\u00B2"})
        kivspc::WriteOutputLine(line);
    const QString rtf = dir.filePath("report.RTF");
    ASSERT_TRUE(kivspc::gui::SaveOutputDocumentAs(box.SyncedDocument(), rtf, "Kivspc"));

    // unrtf's text output writes a page break as an empty line: this document has none of its
    // own, so the empty lines stand exactly where the markers were. (Its text mode cannot show
    // "²"; its HTML mode can.)
    QString text = RunTool("unrtf", {"--text", rtf});
    const qsizetype rule = text.indexOf("-----------------\n");
    ASSERT_GE(rule, 0) << text.toStdString();
    text = text.mid(rule + 18);
    EXPECT_TRUE(text.startsWith("Before\n\nMiddle\n\nAfter s")) << text.toStdString();
    EXPECT_FALSE(text.contains("-Page-"));

    const QString html = RunTool("unrtf", {"--html", rtf});
    EXPECT_EQ(html.count("<hr>"), 2) << html.toStdString();
    EXPECT_TRUE(html.contains("After s&sup2;")) << html.toStdString();
    EXPECT_LT(html.indexOf("Before"), html.indexOf("<hr>"));
    EXPECT_LT(html.lastIndexOf("<hr>"), html.indexOf("After"));
}

TEST_F(OutputDocumentTest, PlainTextSaveDropsTheMarkerLines) {
    WriteTwoPageReport();
    kivspc::WriteOutputLine("Not a marker: -Page- inside a line");
    const QString path = dir.filePath("report.txt");
    ASSERT_TRUE(kivspc::gui::SaveOutputDocumentAs(box.SyncedDocument(), path, "Kivspc"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray expected = "First page text\r\na\tb\r\nabcdefg\th\r\nabcdefgh\ti\r\n" +
                                kDigits.toUtf8() + "\r\nSecond page text\r\n";
    EXPECT_EQ(file.readAll(), expected) << "every line holding the marker is left out";
}

TEST_F(OutputDocumentTest, ScalingFontsChangesTheDocumentAndTheShownBox) {
    struct Case {
        int increment;
        double factor;
        std::vector<double> after;
    };
    // A report in 10-point body text under a 12-point heading.
    const Case cases[] = {{1, 1, {13, 11, 11}}, {0, 1.5, {18, 15, 15}}, {2, 0.5, {8, 7, 7}}};
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    for (const Case& c : cases) {
        kivspc::SetOutputDocument(&box.Document());
        kivspc::ClearOutputDocument();
        kivspc::SetHeadingFont(12);
        kivspc::WriteOutputLine("Heading");
        kivspc::SetBodyFont(10);
        kivspc::WriteOutputLine("Body one");
        kivspc::WriteOutputText("Body two");
        QCoreApplication::processEvents();
        ASSERT_EQ(ShownSizes(box), (std::vector<double>{12, 10, 10}));

        kivspc::ScaleOutputFonts(c.increment, c.factor);
        EXPECT_EQ(DocumentSizes(box.Document()), c.after) << c.increment << " " << c.factor;
        // The box follows on its own once events run.
        QCoreApplication::processEvents();
        EXPECT_EQ(ShownSizes(box), c.after) << c.increment << " " << c.factor;
        EXPECT_EQ(box.toPlainText(), "Heading\nBody one\nBody two");
    }
}

TEST_F(OutputDocumentTest, UserEditsInTheBoxReachTheSavedDocument) {
    kivspc::SetOutputDocument(&box.Document());
    kivspc::SetBodyFont(10);
    kivspc::WriteOutputLine("Report line");
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    box.moveCursor(QTextCursor::End);
    QTest::keyClicks(&box, "typed note");
    box.moveCursor(QTextCursor::Start);
    QTest::keyClicks(&box, ">> ");

    kivspc::TOutputDocument& synced = box.SyncedDocument();
    EXPECT_EQ(synced.Text(), ">> Report line\r\ntyped note");
    EXPECT_EQ(synced.Line(1).FirstFont().Name, "Courier New") << "typed text keeps the report's font";
    EXPECT_EQ(synced.Line(1).FirstFont().Size, 10);

    // Writing goes on after the edits, and the box shows each thing once.
    kivspc::WriteOutputLine(" and more");
    kivspc::WriteOutputLine("Last");
    box.Render();
    EXPECT_EQ(box.toPlainText(), ">> Report line\ntyped note and more\nLast\n");
    EXPECT_EQ(box.SyncedDocument().Text(), ">> Report line\r\ntyped note and more\r\nLast\r\n");
}

TEST_F(OutputDocumentTest, PopupMenuEnablesWhatCanBeDone) {
    kivspc::SetOutputDocument(&box.Document());
    kivspc::WriteOutputLine("Some report");
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QApplication::clipboard()->clear();

    auto enabled = [this](const char* name) {
        QMenu* menu = kivspc::gui::OutputPopupMenu(&box);
        QAction* action = menu->findChild<QAction*>(name);
        if (!action) {
            ADD_FAILURE() << "no item " << name;
            return false;
        }
        return action->isEnabled();
    };
    QMenu* menu = kivspc::gui::OutputPopupMenu(&box);
    ASSERT_NE(menu, nullptr);
    QStringList captions;
    for (QAction* action : menu->actions())
        captions << action->text();
    EXPECT_EQ(captions, (QStringList{"&Undo", "Cu&t", "&Copy", "&Paste", "&Delete", "Select &All"}));

    for (const char* name : {"Undo1", "Copy1", "Cut1", "Delete1", "Paste1"})
        EXPECT_FALSE(enabled(name)) << name << ": a fresh report, no selection, empty clipboard";

    QTextCursor cursor = box.textCursor();
    cursor.setPosition(0);
    cursor.setPosition(4, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
    for (const char* name : {"Copy1", "Cut1", "Delete1"})
        EXPECT_TRUE(enabled(name)) << name;
    EXPECT_FALSE(enabled("Paste1"));

    // The items act on the box: copy, then delete the selection, which can be undone.
    menu = kivspc::gui::OutputPopupMenu(&box);
    Child<QAction>(menu, "Copy1")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "Some");
    EXPECT_TRUE(enabled("Paste1"));
    Child<QAction>(kivspc::gui::OutputPopupMenu(&box), "Delete1")->trigger();
    EXPECT_EQ(box.toPlainText(), " report\n");
    EXPECT_FALSE(enabled("Copy1"));
    EXPECT_TRUE(enabled("Undo1"));
    EXPECT_EQ(box.SyncedDocument().Text(), " report\r\n");
}

TEST_F(OutputDocumentTest, EditCommandsGoToTheFocusedEditOrTheCurrentDocument) {
    kivspc::SetOutputDocument(&box.Document());
    kivspc::WriteOutputLine("Report text");
    box.Render();
    QLineEdit edit("12.5");

    kivspc::gui::DoEditCommand("Select1", &edit);
    kivspc::gui::DoEditCommand("Cut1", &edit);
    EXPECT_EQ(edit.text(), "");
    EXPECT_EQ(QApplication::clipboard()->text(), "12.5");
    kivspc::gui::DoEditCommand("Paste1", &edit);
    kivspc::gui::DoEditCommand("Paste1", &edit);
    EXPECT_EQ(edit.text(), "12.512.5");
    EXPECT_EQ(box.toPlainText(), "Report text\n") << "the box was not touched";

    // With the focus on something that is neither, the current output document's box acts.
    QWidget other;
    kivspc::gui::DoEditCommand("Select1", &other);
    kivspc::gui::DoEditCommand("Copy1", &other);
    EXPECT_EQ(QApplication::clipboard()->text(), "Report text\n");
    EXPECT_EQ(edit.text(), "12.512.5");
}

TEST_F(OutputDocumentTest, NoticeShowsItsTextAndASecondCallRestartsTheTime) {
    QElapsedTimer sinceFirst;
    sinceFirst.start();
    kivspc::gui::ShowWaitMessage("Reading the data file", 1);
    QPointer<kivspc::gui::TWaitMessageDialog> notice = kivspc::gui::CurrentWaitMessage();
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->windowTitle(), "Notice");
    EXPECT_EQ(notice->Text(), "Reading the data file");
    EXPECT_TRUE(notice->isVisible());
    const QLabel* label = notice->findChild<QLabel*>("Label_Message");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(notice->width(), QFontMetrics(label->font()).horizontalAdvance("Reading the data file") + 92);

    QTest::qWait(500);
    if (notice.isNull()) GTEST_SKIP() << "the machine was too slow to reach the second call within a second";
    QElapsedTimer sinceSecond;
    sinceSecond.start();
    kivspc::gui::ShowWaitMessage("Computing the limits of every subgroup", 1);
    EXPECT_EQ(kivspc::gui::CurrentWaitMessage(), notice.data()) << "one notice at a time";
    EXPECT_EQ(notice->Text(), "Computing the limits of every subgroup");
    EXPECT_EQ(notice->width(),
              QFontMetrics(label->font()).horizontalAdvance("Computing the limits of every subgroup") + 92);

    // Past the first call's second the notice is still there: the time started again.
    QTest::qWait(static_cast<int>(std::max<qint64>(0, 1200 - sinceFirst.elapsed())));
    if (sinceSecond.elapsed() < 950) {
        ASSERT_FALSE(notice.isNull());
        EXPECT_TRUE(notice->isVisible());
    }
    QTRY_VERIFY_WITH_TIMEOUT(notice.isNull(), 3000);
    EXPECT_GE(sinceSecond.elapsed(), 1000) << "it stayed its own full second";
    EXPECT_EQ(kivspc::gui::CurrentWaitMessage(), nullptr);
}

TEST_F(OutputDocumentTest, LandscapePrintsOnTheWidePageWithWiderLines) {
    WriteTwoPageReport();
    const QString pdf = dir.filePath("wide.pdf");
    ASSERT_TRUE(kivspc::gui::PrintOutputDocumentToPdf(box.SyncedDocument(), "Wide", pdf,
                                                      kivspc::PrintOrientation::Landscape));
    const QString info = RunTool("pdfinfo", {pdf});
    const QRegularExpressionMatch size =
        QRegularExpression("Page size:\\s+([0-9.]+) x ([0-9.]+)").match(info);
    ASSERT_TRUE(size.hasMatch()) << info.toStdString();
    EXPECT_GT(size.captured(1).toDouble(), size.captured(2).toDouble()) << info.toStdString();

    const std::vector<QStringList> pages = Pages(RunTool("pdftotext", {"-layout", pdf, "-"}));
    ASSERT_EQ(pages.size(), 2u);
    const qsizetype first = LineStartingWith(pages[0], "0123456789");
    ASSERT_GE(first, 0);
    // 9 to 9.7 inches between the one-inch margins.
    const qsizetype fits = pages[0][first].trimmed().size();
    EXPECT_GE(fits, 85);
    EXPECT_LE(fits, 100);
}

TEST_F(OutputDocumentTest, EmptyDocumentPrintsOnePageWithTheHeader) {
    const QString pdf = dir.filePath("empty.pdf");
    ASSERT_TRUE(kivspc::gui::PrintOutputDocumentToPdf(box.SyncedDocument(), "Nothing Yet", pdf,
                                                      kivspc::PrintOrientation::Portrait));
    const QString text = RunTool("pdftotext", {"-layout", pdf, "-"});
    const std::vector<QStringList> pages = Pages(text);
    ASSERT_EQ(pages.size(), 1u) << text.toStdString();
    EXPECT_TRUE(pages[0].first().trimmed().startsWith("Nothing Yet"));
    EXPECT_FALSE(text.contains("Page ("));
}

TEST_F(OutputDocumentTest, ReportWrittenWhileHiddenAppearsWhenShown) {
    QWidget window;
    auto* hidden = new TOutputRichEdit(&window);
    kivspc::SetOutputDocument(&hidden->Document());
    kivspc::SetBodyFont(10);
    for (int i = 1; i <= 3; ++i)
        kivspc::WriteOutputLine("line " + std::to_string(i));
    kivspc::ScaleOutputFonts(0, 2);
    kivspc::WriteOutputLine("after scaling");
    QCoreApplication::processEvents();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(hidden->toPlainText(), "line 1\nline 2\nline 3\nafter scaling\n");
    EXPECT_EQ(ShownSizes(*hidden), (std::vector<double>{20, 20, 20, 10}));
}

// Saving as the user does it: through the save dialog and the routine behind it, with messages
// recorded rather than shown.
class OutputSaveTest : public OutputDocumentTest {
protected:
    void SetUp() override {
        OutputDocumentTest::SetUp();
        kivspc::SetPlatform(&recorder);
        kivspc::SetOutputDocument(&box.Document());
        kivspc::SetBodyFont(10);
        for (const char* line : {"Saved report", "-Page-", "Second page"})
            kivspc::WriteOutputLine(line);
    }

    enum class Kind { Rtf, Text, Pdf };

    // What a real reader makes of the saved file.
    void ExpectSavedAs(const QString& path, Kind kind, const std::string& what) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << what;
        const QByteArray bytes = file.readAll();
        switch (kind) {
        case Kind::Rtf: {
            EXPECT_TRUE(bytes.startsWith("{\\rtf1")) << what;
            const QString text = RunTool("unrtf", {"--text", path});
            EXPECT_TRUE(text.contains("Saved report\n\nSecond page")) << what << "\n" << text.toStdString();
            break;
        }
        case Kind::Text: EXPECT_EQ(bytes, "Saved report\r\nSecond page\r\n") << what; break;
        case Kind::Pdf: {
            EXPECT_TRUE(bytes.startsWith("%PDF")) << what;
            const QString text = RunTool("pdftotext", {path, "-"});
            EXPECT_TRUE(text.contains("Saved report") && text.contains("Second page")) << what;
            break;
        }
        }
    }

    // Runs `act` on the save dialog once it is up. A step that fails leaves the dialog to be
    // cancelled, so that the test goes on.
    static void OnSaveDialog(std::function<void(QFileDialog&)> act) {
        QTimer::singleShot(0, [act] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                ADD_FAILURE() << "no save dialog";
                return;
            }
            act(*dialog);
            if (dialog->isVisible()) dialog->reject();
        });
    }

    kivspc::RecordingPlatform recorder;
};

TEST_F(OutputSaveTest, TheChosenFilterDecidesTheTypeUnlessTheNameHasAKnownExtension) {
    const QString rtf = "Rich Text Format (*.rtf)";
    const QString txt = "Plain Text File (*.txt)";
    const QString pdf = "Portable Document Format (*.pdf)";
    ASSERT_EQ(kivspc::gui::OutputSaveFilters(), (QStringList{rtf, txt, pdf}));
    struct Case {
        QString typed;
        QString filter;
        QString saved;
        Kind kind;
    };
    const Case cases[] = {
        {"report", rtf, "report.rtf", Kind::Rtf},
        {"report", txt, "report.txt", Kind::Text},
        {"report", pdf, "report.pdf", Kind::Pdf},
        {"Report.TXT", rtf, "Report.TXT", Kind::Text},
        {"notes.rtf", txt, "notes.rtf", Kind::Rtf},
        {"printed.Pdf", txt, "printed.Pdf", Kind::Pdf},
        // A dot in the name is not an extension of ours.
        {"run 1.5", rtf, "run 1.5.rtf", Kind::Rtf},
        {"run 2.log", txt, "run 2.log.txt", Kind::Text},
        {"trailing.", txt, "trailing.txt", Kind::Text},
        // A filter that is none of ours: the dialog opened on rich text.
        {"other", "All Files (*)", "other.rtf", Kind::Rtf},
    };
    for (const Case& c : cases) {
        QTemporaryDir folder;
        const QString chosen = folder.filePath(c.typed);
        EXPECT_EQ(kivspc::gui::OutputSavePath(chosen, c.filter), folder.filePath(c.saved))
            << c.typed.toStdString();
        ASSERT_TRUE(kivspc::gui::SaveChosenOutputDocument(box.SyncedDocument(), chosen, c.filter, "Kivspc"))
            << c.typed.toStdString();
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{c.saved}) << c.typed.toStdString();
        ExpectSavedAs(folder.filePath(c.saved), c.kind, c.typed.toStdString());
    }
    EXPECT_TRUE(recorder.Messages.empty());
}

TEST_F(OutputSaveTest, DialogOpensOnRichTextAndANameTypedWithoutExtensionBecomesRichText) {
    QTemporaryDir folder;
    OnSaveDialog([&folder](QFileDialog& dialog) {
        EXPECT_EQ(dialog.selectedNameFilter(), "Rich Text Format (*.rtf)");
        auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(folder.filePath("typed"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    ASSERT_TRUE(kivspc::gui::SaveOutputDocumentDialog(nullptr, &box, "Kivspc"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"typed.rtf"});
    ExpectSavedAs(folder.filePath("typed.rtf"), Kind::Rtf, "typed");

    // Choosing the plain-text filter in the dialog makes the typed name a text file.
    OnSaveDialog([&folder](QFileDialog& dialog) {
        auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(types, nullptr);
        types->setCurrentIndex(1);
        emit types->activated(1);
        emit types->textActivated(types->currentText());
        EXPECT_EQ(dialog.selectedNameFilter(), "Plain Text File (*.txt)");
        auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(folder.filePath("plain"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    ASSERT_TRUE(kivspc::gui::SaveOutputDocumentDialog(nullptr, &box, "Kivspc"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), (QStringList{"plain.txt", "typed.rtf"}));
    ExpectSavedAs(folder.filePath("plain.txt"), Kind::Text, "plain");
    EXPECT_TRUE(recorder.Messages.empty());
}

TEST_F(OutputSaveTest, AFileOnlyTheAddedExtensionNamesIsReplacedWhenTheUserAgrees) {
    QTemporaryDir folder;
    const QString existing = folder.filePath("run 1.5.rtf");
    {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("keep me");
    }
    recorder.Answers = {kivspc::Answer::No};
    EXPECT_FALSE(kivspc::gui::SaveChosenOutputDocument(box.SyncedDocument(), folder.filePath("run 1.5"),
                                                       "Rich Text Format (*.rtf)", "Kivspc"));
    ASSERT_EQ(recorder.Messages.size(), 1u);
    EXPECT_EQ(recorder.Messages[0].kind, "yesno");
    EXPECT_EQ(recorder.Messages[0].text, "run 1.5.rtf already exists.\nDo you want to replace it?");
    QFile kept(existing);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "keep me");
    kept.close();

    recorder.Answers = {kivspc::Answer::Yes};
    EXPECT_TRUE(kivspc::gui::SaveChosenOutputDocument(box.SyncedDocument(), folder.filePath("run 1.5"),
                                                      "Rich Text Format (*.rtf)", "Kivspc"));
    ExpectSavedAs(existing, Kind::Rtf, "replaced");
}

TEST_F(OutputSaveTest, APageWithoutAReportIsNotSaved) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;
    };
    const Case cases[] = {{"no report", {}},
                          {"only blank lines and page breaks", {"", "-Page-", "   ", "-Page-"}}};
    for (const Case& c : cases) {
        kivspc::ClearOutputDocument();
        for (const std::string& line : c.lines)
            kivspc::WriteOutputLine(line);
        recorder.Messages.clear();
        QTemporaryDir folder;
        EXPECT_FALSE(kivspc::gui::SaveChosenOutputDocument(box.SyncedDocument(), folder.filePath("empty"),
                                                           "Rich Text Format (*.rtf)", "Kivspc"))
            << c.what;
        EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty()) << c.what;
        ASSERT_EQ(recorder.Messages.size(), 1u) << c.what;
        EXPECT_EQ(recorder.Messages[0].kind, "information") << c.what;
        EXPECT_EQ(recorder.Messages[0].text, "There is nothing to save.") << c.what;

        // The File menu's command says so before any dialog opens.
        recorder.Messages.clear();
        bool dialogShown = false;
        QTimer guard;
        QObject::connect(&guard, &QTimer::timeout, [&dialogShown] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                dialogShown = true;
                dialog->reject();
            }
        });
        guard.start(10);
        EXPECT_FALSE(kivspc::gui::SaveOutputDocumentDialog(nullptr, &box, "Kivspc")) << c.what;
        EXPECT_FALSE(dialogShown) << c.what;
        ASSERT_EQ(recorder.Messages.size(), 1u) << c.what;
        EXPECT_EQ(recorder.Messages[0].text, "There is nothing to save.") << c.what;
    }
}
