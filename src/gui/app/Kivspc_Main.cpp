// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Kivspc_Main.h"

#include "data/TableHooks.h"

#include "app/AboutForm.h"
#include "app/CommandIcons.h"
#include "app/Dkivtool.h"
#include "app/FormShell.h"
#include "app/Help.h"
#include "app/MRUFilesUnit.h"
#include "app/QtPlatform.h"
#include "app/SplashForm.h"
#include "capability/CapabilitySetupForm.h"
#include "charts/AttrSetup.h"
#include "charts/ControlLimitForm.h"
#include "charts/ControlTestsForm.h"
#include "charts/VARsetup.h"
#include "data/DataForm.h"
#include "data/DataTable.h"
#include "data/ProcessIFForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace kivspc::gui {

TMainForm_KIVSPC::TMainForm_KIVSPC(QWidget* parent) : QMainWindow(parent) {
    setObjectName("MainForm_KIVSPC");
    setWindowTitle(ToQt(ProgramName));
    setAcceptDrops(true);
    HelpFile = FromQt(QDir(QCoreApplication::applicationDirPath()).filePath("KIVSTATS.HLP"));
    BuildButtons();
    BuildMenus();
    RegisterForm(this);
    setFixedSize(sizeHint());

    // A first start creates both values with the designed position.
    const int top = ReadSettingInteger(SettingsKey, "MainTop", kDesignedTop);
    const int left = ReadSettingInteger(SettingsKey, "MainLeft", kDesignedLeft);
    move(left, top);
}

TMainForm_KIVSPC::~TMainForm_KIVSPC() = default;

QPushButton* TMainForm_KIVSPC::MakeButton(const char* name, const QString& caption, const QString& hint) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setAccessibleName(QString(caption).remove('&'));
    button->setMinimumSize(230, 54);
    QFont font = button->font();
    font.setPointSizeF(font.pointSizeF() * 1.15);
    font.setBold(true);
    button->setFont(font);
    return button;
}

void TMainForm_KIVSPC::BuildButtons() {
    auto* central = new QWidget(this);
    auto* grid = new QGridLayout;
    grid->setSpacing(10);

    QPushButton* dataEditor = MakeButton("Button_DataEditor", "Data &Editor", "View and edit the data table");
    QPushButton* variables =
        MakeButton("Button_Variables", "&Variables Charts", "Control charts of measured values");
    QPushButton* attributes =
        MakeButton("Button_Attributes", "&Attributes Charts", "p, np, c and u control charts");
    QPushButton* calc =
        MakeButton("Button_CLCalc", "&Control Limit Calculations", "Control limits from a statistic");
    QPushButton* capability =
        MakeButton("Button_Capability", "&Capability/Performance", "Capability and performance analysis");
    QPushButton* help = MakeButton("Button_Help", "&Help", "Introduction to the program");
    connect(help, &QPushButton::clicked, this, [] { ShowHelpTopic(kHelpIntroduction); });
    connect(dataEditor, &QPushButton::clicked, this, [this] { ShowDataEditorFrom(this, "Main Form"); });
    connect(calc, &QPushButton::clicked, this, [this] { ShowControlLimitForm(); });
    connect(variables, &QPushButton::clicked, this, [this] { ShowVarSetupForm(); });
    connect(attributes, &QPushButton::clicked, this, [this] { ShowAttrSetupForm(); });
    connect(capability, &QPushButton::clicked, this, [this] { ShowCapabilitySetupForm(); });

    grid->addWidget(dataEditor, 0, 0);
    grid->addWidget(variables, 0, 1);
    grid->addWidget(attributes, 1, 0);
    grid->addWidget(calc, 1, 1);
    grid->addWidget(capability, 2, 0);
    grid->addWidget(help, 2, 1);

    auto* close = new QPushButton("Close", this);
    close->setObjectName("Button_Close");
    close->setAccessibleName("Close");
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(14, 14, 14, 10);
    layout->addLayout(grid);
    layout->addSpacing(4);
    layout->addLayout(bottom);
    setCentralWidget(central);
}

QAction* TMainForm_KIVSPC::MakeAction(QMenu* menu, const char* name, const QString& caption,
                                      const QKeySequence& shortcut) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    return action;
}

void TMainForm_KIVSPC::BuildMenus() {
    fileMenu_ = menuBar()->addMenu("&File");
    fileMenu_->setObjectName("File1");
    connect(MakeAction(fileMenu_, "New1", "&New"), &QAction::triggered, this,
            [this] { NewDataFrom(this, "Main Form"); });
    connect(MakeAction(fileMenu_, "OpenItem", "&Open...", Qt::Key_F3), &QAction::triggered, this,
            [this] { OpenDataFileFrom(this, "Main Form"); });
    fileMenu_->addSeparator();
    connect(MakeAction(fileMenu_, "ProcessIf1", "Process &If", Qt::Key_F8), &QAction::triggered, this,
            [this] {
                ShowProcessIfDialog(this);
                if (DataForm()) DataForm()->UpdateStatusBar();
            });
    fileMenu_->addSeparator();
    connect(MakeAction(fileMenu_, "ExitItem", "E&xit"), &QAction::triggered, this, &QWidget::close);
    AddRecentFileItems(fileMenu_, this, "Main Form");
    connect(fileMenu_, &QMenu::aboutToShow, this, &TMainForm_KIVSPC::File1Click);

    QMenu* view = menuBar()->addMenu("&View");
    view->setObjectName("View1");
    connect(MakeAction(view, "ViewData1", "&Data Editor", Qt::Key_F4), &QAction::triggered, this,
            [this] { ShowDataEditorFrom(this, "Main Form"); });
    connect(MakeAction(view, "VariablesControlCharts1", "&Variables Charts"), &QAction::triggered, this,
            [this] { ShowVarSetupForm(); });
    connect(MakeAction(view, "AttributesControlCharts1", "&Attributes Charts"), &QAction::triggered, this,
            [this] { ShowAttrSetupForm(); });
    connect(MakeAction(view, "ControlLimits1", "&Control Limit Calculations"), &QAction::triggered, this,
            [this] { ShowControlLimitForm(); });
    connect(MakeAction(view, "CapabilityPerformance1", "Ca&pability/Performance"), &QAction::triggered, this,
            [this] { ShowCapabilitySetupForm(); });
    view->addSeparator();
    connect(MakeAction(view, "ViewMainForm1", "View Main Form", Qt::Key_F6), &QAction::triggered, this,
            [this] {
                showNormal();
                raise();
                activateWindow();
            });
    connect(MakeAction(view, "ViewNextVisibleForm1", "View Next Visible Form", Qt::Key_F11),
            &QAction::triggered, this, [] { ViewNextForm(false); });
    connect(MakeAction(view, "ViewForms", "View Next Open Form", Qt::Key_F12), &QAction::triggered, this,
            [] { ViewNextForm(true); });
    view->addSeparator();
    connect(MakeAction(view, "HideAllForms", "&Hide All Forms"), &QAction::triggered, this,
            [] { HideAllForms(); });

    QMenu* forms = menuBar()->addMenu(CommandIcon(Command::OpenForms), QString());
    forms->setObjectName("FormsMenu");
    forms->setToolTip("View Open Forms");
    forms->menuAction()->setToolTip("View Open Forms");
    FillFormsMenu(forms);
    connect(forms, &QMenu::aboutToShow, this, [forms] { FillFormsMenu(forms); });

    QMenu* options = menuBar()->addMenu("&Options");
    options->setObjectName("Options1");
    connect(MakeAction(options, "ControlTestSelection1", "Control &Test Selection"), &QAction::triggered,
            this, [this] { ShowControlTestsDialog(this); });

    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("Help1");
    connect(MakeAction(help, "HelponMainForm1", "&Introduction", Qt::Key_F1), &QAction::triggered, this,
            [] { ShowHelpTopic(kHelpIntroduction); });
    connect(MakeAction(help, "Contents1", "&Contents"), &QAction::triggered, this,
            [] { ShowHelpContents(); });
    connect(MakeAction(help, "MainForm1", "&Main Form"), &QAction::triggered, this,
            [] { ShowHelpTopic(kHelpMainForm); });
    help->addSeparator();
    connect(MakeAction(help, "KivProgramsWEBSite1", "Kiv Programs &WEB Site"), &QAction::triggered, this,
            [] { OpenWebSite(); });
    connect(MakeAction(help, "CheckforKivstatsUpdates1", "Check for Kivspc &Updates"), &QAction::triggered,
            this, [] { CheckForUpdates(); });
    help->addSeparator();
    connect(MakeAction(help, "About1", "&About..."), &QAction::triggered, this,
            &TMainForm_KIVSPC::About1Click);
}

void TMainForm_KIVSPC::File1Click() {
    // The next-window commands need more than two windows.
    const bool several = FormsFrontToBack().size() > 2;
    for (const char* name : {"ViewNextVisibleForm1", "ViewForms"})
        if (auto* item = findChild<QAction*>(name)) item->setEnabled(several);
}

void TMainForm_KIVSPC::About1Click() {
    TForm_KivspcAbout about(this);
    about.exec();
}

void TMainForm_KIVSPC::SetSplash(TSplashForm* splash) { splash_ = splash; }

namespace {

// The launcher's windows are made on first use and kept; showing one restores it when minimised.
template <class Form> Form* ShowKeptForm(Form*& form, QWidget* mainWindow) {
    if (!form) form = new Form(mainWindow);
    if (form->isMinimized()) form->showNormal();
    form->show();
    form->raise();
    form->activateWindow();
    return form;
}

} // namespace

TControl_Limit_Form* TMainForm_KIVSPC::ShowControlLimitForm() {
    return ShowKeptForm(controlLimitForm_, this);
}

TForm_AttrSetup* TMainForm_KIVSPC::ShowAttrSetupForm() { return ShowKeptForm(attrSetupForm_, this); }

TForm_VARsetup* TMainForm_KIVSPC::ShowVarSetupForm() { return ShowKeptForm(varSetupForm_, this); }

TForm_CapabilitySetup* TMainForm_KIVSPC::ShowCapabilitySetupForm() {
    return ShowKeptForm(capabilitySetupForm_, this);
}

bool TMainForm_KIVSPC::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) FormActivate();
    return QMainWindow::event(e);
}

void TMainForm_KIVSPC::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    // Some window systems never activate a window that has no focus to give; the first
    // showing counts as the first activation there.
    if (firstActivation_)
        QTimer::singleShot(0, this, [this] {
            if (firstActivation_ && isVisible()) FormActivate();
        });
}

void TMainForm_KIVSPC::FormActivate() {
    setWindowTitle(ToQt(ProgramName));
    if (firstActivation_) FirstActivation();
}

void TMainForm_KIVSPC::FirstActivation() {
    firstActivation_ = false;
    move(x(), 0);
    if (splash_) {
        splash_->close();
        splash_ = nullptr;
    }
    QString path = commandLinePath_.trimmed();
    if (path.compare("@LAST", Qt::CaseInsensitive) == 0) {
        MRUFiles().Load();
        path = ToQt(MRUFiles().Entries[1]);
    }
    // A missing file is ignored without a message; the loader reports unreadable ones.
    if (!path.isEmpty() && QFileInfo(path).isFile()) OpenDataFile(path);
}

void TMainForm_KIVSPC::OpenDataFile(const QString& path) {
    TDataForm& editor = EnsureDataForm();
    editor.OpenFile(path);
    editor.ShowFrom(this, "Main Form");
    emit DataFileRequested(path);
}

QString TMainForm_KIVSPC::CommandLinePath(const QStringList& arguments) {
    return arguments.mid(1).join(' ').trimmed();
}

void TMainForm_KIVSPC::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TMainForm_KIVSPC::dropEvent(QDropEvent* e) {
    const QList<QUrl> urls = e->mimeData()->urls();
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        e->acceptProposedAction();
        showNormal();
        raise();
        OpenDataFile(url.toLocalFile());
        return;
    }
}

void TMainForm_KIVSPC::closeEvent(QCloseEvent* e) {
    // The same offer as before a new table, through the data editor's one save hook.
    if (!OfferToSaveModifiedTable()) {
        e->ignore();
        return;
    }
    WriteSettingInteger(SettingsKey, "MainTop", y());
    WriteSettingInteger(SettingsKey, "MainLeft", x());
    if (QuitHelpViewer) QuitHelpViewer();
    // The editor is only ever hidden; it goes with the program.
    if (DataForm()) DataForm()->hide();
    e->accept();
}

} // namespace kivspc::gui
