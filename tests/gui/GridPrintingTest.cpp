// SPDX-License-Identifier: GPL-3.0-or-later
// Grids printed through Qt's printer into PDF files, read back with pdftotext and pdfinfo, and the
// grid print dialog driven as a user would.
#include "GuiFixture.h"

#include "app/GridPrinting.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;

class TableGrid : public kivspc::TextGrid {
public:
    explicit TableGrid(Rows rows) : rows_(std::move(rows)) {}
    int GridColumnCount() const override { return static_cast<int>(rows_[0].size()); }
    int GridRowCount() const override { return static_cast<int>(rows_.size()); }
    std::string GridCell(int col, int row) const override {
        return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
    }

private:
    Rows rows_;
};

// 30 rows of three columns whose texts are 60 characters long: a column and the labels make more
// than half a line of any paper, so every column prints on a page of its own.
TableGrid WideGrid() {
    Rows rows{{"Case", "Alpha", "Beta", "Gamma"}};
    for (int r = 1; r <= 30; ++r) {
        std::vector<std::string> row{std::to_string(r)};
        for (const char* name : {"a", "b", "g"})
            row.push_back(name + std::to_string(r) + std::string(60 - 1 - std::to_string(r).size(), '.'));
        rows.push_back(row);
    }
    return TableGrid(rows);
}

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

// pdftotext's pages (it ends every page with a form feed).
QStringList PdfPages(const QString& pdf) {
    QStringList pages = RunTool("pdftotext", {"-layout", pdf, "-"}).split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

// A field of pdfinfo's report, such as "Pages" or "Title".
QString PdfInfo(const QString& pdf, const QString& field) {
    const QRegularExpression line("^" + field + ":\\s*(.*)$", QRegularExpression::MultilineOption);
    return line.match(RunTool("pdfinfo", {pdf})).captured(1).trimmed();
}

// Whether a column line and a row of the printed table are there: label, " | ", cells.
bool HasTableLine(const QString& page, const QString& label, const QString& cells) {
    return page.contains(QRegularExpression("(^|\\n)\\s*" + QRegularExpression::escape(label) +
                                            "\\s+\\|\\s+" + QRegularExpression::escape(cells) +
                                            "\\s*(\\n|$)"));
}

} // namespace

class GridPrintingTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override {
        kivspc::GridPrintOrientation = kivspc::PrintOrientation::Portrait;
        GuiTest::TearDown();
    }

    // Runs the grid print dialog; `act` gets the dialog once it shows and must close it.
    bool RunDialog(const kivspc::GridSelection& selection, std::function<void(QPrintDialog*)> act) {
        bool acted = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (!dialog || acted) return;
            acted = true;
            act(dialog);
        });
        poll.start();
        const bool printed =
            kivspc::gui::PrintGridDialog(nullptr, grid, "Grid Title", "Point Information", selection);
        EXPECT_TRUE(acted) << "the print dialog never showed";
        return printed;
    }

    // Picks printing into the file in the dialog, the way a user does, and accepts it.
    static void PrintToFile(QPrintDialog* dialog, const QString& path) {
        auto* printers = dialog->findChild<QComboBox*>("printers");
        auto* fileName = dialog->findChild<QLineEdit*>("filename");
        ASSERT_NE(printers, nullptr);
        ASSERT_NE(fileName, nullptr);
        const int file = printers->findText("PDF", Qt::MatchContains);
        ASSERT_GE(file, 0);
        printers->setCurrentIndex(file);
        fileName->setText(path);
        dialog->accept();
    }

    QTemporaryDir dir;
    TableGrid grid = WideGrid();
};

TEST_F(GridPrintingTest, PrintsPagesAcrossTheColumnsIntoAPdf) {
    const QString pdf = dir.filePath("grid.pdf");
    ASSERT_TRUE(kivspc::gui::PrintGridToPdf(grid, "Grid Title", "Point Information", nullptr,
                                            kivspc::PrintOrientation::Portrait, pdf));
    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 3) << pages.join("\n=====\n").toStdString();
    EXPECT_EQ(PdfInfo(pdf, "Pages"), "3");
    EXPECT_EQ(PdfInfo(pdf, "Title"), kivspc::gui::GridPrintJobTitle());

    const QStringList names{"Alpha", "Beta", "Gamma"}, firstLetters{"a", "b", "g"};
    for (int i = 0; i < 3; ++i) {
        const QString& page = pages[i];
        SCOPED_TRACE(page.toStdString());
        EXPECT_TRUE(page.contains("Grid Title"));
        EXPECT_TRUE(page.contains("Point Information"));
        EXPECT_TRUE(HasTableLine(page, "Case", names[i]));
        // Every page holds all 30 rows of its column.
        EXPECT_TRUE(HasTableLine(page, "1", firstLetters[i] + "1" + QString(58, '.')));
        EXPECT_TRUE(HasTableLine(page, "30", firstLetters[i] + "30" + QString(57, '.')));
        EXPECT_EQ(page.contains("Page (" + QString::number(i + 1) + ")"), i > 0);
    }
    EXPECT_FALSE(pages[0].contains("Beta"));
    EXPECT_FALSE(pages[0].contains("Page ("));
    // The heading comes before the column line, which comes before the first row.
    const QString& last = pages[2];
    EXPECT_LT(last.indexOf("Point Information"), last.indexOf("Gamma"));
    EXPECT_LT(last.indexOf("Gamma"), last.indexOf("g1."));
}

TEST_F(GridPrintingTest, PrintsTheSelectionInLandscape) {
    const QString pdf = dir.filePath("selection.pdf");
    const kivspc::GridSelection selection{2, 28, 2, 30};
    ASSERT_TRUE(kivspc::gui::PrintGridToPdf(grid, "Grid Title", "Selected", &selection,
                                            kivspc::PrintOrientation::Landscape, pdf));
    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(HasTableLine(pages[0], "Case", "Beta")) << pages[0].toStdString();
    EXPECT_TRUE(HasTableLine(pages[0], "28", "b28" + QString(57, '.')));
    EXPECT_FALSE(pages[0].contains("b27"));
    EXPECT_FALSE(pages[0].contains("Alpha"));
    const QStringList size = PdfInfo(pdf, "Page size").split(' ');
    ASSERT_GE(size.size(), 3);
    EXPECT_GT(size[0].toDouble(), size[2].toDouble()) << "landscape pages are wider than high";
}

TEST_F(GridPrintingTest, TheDialogOffersTheSelectionOnlyForABlock) {
    struct Case {
        kivspc::GridSelection selection;
        bool offered;
    } cases[] = {{{1, 1, 1, 1}, false}, {{2, 5, 2, 5}, false}, {{1, 1, 2, 1}, true}, {{2, 3, 2, 9}, true}};
    for (const Case& c : cases) {
        bool offered = !c.offered;
        const bool printed = RunDialog(c.selection, [&](QPrintDialog* dialog) {
            offered = dialog->testOption(QAbstractPrintDialog::PrintSelection);
            dialog->reject();
        });
        EXPECT_EQ(offered, c.offered);
        EXPECT_FALSE(printed) << "a cancelled dialog prints nothing";
    }
}

TEST_F(GridPrintingTest, TheDialogPrintsIntoAChosenFileAsPdf) {
    // In the remembered orientation, with "Selection" chosen.
    kivspc::GridPrintOrientation = kivspc::PrintOrientation::Landscape;
    const QString pdf = dir.filePath("chosen.pdf");
    const bool printed = RunDialog({3, 29, 3, 30}, [&](QPrintDialog* dialog) {
        auto* selectionOnly = dialog->findChild<QAbstractButton*>("printSelection");
        ASSERT_NE(selectionOnly, nullptr);
        ASSERT_TRUE(selectionOnly->isEnabled());
        selectionOnly->click();
        PrintToFile(dialog, pdf);
    });
    ASSERT_TRUE(printed);
    ASSERT_TRUE(QFileInfo(pdf).size() > 0);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(5), "%PDF-") << "a file is written as PDF";
    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(HasTableLine(pages[0], "Case", "Gamma")) << pages[0].toStdString();
    EXPECT_TRUE(HasTableLine(pages[0], "30", "g30" + QString(57, '.')));
    EXPECT_FALSE(pages[0].contains("g28"));
    EXPECT_EQ(PdfInfo(pdf, "Title"), kivspc::gui::GridPrintJobTitle());
    const QStringList size = PdfInfo(pdf, "Page size").split(' ');
    ASSERT_GE(size.size(), 3);
    EXPECT_GT(size[0].toDouble(), size[2].toDouble());
    EXPECT_EQ(kivspc::GridPrintOrientation, kivspc::PrintOrientation::Landscape);
}
