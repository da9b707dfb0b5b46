// SPDX-License-Identifier: GPL-3.0-or-later
// The edit commands' table, the rule that enables them for a control, a window's Edit menu built
// from the table and the pop-up menu of output documents that the output data module owns.
#include "GuiFixture.h"

#include "app/Application.h"
#include "app/EditCommands.h"
#include "output/OutputDataModule.h"
#include "output/OutputRichEdit.h"
#include "output/ReditU.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QVBoxLayout>

#include <memory>
#include <set>

using kivspc::gui::EditCommand;
using kivspc::gui::TOutputRichEdit;

namespace {

QStringList Captions(const QMenu& menu) {
    QStringList captions;
    for (const QAction* action : menu.actions())
        captions << action->text();
    return captions;
}

} // namespace

TEST(EditCommandTableTest, EveryCommandHasOneRowFoundByItsName) {
    std::set<QString> names;
    for (const kivspc::gui::TEditCommandItem& item : kivspc::gui::EditCommandItems()) {
        EXPECT_EQ(&kivspc::gui::EditCommandItemOf(item.Command), &item) << item.Name;
        EXPECT_EQ(kivspc::gui::EditCommandNamed(item.Name), item.Command) << item.Name;
        names.insert(item.Name);
    }
    EXPECT_EQ(names.size(), kivspc::gui::EditCommandItems().size()) << "names are unique";
    for (const char* other : {"", "Copy", "copy1", "Undo2"})
        EXPECT_EQ(kivspc::gui::EditCommandNamed(other), std::nullopt) << other;
}

// Controls of each kind, with and without a selection.
class EditCommandTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        kivspc::ResetOutputModule();
        window = std::make_unique<QMainWindow>();
        auto* central = new QWidget(window.get());
        auto* layout = new QVBoxLayout(central);
        edit = new QLineEdit("12.5", central);
        spin = new QSpinBox(central);
        box = new TOutputRichEdit(central);
        button = new QPushButton("Button", central);
        for (QWidget* control : std::initializer_list<QWidget*>{edit, spin, box, button})
            layout->addWidget(control);
        window->setCentralWidget(central);
        kivspc::SetOutputDocument(&box->Document());
        kivspc::WriteOutputLine("Report text");
        box->Render();
    }
    void TearDown() override {
        window.reset();
        kivspc::ResetOutputModule();
        GuiTest::TearDown();
    }

    std::unique_ptr<QMainWindow> window;
    QLineEdit* edit = nullptr;
    QSpinBox* spin = nullptr;
    TOutputRichEdit* box = nullptr;
    QPushButton* button = nullptr;
};

TEST_F(EditCommandTest, CommandsAreEnabledByWhatTheControlCanDo) {
    QApplication::clipboard()->setText("7");
    edit->deselect();
    QTextCursor caret = box->textCursor();
    caret.clearSelection();
    box->setTextCursor(caret);
    struct Case {
        const char* what;
        QWidget* control;
        bool undo, cutCopyDelete, paste, selectAll;
    };
    const Case fresh[] = {
        {"no control", nullptr, false, false, false, false}, {"a button", button, false, false, false, false},
        {"an edit", edit, false, false, true, true},         {"a spin box", spin, false, false, true, true},
        {"a report box", box, false, false, true, true},
    };
    auto check = [](const Case& c) {
        using kivspc::gui::EditCommandEnabled;
        EXPECT_EQ(EditCommandEnabled(EditCommand::Undo, c.control), c.undo) << c.what;
        for (EditCommand command : {EditCommand::Cut, EditCommand::Copy, EditCommand::Delete})
            EXPECT_EQ(EditCommandEnabled(command, c.control), c.cutCopyDelete) << c.what;
        EXPECT_EQ(EditCommandEnabled(EditCommand::Paste, c.control), c.paste) << c.what;
        EXPECT_EQ(EditCommandEnabled(EditCommand::SelectAll, c.control), c.selectAll) << c.what;
    };
    for (const Case& c : fresh)
        check(c);

    // Typing can be undone, a selection can be cut; an empty clipboard leaves nothing to paste.
    QTest::keyClicks(edit, "3");
    edit->selectAll();
    box->selectAll();
    QApplication::clipboard()->clear();
    check({"an edit with typing and a selection", edit, true, true, false, true});
    check({"a report box with a selection", box, false, true, false, true});
}

TEST_F(EditCommandTest, EditMenuCarriesTheTableItemsAndFollowsTheFocus) {
    QMenu* menu = window->menuBar()->addMenu("&Edit");
    kivspc::gui::AddEditMenuCommands(menu, {EditCommand::Undo, EditCommand::Cut, EditCommand::Copy,
                                            EditCommand::Paste, EditCommand::SelectAll});
    // A window's own item in the same menu is left to the window.
    QAction* own = menu->addAction("&Increase Font");
    own->setEnabled(false);

    struct Item {
        const char* name;
        const char* caption;
        const char* keys;
    };
    const Item expected[] = {{"Undo1", "&Undo", "Ctrl+Z"},
                             {"Cut1", "Cu&t", "Ctrl+X"},
                             {"Copy1", "&Copy", "Ctrl+C"},
                             {"Paste1", "&Paste", "Ctrl+V"},
                             {"Select1", "Select &All", "Ctrl+A"}};
    ASSERT_EQ(menu->actions().size(), std::size(expected) + 1);
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const QAction* action = menu->actions()[static_cast<qsizetype>(i)];
        EXPECT_EQ(action->objectName(), expected[i].name);
        EXPECT_EQ(action->text(), expected[i].caption);
        EXPECT_EQ(action->shortcut(), QKeySequence(expected[i].keys)) << expected[i].name;
        EXPECT_EQ(action->shortcutContext(), Qt::WidgetWithChildrenShortcut) << expected[i].name;
    }

    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) GTEST_SKIP() << "the platform does not activate windows";
    auto item = [menu](const char* name) { return menu->findChild<QAction*>(name); };
    button->setFocus();
    emit menu->aboutToShow();
    for (const Item& expectedItem : expected)
        EXPECT_FALSE(item(expectedItem.name)->isEnabled()) << expectedItem.name << ": a button takes no text";
    emit menu->aboutToHide();
    for (const Item& expectedItem : expected)
        EXPECT_TRUE(item(expectedItem.name)->isEnabled()) << expectedItem.name << ": the keys work again";
    EXPECT_FALSE(own->isEnabled());

    // The items act on the focused control.
    edit->setFocus();
    item("Select1")->trigger();
    item("Cut1")->trigger();
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(QApplication::clipboard()->text(), "12.5");
    EXPECT_EQ(box->toPlainText(), "Report text\n");
}

TEST_F(EditCommandTest, PopupMenuIsSharedAndANewProgramStateBuildsItAfresh) {
    TOutputRichEdit other;
    QPointer<QMenu> shared = kivspc::gui::OutputPopupMenu(box);
    ASSERT_FALSE(shared.isNull());
    EXPECT_EQ(shared->objectName(), "PopupMenu1");
    EXPECT_EQ(kivspc::gui::OutputPopupMenu(&other), shared) << "one menu for every box";
    const QStringList captions = Captions(*shared);

    kivspc::gui::InitProgramState();
    EXPECT_TRUE(shared.isNull()) << "the old menu is gone with the old state";
    QMenu* rebuilt = kivspc::gui::OutputPopupMenu(box);
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_EQ(Captions(*rebuilt), captions);
    EXPECT_EQ(rebuilt->objectName(), "PopupMenu1");
}

TEST_F(EditCommandTest, PopupItemsDoNothingOnceTheirBoxIsGone) {
    box->selectAll();
    auto gone = std::make_unique<TOutputRichEdit>();
    gone->setPlainText("Old report");
    gone->selectAll();
    QMenu* menu = kivspc::gui::OutputPopupMenu(gone.get());
    ASSERT_TRUE(menu->findChild<QAction*>("Delete1")->isEnabled());
    gone.reset();
    // Without a box of its own the command would reach the current document's box.
    menu->findChild<QAction*>("Delete1")->trigger();
    EXPECT_EQ(box->toPlainText(), "Report text\n");
}
