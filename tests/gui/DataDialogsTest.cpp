// SPDX-License-Identifier: GPL-3.0-or-later
// The data dialogs driven as a user would: controls found by name, clicked and typed into.
#include "GuiFixture.h"

#include "app/HelpViewer.h"
#include "app/Platform.h"
#include "data/ConfigSaveForm.h"
#include "data/DataList.h"
#include "data/DataTable.h"
#include "data/MissingForm.h"
#include "data/Missu.h"
#include "data/ProcessIFForm.h"
#include "data/Procif.h"
#include "data/TableEdit.h"
#include "data/TransformForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <string>
#include <vector>

using namespace kivspc;
using namespace kivspc::gui;

namespace {

using Grid = std::vector<std::vector<std::string>>; // rows of cells

Grid TableCells() {
    const TDataTable& table = DataTable();
    Grid cells(static_cast<std::size_t>(table.RowCount()));
    for (int r = 1; r <= table.RowCount(); ++r)
        for (int c = 1; c <= table.ColumnCount(); ++c)
            cells[static_cast<std::size_t>(r) - 1].emplace_back(table.Cell(c, r));
    return cells;
}

std::vector<std::string> ColumnNames() {
    std::vector<std::string> names;
    for (int c = 1; c <= DataTable().ColumnCount(); ++c)
        names.push_back(DataTable().ColumnName(c));
    return names;
}

// Item `index` of the radio group named `group`.
QRadioButton* Radio(const QObject* form, const QString& group, int index) {
    const auto items = Child<QGroupBox>(form, group)->findChildren<QRadioButton*>();
    if (index < 0 || index >= items.size()) throw std::runtime_error("no such radio item");
    return items[index];
}

// Drives the next modal dialog once it shows; the driver must close it.
void WhenModal(std::function<void(QWidget*)> drive, int triesLeft = 50) {
    QTimer::singleShot(10, [drive, triesLeft] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog) {
            drive(dialog);
        } else if (triesLeft > 0) {
            WhenModal(drive, triesLeft - 1);
        } else {
            ADD_FAILURE() << "no modal dialog showed";
        }
    });
}

void Click(const QObject* form, const QString& button) { Child<QPushButton>(form, button)->click(); }

class DataDialogsTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        kivspc::SetPlatform(&recorder);
    }
    RecordingPlatform recorder;
};

} // namespace

TEST_F(DataDialogsTest, ConfigureSaveOffersWhatItIsGivenAndReturnsTheCheckedStates) {
    std::optional<SaveConfiguration> chosen;
    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Configure Save");
        auto* selection = Child<QCheckBox>(dialog, "CheckBox_Selection");
        auto* names = Child<QCheckBox>(dialog, "CheckBox_VarNames");
        auto* descriptions = Child<QCheckBox>(dialog, "CheckBox_Desc");
        EXPECT_TRUE(selection->isEnabled() && selection->isChecked());
        EXPECT_FALSE(names->isEnabled() || names->isChecked()) << "not offered: off and out of reach";
        EXPECT_TRUE(descriptions->isEnabled() && descriptions->isChecked());
        EXPECT_TRUE(Child<QPushButton>(dialog, "Button_Help")->isEnabled());
        descriptions->click();
        Click(dialog, "Button_OK");
    });
    chosen = TConfigSave_Form::Ask(nullptr, true, false, true);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_TRUE(chosen->selection);
    EXPECT_FALSE(chosen->names);
    EXPECT_FALSE(chosen->descriptions);

    WhenModal([](QWidget* dialog) { Click(dialog, "Button_Cancel"); });
    EXPECT_FALSE(TConfigSave_Form::Ask(nullptr, true, true, true).has_value());
}

TEST_F(DataDialogsTest, MissingValuesOkStoresTheRulesAndDropsARuleWhoseValueIsNoNumber) {
    std::string status;
    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Missing Values");
        auto* edit1 = Child<QLineEdit>(dialog, "Edit_Missing1");
        auto* edit2 = Child<QLineEdit>(dialog, "Edit_Missing2");
        EXPECT_FALSE(edit1->isVisible()) << "no relation, no value";
        Radio(dialog, "RadioGroup_Relation1", kMissEqual)->click();
        EXPECT_TRUE(edit1->isVisible());
        EXPECT_EQ(Child<QLabel>(dialog, "Label_Relation1")->text(), "=");
        QTest::keyClicks(edit1, "0");
        Radio(dialog, "RadioGroup_Relation2", kMissGreater)->click();
        EXPECT_EQ(Child<QLabel>(dialog, "Label_Relation2")->text(), ">");
        QTest::keyClicks(edit2, "1x00");
        EXPECT_EQ(edit2->text(), "100") << "the signed-real filter drops the letter";
        Click(dialog, "Button_OK");
    });
    ASSERT_TRUE(ShowMissingDialog(nullptr, &status));
    EXPECT_EQ(status, "Missing: X = 0, or X > 100");
    EXPECT_TRUE(MissingRec.MissingOn);
    EXPECT_FALSE(IsValidValue(0));
    EXPECT_TRUE(IsValidValue(50));
    EXPECT_FALSE(IsValidValue(100.5));

    // A lone minus is no number: that rule goes, the other stays.
    TMissingForm form;
    EXPECT_TRUE(Radio(&form, "RadioGroup_Relation1", kMissEqual)->isChecked()) << "shows the rules in force";
    EXPECT_EQ(Child<QLineEdit>(&form, "Edit_Missing2")->text(), "100");
    auto* edit1 = Child<QLineEdit>(&form, "Edit_Missing1");
    edit1->clear();
    QTest::keyClicks(edit1, "-");
    form.accept();
    ASSERT_FALSE(recorder.Messages.empty());
    EXPECT_EQ(recorder.Messages.back().text,
              "Missing When value 1 is not a number!\r\nThat rule is switched off.");
    EXPECT_EQ(form.StatusText(), "Missing: X > 100");
    EXPECT_EQ(MissingRec.Relation1, kMissNone);
    EXPECT_TRUE(IsValidValue(0));
    EXPECT_FALSE(IsValidValue(101));

    // Both relations none: Missing When is off.
    TMissingForm off;
    Radio(&off, "RadioGroup_Relation2", kMissNone)->click();
    EXPECT_FALSE(Child<QLineEdit>(&off, "Edit_Missing2")->isVisibleTo(&off));
    off.accept();
    EXPECT_EQ(off.StatusText(), "Missing Off");
    EXPECT_FALSE(MissingRec.MissingOn);
}

TEST_F(DataDialogsTest, MissingValuesCancelLeavesTheRulesAsTheyWere) {
    ApplyMissingRules(kMissLessEqual, "-5", kMissNone, "");
    const TMissingRec before = MissingRec;
    WhenModal([](QWidget* dialog) {
        Radio(dialog, "RadioGroup_Relation1", kMissGreater)->click();
        Child<QLineEdit>(dialog, "Edit_Missing1")->setText("7");
        Radio(dialog, "RadioGroup_Relation2", kMissEqual)->click();
        Click(dialog, "Button_Cancel");
    });
    EXPECT_FALSE(ShowMissingDialog(nullptr));
    EXPECT_EQ(MissingRec.Relation1, before.Relation1);
    EXPECT_EQ(MissingRec.Relation2, before.Relation2);
    EXPECT_EQ(MissingRec.Value1, before.Value1);
    EXPECT_EQ(MissingRec.ValueText1, before.ValueText1);
    EXPECT_EQ(MissingRec.MissingOn, before.MissingOn);
    EXPECT_EQ(MissingText1, "X <= -5");
}

TEST_F(DataDialogsTest, ProcessIfButtonsTakeAndReleaseTheFirstSelectedVariable) {
    MakeNamedTable({"Machine", "Weight", "Shift"}, {{"1", "4", "1"}});
    TProcessIFForm form;
    auto* list = Child<QListWidget>(&form, "DataVarList");
    ASSERT_EQ(list->count(), 3);
    auto* button = Child<QPushButton>(&form, "Button2");
    auto* name = Child<QLineEdit>(&form, "Edit_Pi2");
    EXPECT_TRUE(name->isReadOnly());

    button->click();
    EXPECT_EQ(recorder.Beeps, 1) << "nothing selected";
    EXPECT_EQ(button->text(), ">");
    EXPECT_EQ(name->text(), "");

    list->item(2)->setSelected(true);
    list->item(1)->setSelected(true);
    button->click();
    EXPECT_EQ(name->text(), "Weight") << "the first selected in list order";
    EXPECT_EQ(button->text(), "<");
    button->click();
    EXPECT_EQ(name->text(), "");
    EXPECT_EQ(button->text(), ">");
    EXPECT_EQ(recorder.Beeps, 1);
}

TEST_F(DataDialogsTest, ProcessIfValueEditsFilterKeysByRelation) {
    MakeNamedTable({"Machine"}, {{"1"}});
    TProcessIFForm form;
    form.show();
    auto* combo = Child<QComboBox>(&form, "ComboBox1");
    auto* value = Child<QLineEdit>(&form, "Edit_PIvalue1");
    const QStringList relations = {"All", "=", ">", ">=", "<", "<=", "<>", "in", "Not in"};
    ASSERT_EQ(combo->count(), relations.size());
    for (int i = 0; i < relations.size(); ++i)
        EXPECT_EQ(combo->itemText(i), relations[i]);
    EXPECT_FALSE(value->isVisible()) << "\"All\" needs no value";

    combo->setCurrentIndex(kRelIn);
    EXPECT_TRUE(value->isVisible());
    QTest::keyClicks(value, "1, 3.5x-e,");
    EXPECT_EQ(value->text(), "1, 3.5,");
    EXPECT_EQ(recorder.Beeps, 3) << "x, - and e";
    QTest::keyClick(value, Qt::Key_Backspace);
    EXPECT_EQ(value->text(), "1, 3.5");

    combo->setCurrentIndex(kRelGreater);
    value->clear();
    QTest::keyClicks(value, "-2.5 ");
    EXPECT_EQ(value->text(), "-2.5") << "the signed-real filter again";
    EXPECT_EQ(recorder.Beeps, 4);
}

TEST_F(DataDialogsTest, ProcessIfOkAppliesTheConditionsAndResetSwitchesThemOff) {
    MakeNamedTable({"Machine", "Weight"}, {{"1", "4"}, {"2", "9"}, {"3", "2"}, {"2", "3"}});
    const std::int32_t changes = DataChangeCount;
    std::string status;
    WhenModal([](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Process If...");
        auto* list = Child<QListWidget>(dialog, "DataVarList");
        list->item(0)->setSelected(true);
        Click(dialog, "Button1");
        Child<QComboBox>(dialog, "ComboBox1")->setCurrentIndex(kRelIn);
        QTest::keyClicks(Child<QLineEdit>(dialog, "Edit_PIvalue1"), "1,3");
        list->clearSelection();
        list->item(1)->setSelected(true);
        Click(dialog, "Button2");
        Child<QComboBox>(dialog, "ComboBox2")->setCurrentIndex(kRelGreater);
        QTest::keyClicks(Child<QLineEdit>(dialog, "Edit_PIvalue2"), "5");
        Radio(dialog, "RadioGroup_AndOr", 1)->click();
        Click(dialog, "Button_OK");
    });
    ASSERT_TRUE(ShowProcessIfDialog(nullptr, &status));
    EXPECT_EQ(status, "Process If: Machine in [1,3], Weight > 5");
    EXPECT_EQ(DataChangeCount, changes + 1) << "a new selection of rows is a change of the data";
    ASSERT_TRUE(ProcessIfOn);
    EXPECT_TRUE(ProcessIfRec.OrJoin);
    const bool expected[] = {true, true, true, false}; // Machine 1 or 3, or Weight above 5
    for (int r = 1; r <= 4; ++r)
        EXPECT_EQ(IsRowSelected(r), expected[r - 1]) << "row " << r;

    // Opened again it shows the conditions in force, the list as it was stored.
    TProcessIFForm again;
    EXPECT_EQ(Child<QLineEdit>(&again, "Edit_Pi1")->text(), "Machine");
    EXPECT_EQ(Child<QPushButton>(&again, "Button1")->text(), "<");
    EXPECT_EQ(Child<QComboBox>(&again, "ComboBox1")->currentIndex(), kRelIn);
    EXPECT_EQ(Child<QLineEdit>(&again, "Edit_PIvalue1")->text(), "[1,3]");
    EXPECT_TRUE(Radio(&again, "RadioGroup_AndOr", 1)->isChecked());

    Click(&again, "Button_Reset");
    for (const QString n : {"1", "2"}) {
        EXPECT_EQ(Child<QLineEdit>(&again, "Edit_Pi" + n)->text(), "");
        EXPECT_EQ(Child<QPushButton>(&again, "Button" + n)->text(), ">");
        EXPECT_EQ(Child<QComboBox>(&again, "ComboBox" + n)->currentIndex(), kRelAll);
        EXPECT_EQ(Child<QLineEdit>(&again, "Edit_PIvalue" + n)->text(), "");
        EXPECT_FALSE(Child<QLineEdit>(&again, "Edit_PIvalue" + n)->isVisibleTo(&again));
    }
    EXPECT_TRUE(Radio(&again, "RadioGroup_AndOr", 0)->isChecked());
    EXPECT_TRUE(ProcessIfOn) << "nothing changes before OK";
    again.accept();
    EXPECT_EQ(again.StatusText(), "Process If Off");
    EXPECT_FALSE(ProcessIfOn);
    EXPECT_EQ(DataChangeCount, changes + 2);
}

TEST_F(DataDialogsTest, TransformChoicesShowLiveAndDecideWhetherOkIsOffered) {
    struct Case {
        int kind;
        const char *a, *b, *c;
        const char* label;
        bool ok;
        bool cShown;
    };
    const Case cases[] = {
        {kTransformNone, "1", "0", "1", "Transform: None", true, false},
        {kTransformLinear, "1", "0", "1", "Transform: X", true, false},
        {kTransformLinear, "2", "-3", "1", "Transform: 2X -3", true, false},
        {kTransformLinear, "2", "5", "", "Transform: 2X + 5", true, false},
        {kTransformPower2, "1", "0", "2", "Transform: (X)^(1/2)", true, true},
        {kTransformPower1, "1", "0", "", "Transform: (X)^", false, true},
        {kTransformChiSquare, "", "1", "0", "Transform: Chi-Square(,1,0)", false, true},
        {kTransformLog, "", "", "", "Transform: LN(X)", true, false},
        {kTransformExponential, "5", "5", "1", "Transform: Exponential(5,5)", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ResetTransform();
        TTransformForm form;
        form.show();
        Radio(&form, "RadioGroup_Transforms", c.kind)->click();
        Child<QLineEdit>(&form, "Edit1")->setText(c.a);
        Child<QLineEdit>(&form, "Edit2")->setText(c.b);
        Child<QLineEdit>(&form, "Edit3")->setText(c.c);
        EXPECT_EQ(TransformRec.Kind, c.kind) << "written straight into the transform in force";
        EXPECT_EQ(Child<QLabel>(&form, "Label_Transform")->text(), c.label);
        EXPECT_EQ(Child<QPushButton>(&form, "Button_OK")->isEnabled(), c.ok);
        EXPECT_EQ(Child<QGroupBox>(&form, "GroupBox_Constants")->isVisible(), c.kind != kTransformNone);
        EXPECT_EQ(Child<QLineEdit>(&form, "Edit3")->isVisible(), c.cShown);
        EXPECT_EQ(Child<QCheckBox>(&form, "CheckBox_NormalFirst")->isEnabled(), c.kind != kTransformNone);
        form.reject();
    }

    // OK takes the constants as typed.
    ResetTransform();
    TTransformForm form;
    Radio(&form, "RadioGroup_Transforms", kTransformPower1)->click();
    Child<QLineEdit>(&form, "Edit1")->setText("2.5");
    Child<QLineEdit>(&form, "Edit2")->setText("-1");
    Child<QLineEdit>(&form, "Edit3")->setText("3");
    Child<QCheckBox>(&form, "CheckBox_NormalFirst")->click();
    Click(&form, "Button_OK");
    EXPECT_EQ(form.Outcome(), TransformDialogResult::Accepted);
    EXPECT_EQ(TransformRec.Kind, kTransformPower1);
    EXPECT_EQ(TransformRec.A, 2.5);
    EXPECT_EQ(TransformRec.B, -1);
    EXPECT_EQ(TransformRec.C, 3);
    EXPECT_EQ(TransformRec.NormalFirst, 1);
}

TEST_F(DataDialogsTest, TransformCancelRestoresEveryField) {
    TransformRec = {kTransformInverse, 2.5, -1, 3, "2.5", "-1", "3", 1, "Error: X <= 0", 1};
    const TTransformRec before = TransformRec;
    WhenModal([](QWidget* dialog) {
        Radio(dialog, "RadioGroup_Transforms", kTransformChiSquare)->click();
        Child<QLineEdit>(dialog, "Edit1")->setText("7");
        Child<QLineEdit>(dialog, "Edit2")->setText("8");
        Child<QLineEdit>(dialog, "Edit3")->setText("9");
        Child<QCheckBox>(dialog, "CheckBox_NormalFirst")->click();
        ASSERT_EQ(TransformRec.B, 8) << "the B text is read at once";
        Click(dialog, "Button_Cancel2");
    });
    EXPECT_EQ(ShowTransformDialog(nullptr), TransformDialogResult::Cancelled);
    const TTransformRec& after = TransformRec;
    EXPECT_EQ(after.Kind, before.Kind);
    EXPECT_EQ(after.A, before.A);
    EXPECT_EQ(after.B, before.B);
    EXPECT_EQ(after.C, before.C);
    EXPECT_EQ(after.AText, before.AText);
    EXPECT_EQ(after.BText, before.BText);
    EXPECT_EQ(after.CText, before.CText);
    EXPECT_EQ(after.ErrorFlag, before.ErrorFlag);
    EXPECT_EQ(after.ErrorText, before.ErrorText);
    EXPECT_EQ(after.NormalFirst, before.NormalFirst);
}

TEST_F(DataDialogsTest, TransformAddWritesNewColumnsAndModifyRewritesInPlace) {
    MakeNamedTable({"Weight", "Length", "Machine"},
                   {{"1", "10", "1"}, {"2", "", "2"}, {"", "30", "1"}, {"4", "40", "2"}});
    TTransformForm form;
    auto* add = Child<QPushButton>(&form, "Button_Add");
    auto* list = Child<QListWidget>(&form, "CheckListBox_Variables");
    ASSERT_EQ(list->count(), 3);
    list->item(0)->setCheckState(Qt::Checked);
    list->item(1)->setCheckState(Qt::Checked);
    EXPECT_FALSE(add->isEnabled()) << "no transform chosen";
    Radio(&form, "RadioGroup_Transforms", kTransformLinear)->click();
    Child<QLineEdit>(&form, "Edit1")->setText("2");
    Child<QLineEdit>(&form, "Edit2")->setText("1");
    EXPECT_TRUE(Child<QCheckBox>(&form, "CheckBox_TurnOff")->isChecked());
    EXPECT_EQ(add->text(), "&Add");
    add->click();
    EXPECT_EQ(form.Outcome(), TransformDialogResult::VariablesWritten);
    EXPECT_EQ(ColumnNames(),
              (std::vector<std::string>{"Weight", "Length", "Machine", "f(Weight)", "f(Length)"}));
    EXPECT_EQ(TableCells(), (Grid{{"1", "10", "1", "3", "21"},
                                  {"2", "", "2", "5", ""},
                                  {"", "30", "1", "", "61"},
                                  {"4", "40", "2", "9", "81"}}));
    EXPECT_EQ(TransformRec.Kind, kTransformNone) << "turned off when done";
    EXPECT_TRUE(DataTable().Modified);

    // Modify in place with the rows of machine 2 left out; the transform stays on.
    ApplyProcessIf({3, "Machine", kRelEqual, "1"}, {}, false);
    TTransformForm modify;
    Child<QListWidget>(&modify, "CheckListBox_Variables")->item(1)->setCheckState(Qt::Checked);
    Radio(&modify, "RadioGroup_Transforms", kTransformLinear)->click();
    Child<QLineEdit>(&modify, "Edit1")->setText("1");
    Child<QLineEdit>(&modify, "Edit2")->setText("-10");
    Radio(&modify, "RadioGroup_AddModify", 1)->click();
    Child<QCheckBox>(&modify, "CheckBox_TurnOff")->click();
    auto* button = Child<QPushButton>(&modify, "Button_Add");
    EXPECT_EQ(button->text(), "&Modify");
    button->click();
    EXPECT_EQ(modify.Outcome(), TransformDialogResult::VariablesWritten);
    EXPECT_EQ(DataTable().ColumnCount(), 5);
    EXPECT_EQ(TableCells(), (Grid{{"1", "0", "1", "3", "21"},
                                  {"2", "", "2", "5", ""},
                                  {"", "20", "1", "", "61"},
                                  {"4", "40", "2", "9", "81"}}));
    EXPECT_EQ(TransformRec.Kind, kTransformLinear);
}

namespace {

TEST_F(DataDialogsTest, TransformOkRefusesAConstantThatIsNoNumber) {
    // "-" and "1e" pass the key filter but are no numbers: taken as 0 they would give a column of
    // zeros. OK names the box and the dialog stays open on it.
    ResetTransform();
    TTransformForm form;
    form.show();
    Radio(&form, "RadioGroup_Transforms", kTransformLinear)->click();
    auto* a = Child<QLineEdit>(&form, "Edit1");
    for (const char* text : {"-", "1e", ""}) {
        SCOPED_TRACE(text);
        a->setText(text);
        ASSERT_TRUE(Child<QPushButton>(&form, "Button_OK")->isEnabled());
        recorder.Messages.clear();
        Click(&form, "Button_OK");
        ASSERT_EQ(recorder.Messages.size(), 1u);
        EXPECT_EQ(recorder.Messages[0].text, "A is not a number!");
        EXPECT_EQ(recorder.Messages[0].kind, "error");
        EXPECT_TRUE(form.isVisible()) << "the dialog stays open";
        EXPECT_NE(form.Outcome(), TransformDialogResult::Accepted);
        EXPECT_EQ(TransformRec.A, 1) << "the constant in force is kept";
    }
    // Add writes nothing either, and shows the box on the first page.
    Child<QListWidget>(&form, "CheckListBox_Variables")->item(0)->setCheckState(Qt::Checked);
    Child<QTabWidget>(&form, "PageControl1")->setCurrentIndex(1);
    recorder.Messages.clear();
    Click(&form, "Button_Add");
    ASSERT_EQ(recorder.Messages.size(), 1u);
    EXPECT_EQ(recorder.Messages[0].text, "A is not a number!");
    EXPECT_EQ(Child<QTabWidget>(&form, "PageControl1")->currentIndex(), 0);
    EXPECT_EQ(DataTable().ColumnCount(), 1);
    EXPECT_TRUE(form.isVisible());

    Child<QLineEdit>(&form, "Edit2")->setText("-");
    a->setText("2");
    recorder.Messages.clear();
    Click(&form, "Button_OK");
    ASSERT_EQ(recorder.Messages.size(), 1u);
    EXPECT_EQ(recorder.Messages[0].text, "B is not a number!");
    Child<QLineEdit>(&form, "Edit2")->setText("-0.5");
    Click(&form, "Button_OK");
    EXPECT_EQ(form.Outcome(), TransformDialogResult::Accepted);
    EXPECT_EQ(TransformRec.A, 2);
    EXPECT_EQ(TransformRec.B, -0.5);
    EXPECT_EQ(recorder.Messages.size(), 1u);
}

TEST_F(DataDialogsTest, ProcessIfOkRefusesARelationWithoutANumber) {
    MakeNamedTable({"Day", "Diam"}, {{"1", "25.1"}, {"2", "24.9"}, {"3", "25.0"}});
    TProcessIFForm form;
    form.show();
    Child<QListWidget>(&form, "DataVarList")->item(0)->setSelected(true);
    Click(&form, "Button1");
    auto* relation = Child<QComboBox>(&form, "ComboBox1");
    auto* value = Child<QLineEdit>(&form, "Edit_PIvalue1");
    struct Case {
        int relation;
        const char* value;
        const char* message;
    };
    const Case cases[] = {
        {kRelGreater, "", "Value 1 is not a number!"},
        {kRelGreater, "-", "Value 1 is not a number!"},
        {kRelEqual, "1e", "Value 1 is not a number!"},
        {kRelIn, " ", "Value 1 holds no list of numbers!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        relation->setCurrentIndex(c.relation);
        value->setText(c.value);
        recorder.Messages.clear();
        Click(&form, "Button_OK");
        ASSERT_EQ(recorder.Messages.size(), 1u);
        EXPECT_EQ(recorder.Messages[0].text, c.message);
        EXPECT_TRUE(form.isVisible()) << "the dialog stays open";
        EXPECT_FALSE(ProcessIfOn) << "no row is left out by a condition on nothing";
    }
    relation->setCurrentIndex(kRelGreater);
    value->setText("1");
    recorder.Messages.clear();
    Click(&form, "Button_OK");
    EXPECT_TRUE(recorder.Messages.empty());
    EXPECT_EQ(form.StatusText(), "Process If: Day > 1");
    EXPECT_FALSE(IsRowSelected(1));
    EXPECT_TRUE(IsRowSelected(2));
}

// Every anchor of the page shown, with where it is in the browser's viewport.
QPoint FirstLinkPosition(QTextBrowser* browser) {
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isAnchor() && it.fragment().length() > 1) {
                QTextCursor at(browser->document());
                at.setPosition(it.fragment().position() + 1);
                return browser->cursorRect(at).center();
            }
    return {-1, -1};
}

TEST_F(DataDialogsTest, HelpOpenedFromAModalDialogCanBeScrolledAndFollowedWhileTheDialogWaits) {
    // The real help viewer. Input is sent as the window system sends it, where a window that a
    // modal dialog blocks gets none.
    SetPlatform(&platform);
    struct Opened {
        QString topic;
        bool scrolled = false;
        QString followed;
        bool dialogAnswers = false;
    };
    auto drive = [](QWidget* dialog, Opened* seen, bool askHelp) {
        if (askHelp) {
            auto* help = dialog->findChild<QPushButton*>("Button_Help");
            if (!help) {
                ADD_FAILURE() << "no Help button";
                dialog->close();
                return;
            }
            help->click();
        }
        THelpViewer& viewer = THelpViewer::Instance();
        if (!QTest::qWaitForWindowExposed(&viewer)) {
            ADD_FAILURE() << "the help viewer did not show";
            dialog->close();
            return;
        }
        QTextBrowser* browser = viewer.Browser();
        seen->topic = browser->source().fileName();
        viewer.resize(420, 260); // a page longer than the window
        QApplication::processEvents();
        browser->setFocus();
        QTest::keyClick(viewer.windowHandle(), Qt::Key_End);
        QScrollBar* bar = browser->verticalScrollBar();
        seen->scrolled = bar->maximum() > 0 && bar->value() == bar->maximum();
        QTest::keyClick(viewer.windowHandle(), Qt::Key_Home);
        const QPoint link = browser->viewport()->mapTo(&viewer, FirstLinkPosition(browser));
        QTest::mouseClick(viewer.windowHandle(), Qt::LeftButton, {}, link);
        seen->followed = browser->source().fileName();
        // The dialog still takes its own keys: Escape closes it.
        QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape);
        seen->dialogAnswers = !dialog->isVisible();
        if (dialog->isVisible()) dialog->close();
    };

    Opened missing;
    WhenModal([&](QWidget* dialog) { drive(dialog, &missing, true); });
    EXPECT_FALSE(ShowMissingDialog(nullptr));
    EXPECT_EQ(missing.topic, "7300.html");
    EXPECT_TRUE(missing.scrolled);
    EXPECT_NE(missing.followed, "7300.html") << "a link of the page was followed";
    EXPECT_FALSE(missing.followed.isEmpty());
    EXPECT_TRUE(missing.dialogAnswers);

    // The viewer, open already, stays usable when the next dialog comes up, before any Help.
    Opened already;
    WhenModal([&](QWidget* dialog) { drive(dialog, &already, false); });
    EXPECT_EQ(ShowTransformDialog(nullptr), TransformDialogResult::Cancelled);
    EXPECT_EQ(already.topic, missing.followed);
    EXPECT_TRUE(already.scrolled);
    EXPECT_NE(already.followed, already.topic);
    EXPECT_TRUE(already.dialogAnswers);

    Opened transform;
    WhenModal([&](QWidget* dialog) { drive(dialog, &transform, true); });
    EXPECT_EQ(ShowTransformDialog(nullptr), TransformDialogResult::Cancelled);
    EXPECT_EQ(transform.topic, "7400.html");
    EXPECT_TRUE(transform.scrolled);
    EXPECT_NE(transform.followed, "7400.html");
    EXPECT_TRUE(transform.dialogAnswers);
    THelpViewer::Quit();
}

} // namespace
