// SPDX-License-Identifier: GPL-3.0-or-later
// Command icons: the theme's standard icons with our own drawings where the theme has none, on
// the calculator's tool bar and the main window, growing with an enlarged window.
#include "GuiFixture.h"

#include "app/CommandIcons.h"
#include "app/Kivspc_Main.h"
#include "app/Platform.h"
#include "charts/ControlLimitForm.h"

#include <QAction>
#include <QMenu>
#include <QStandardPaths>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <cmath>
#include <memory>
#include <vector>

using kivspc::gui::Command;

namespace {

const std::vector<Command> kCommands = {
    Command::Return,     Command::Save,     Command::Print,     Command::Copy,       Command::Paste,
    Command::Enlarge,    Command::Restore,  Command::Help,      Command::Close,      Command::OpenForms,
    Command::Open,       Command::MainForm, Command::ProcessIf, Command::Transform,  Command::SizeColumns,
    Command::EditTitles, Command::ZoomOut,  Command::ColorMode, Command::FontLarger, Command::FontSmaller};

QImage Rendered(const QIcon& icon, int size) {
    return icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Sets an icon theme, looked up in the system's icon folders, for the life of the guard and puts
// the previous one back.
class ThemeGuard {
public:
    explicit ThemeGuard(const QString& theme)
        : previousName_(QIcon::themeName()), previousPaths_(QIcon::themeSearchPaths()) {
        QIcon::setThemeSearchPaths(previousPaths_ +
                                   QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, "icons",
                                                             QStandardPaths::LocateDirectory));
        QIcon::setThemeName(theme);
    }
    ~ThemeGuard() {
        QIcon::setThemeSearchPaths(previousPaths_);
        QIcon::setThemeName(previousName_);
    }

private:
    QString previousName_;
    QStringList previousPaths_;
};

} // namespace

TEST_F(GuiTest, BundledCommandIconsAreDistinctAndSharpAtEverySize) {
    std::vector<QImage> seen;
    for (Command command : kCommands) {
        const std::string name = kivspc::gui::CommandIconName(command).toStdString();
        const QIcon icon = kivspc::gui::BundledCommandIcon(command);
        ASSERT_FALSE(icon.isNull()) << name;
        for (int size : {16, 24, 43, 64}) {
            // Drawn at the size asked for, not a small picture scaled up.
            const QImage image = Rendered(icon, size);
            ASSERT_EQ(image.size(), QSize(size, size)) << name;
            int opaque = 0;
            int clear = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    const int alpha = qAlpha(image.pixel(x, y));
                    opaque += alpha == 255;
                    clear += alpha == 0;
                }
            EXPECT_GT(opaque, size) << name << " at " << size;
            EXPECT_GT(clear, 0) << name << " at " << size;
        }
        const QImage picture = Rendered(icon, 24);
        for (const QImage& other : seen)
            EXPECT_NE(picture, other) << name << " looks like another command's icon";
        seen.push_back(picture);
    }
}

TEST_F(GuiTest, CommandIconsComeFromTheThemeWhenItHasThem) {
    {
        ThemeGuard none("kivspc-no-such-theme");
        for (Command command : kCommands)
            EXPECT_EQ(Rendered(kivspc::gui::CommandIcon(command), 24),
                      Rendered(kivspc::gui::BundledCommandIcon(command), 24))
                << kivspc::gui::CommandIconName(command).toStdString();
    }
    ThemeGuard desktop("Adwaita");
    if (!QIcon::hasThemeIcon("document-print")) GTEST_SKIP() << "no desktop icon theme installed";
    for (Command command : {Command::Save, Command::Print, Command::Copy, Command::Paste, Command::Return,
                            Command::Close, Command::Enlarge, Command::Restore})
        EXPECT_EQ(kivspc::gui::CommandIcon(command).name(), kivspc::gui::CommandIconName(command));
}

class ToolBarIconTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        kivspc::SetPlatform(&recorder);
        form = std::make_unique<kivspc::gui::TControl_Limit_Form>(nullptr);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        bar = form->findChild<QToolBar*>("ToolBar1");
        ASSERT_NE(bar, nullptr);
    }
    void TearDown() override {
        form.reset();
        GuiTest::TearDown();
    }

    QAction* Action(const char* name) {
        auto* action = form->findChild<QAction*>(name);
        if (!action) ADD_FAILURE() << "no " << name;
        return action;
    }

    kivspc::RecordingPlatform recorder;
    std::unique_ptr<kivspc::gui::TControl_Limit_Form> form;
    QToolBar* bar = nullptr;
};

TEST_F(ToolBarIconTest, EachToolButtonShowsTheIconOfItsCommand) {
    const std::pair<const char*, Command> buttons[] = {
        {"ToolButton_Return", Command::Return}, {"ToolButton_Save", Command::Save},
        {"ToolButton_Print", Command::Print},   {"ToolButton_Copy", Command::Copy},
        {"ToolButton_Paste", Command::Paste},   {"ToolButton_Resize", Command::Enlarge},
        {"ToolButton_Help", Command::Help},     {"ToolButton_Close", Command::Close}};
    const int size = bar->iconSize().width();
    for (const auto& [name, command] : buttons) {
        QAction* action = Action(name);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(Rendered(action->icon(), size), Rendered(kivspc::gui::CommandIcon(command), size)) << name;
    }
}

TEST_F(ToolBarIconTest, EnlargingTheWindowEnlargesTheIconsAndShowsTheRestoreIcon) {
    const QSize designed = bar->iconSize();
    QAction* resize = Action("ToolButton_Resize");
    ASSERT_NE(resize, nullptr);
    auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(resize));
    ASSERT_NE(button, nullptr);

    form->FormResizeClick();
    const double s = form->TextScale();
    if (s == 1) GTEST_SKIP() << "the screen leaves no room to enlarge the window";
    const QSize enlarged = bar->iconSize();
    EXPECT_EQ(enlarged.width(), std::lround(designed.width() * s));
    EXPECT_EQ(button->iconSize(), enlarged) << "the buttons follow their bar";
    EXPECT_EQ(resize->toolTip(), "Minimize Form Size");
    EXPECT_EQ(Rendered(resize->icon(), enlarged.width()),
              Rendered(kivspc::gui::CommandIcon(Command::Restore), enlarged.width()));
    // The icon fills its place (a theme may stop at a size a little short of it).
    for (QAction* action : bar->actions())
        EXPECT_GE(action->icon().actualSize(enlarged).width(), enlarged.width() * 3 / 4)
            << action->objectName().toStdString();

    form->FormResizeClick();
    EXPECT_EQ(form->TextScale(), 1);
    EXPECT_EQ(bar->iconSize(), designed);
    EXPECT_EQ(resize->toolTip(), "Maximize Form Size");
    EXPECT_EQ(Rendered(resize->icon(), designed.width()),
              Rendered(kivspc::gui::CommandIcon(Command::Enlarge), designed.width()));
    EXPECT_TRUE(recorder.Messages.empty());
}

TEST_F(GuiTest, MainWindowFormsMenuUsesTheCommandIcon) {
    kivspc::gui::TMainForm_KIVSPC main;
    auto* forms = main.findChild<QMenu*>("FormsMenu");
    ASSERT_NE(forms, nullptr);
    EXPECT_EQ(Rendered(forms->menuAction()->icon(), 24),
              Rendered(kivspc::gui::CommandIcon(Command::OpenForms), 24));
}
