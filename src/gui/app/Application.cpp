// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Application.h"

#include "CoreState.h"
#include "app/Dkivtool.h"
#include "app/FormShell.h"
#include "app/Help.h"
#include "app/HelpViewer.h"
#include "app/Kivspc_Main.h"
#include "app/MRUFilesUnit.h"
#include "app/QtPlatform.h"
#include "app/SplashForm.h"
#include "charts/ControlTests.h"
#include "data/DataFile.h"
#include "data/DataForm.h"
#include "data/DataU.h"
#include "output/OutputDataModule.h"
#include "stats/Zizize87.h"

#include <QApplication>
#include <QIcon>

// Resources compiled into a static library must be registered by name.
static void InitGuiResources() {
    Q_INIT_RESOURCE(kivspc);
    Q_INIT_RESOURCE(help);
}

namespace kivspc::gui {

namespace {
constexpr int kSplashMilliseconds = 3000;
}

void InitProgramState() {
    InitGuiResources();
    ResetCoreState();
    // Seeds the random generator from the clock, which the core reset leaves alone.
    InitStatistics();
    MRUFiles().Load();
    LoadControlTestSettings();
    LoadWebHelpBase();
    ResetOutputDataModule();
    SetDataFileOpener([](const QString& path, QWidget* window, const QString& returnCaption) {
        TDataForm& editor = EnsureDataForm();
        const bool loaded = editor.OpenFile(path);
        // The editor's own items load in place and keep its return window.
        if (window != &editor) editor.ShowFrom(window, returnCaption);
        return loaded;
    });
}

int RunKivspc(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Kiv Programs");
    QApplication::setApplicationName("Kivspc");

    QtPlatform platform;
    SetPlatform(&platform);
    InitProgramState();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kivspc/logo.svg")));

    int result = 0;
    {
        TMainForm_KIVSPC main;
        main.SetCommandLinePath(TMainForm_KIVSPC::CommandLinePath(QCoreApplication::arguments()));
        auto* splash = new TSplashForm;
        splash->ShowFor(kSplashMilliseconds);
        main.SetSplash(splash);
        main.QuitHelpViewer = [] { THelpViewer::Quit(); };
        main.show();
        QObject::connect(&app, &QApplication::lastWindowClosed, &app, &QApplication::quit);
        result = QApplication::exec();
        ReleaseDataForm();
        THelpViewer::Quit();
    }
    SetPlatform(nullptr);
    return result;
}

} // namespace kivspc::gui
