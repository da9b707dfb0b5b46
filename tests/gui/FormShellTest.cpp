// SPDX-License-Identifier: GPL-3.0-or-later
// What every window shares: recently used files in the File menus, navigation between windows,
// and help by topic.
#include "GuiFixture.h"

#include "app/FormShell.h"
#include "app/Help.h"
#include "app/HelpViewer.h"
#include "app/Kivspc_Main.h"
#include "app/MRUFilesUnit.h"
#include "app/Platform.h"
#include "charts/ControlLimitForm.h"
#include "data/DataForm.h"
#include "data/DataTable.h"

#include <QAction>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <memory>

using namespace kivspc;
using namespace kivspc::gui;

namespace {

class FormShellTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        SetPlatform(&recorder);
    }
    void TearDown() override {
        THelpViewer::Quit();
        GuiTest::TearDown();
    }
    static QStringList RecentCaptions(QWidget* window) {
        UpdateMenu(window);
        QStringList shown;
        for (int n = 1; n <= 9; ++n) {
            auto* item = window->findChild<QAction*>(QString("MRFile%1").arg(n));
            if (item && item->isVisible()) shown << item->text();
        }
        return shown;
    }
    RecordingPlatform recorder;
};

TEST_F(FormShellTest, RecentFilesFollowTheListInEveryWindow) {
    TMainForm_KIVSPC main;
    TDataForm& editor = EnsureDataForm();
    // An empty list hides the separator and all nine items.
    EXPECT_TRUE(RecentCaptions(&main).isEmpty());
    EXPECT_FALSE(Child<QAction>(&main, "MenuLineMRU")->isVisible());
    EXPECT_FALSE(Child<QAction>(&editor, "MenulineMRU")->isVisible());

    for (int i = 1; i <= 10; ++i)
        MRUFiles().Add("/data/f" + std::to_string(i) + ".kivs");
    QStringList shown = RecentCaptions(&main);
    ASSERT_EQ(shown.size(), 9);
    EXPECT_EQ(shown.front(), "&1  /data/f10.kivs");
    EXPECT_EQ(shown.back(), "&9  /data/f2.kivs"); // the tenth pushed f1 out

    // The third moves to the top, the others keep their order; letter case does not matter.
    MRUFiles().Add("/DATA/F8.KIVS");
    shown = RecentCaptions(&editor);
    EXPECT_EQ(shown[0], "&1  /DATA/F8.KIVS");
    EXPECT_EQ(shown[1], "&2  /data/f10.kivs");
    EXPECT_EQ(shown[2], "&3  /data/f9.kivs");
    EXPECT_EQ(shown[3], "&4  /data/f7.kivs");
    EXPECT_EQ(shown.size(), 9);
    EXPECT_TRUE(Child<QAction>(&editor, "MenulineMRU")->isVisible());
}

TEST_F(FormShellTest, ARecentFileLoadsIntoTheEditorOrTellsWhyNot) {
    QTemporaryDir dir;
    const QString data = dir.filePath("parts.kivs");
    const QString per = dir.filePath("old.PER");
    for (const QString& path : {data, per}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Width\n1.5\n2.5\n");
    }
    TMainForm_KIVSPC main;
    QAction item;
    item.setText("&1  " + dir.filePath("gone.kivs"));
    EXPECT_FALSE(OpenRecentFileFrom(&item, &main, "Main Form"));
    EXPECT_EQ(recorder.Messages.back().text, FromQt("File Not Found!\r\n\r\n" + dir.filePath("gone.kivs")));

    item.setText("&2  " + per);
    const int beeps = recorder.Beeps;
    const std::size_t messages = recorder.Messages.size();
    EXPECT_FALSE(OpenRecentFileFrom(&item, &main, "Main Form"));
    EXPECT_EQ(recorder.Beeps, beeps + 1);
    EXPECT_EQ(recorder.Messages.size(), messages);
    EXPECT_EQ(DataTable().RowCount(), 1);

    item.setText("&3  " + data);
    EXPECT_TRUE(OpenRecentFileFrom(&item, &main, "Main Form"));
    EXPECT_EQ(DataTable().ColumnName(1), "Width");
    EXPECT_TRUE(DataForm()->isVisible());
    EXPECT_EQ(Child<QAction>(DataForm(), "Return1")->text(), "&Return to Main Form");
}

TEST_F(FormShellTest, NextFormCommandsCycleOnlyOverThreeWindowsOrMore) {
    TMainForm_KIVSPC main;
    main.show();
    MoveFormToFront(&main);
    // With the main window alone (or one more), nothing moves.
    ViewNextForm(false);
    ViewNextForm(true);
    EXPECT_EQ(FormsFrontToBack().front(), &main);
    TDataForm& editor = EnsureDataForm();
    editor.show();
    MoveFormToFront(&main);
    ViewNextForm(true);
    EXPECT_EQ(FormsFrontToBack().front(), &main);

    TControl_Limit_Form* calc = main.ShowControlLimitForm();
    calc->hide();
    MoveFormToFront(&main);
    // Three windows: F11 brings the backmost visible one forward, F12 counts hidden ones too.
    ASSERT_EQ(FormsFrontToBack().size(), 3);
    QWidget* backmost = FormsFrontToBack().back();
    ViewNextForm(true);
    EXPECT_EQ(FormsFrontToBack().front(), backmost);
    EXPECT_TRUE(backmost->isVisible());

    // F11 passes over the hidden calculator to the editor.
    calc->hide();
    MoveFormToFront(&editor);
    MoveFormToFront(&main);
    MoveFormToFront(calc);
    MoveFormToFront(&main);
    ViewNextForm(false);
    EXPECT_EQ(FormsFrontToBack().front(), &editor);
    EXPECT_FALSE(calc->isVisible());

    // Hide All leaves only the frontmost window; the forms menu lists the others by caption.
    MoveFormToFront(&main);
    HideAllForms();
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(editor.isVisible());
    QMenu menu;
    FillFormsMenu(&menu);
    QStringList entries;
    for (QAction* a : menu.actions())
        if (!a->isSeparator()) entries << a->text() + (a->isChecked() ? "*" : "");
    EXPECT_EQ(entries, (QStringList{"Control Limit Calculations", "Data", "&Hide All Forms"}));
}

TEST_F(FormShellTest, TheFormsMenuSaysWhenThereIsNoOtherWindow) {
    TMainForm_KIVSPC main;
    MoveFormToFront(&main);
    QMenu menu;
    FillFormsMenu(&menu);
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_EQ(menu.actions()[0]->text(), "(No Open Forms)");
}

// Every topic the windows open has its page, and every link between pages leads to one.
TEST_F(FormShellTest, EveryHelpTopicAndLinkResolves) {
    for (int topic : {kHelpContents,
                      kHelpIntroduction,
                      kHelpMainForm,
                      kHelpControlLimits,
                      kHelpVarSetup,
                      kHelpVarChart,
                      kHelpAttrSetup,
                      kHelpAttrChart,
                      kHelpControlTests,
                      kHelpCapabilitySetup,
                      kHelpCapabilityAnalysis,
                      kHelpDistCalc,
                      kHelpFixedDistParam,
                      kHelpDataEditor,
                      kHelpConfigureSave,
                      kHelpMissingValues,
                      kHelpTransform,
                      kHelpRunNumbers,
                      kHelpAutoRecode,
                      kHelpProcessIf,
                      kHelpWeightCases,
                      kHelpComputeVariables,
                      kHelpFind})
        EXPECT_FALSE(THelpViewer::TopicPage(topic).isEmpty()) << topic;

    int pages = 0;
    QDirIterator it(":/help", {"*.html"});
    const QRegularExpression link(R"(href="([^"#:]+)(#[^"]*)?")");
    while (it.hasNext()) {
        const QString page = it.next();
        ++pages;
        QFile file(page);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        for (auto m = link.globalMatch(html); m.hasNext();) {
            const QString target = m.next().captured(1);
            EXPECT_TRUE(QFile::exists(":/help/" + target))
                << page.toStdString() << " links to " << target.toStdString();
        }
    }
    EXPECT_GT(pages, 8);

    // A topic the help lacks is reported, not shown.
    SetPlatform(&platform);
    THelpViewer& viewer = THelpViewer::Instance();
    EXPECT_FALSE(viewer.ShowTopic(4242));
    EXPECT_TRUE(viewer.ShowTopic(kHelpDataEditor));
    EXPECT_TRUE(viewer.Browser()->source().toString().endsWith("7000.html"));
    EXPECT_TRUE(viewer.Find("Tab"));
    EXPECT_FALSE(viewer.Find("no such words anywhere in it"));
}

} // namespace
