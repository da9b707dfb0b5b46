// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: a small launcher of six large buttons and a menu.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class QPushButton;

namespace kivspc::gui {

class TSplashForm;
class TControl_Limit_Form;
class TForm_AttrSetup;
class TForm_CapabilitySetup;
class TForm_VARsetup;

class TMainForm_KIVSPC : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kDesignedTop = 2;
    static constexpr int kDesignedLeft = 3;

    explicit TMainForm_KIVSPC(QWidget* parent = nullptr);
    ~TMainForm_KIVSPC() override;

    // The path named on the command line, handled at the first activation.
    void SetCommandLinePath(const QString& path) { commandLinePath_ = path; }
    // The splash window to release at the first activation.
    void SetSplash(TSplashForm* splash);
    bool FirstActivationDone() const { return !firstActivation_; }

    // Telling the help viewer to quit when the program ends.
    std::function<void()> QuitHelpViewer;

    // Shows the control limit calculator, creating it on first use.
    TControl_Limit_Form* ShowControlLimitForm();
    // Shows the variables chart setup, creating it on first use.
    TForm_VARsetup* ShowVarSetupForm();
    TForm_AttrSetup* ShowAttrSetupForm();
    TForm_CapabilitySetup* ShowCapabilitySetupForm();

    // All arguments after the program name, joined by single blanks and trimmed.
    static QString CommandLinePath(const QStringList& arguments);

signals:
    // An existing data file should be loaded into the data editor and shown.
    void DataFileRequested(const QString& path);

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void BuildButtons();
    void BuildMenus();
    void FormActivate();
    void FirstActivation();
    void OpenDataFile(const QString& path);
    void File1Click();
    void About1Click();

    QPushButton* MakeButton(const char* name, const QString& caption, const QString& hint);
    QAction* MakeAction(QMenu* menu, const char* name, const QString& caption,
                        const QKeySequence& shortcut = {});

    bool firstActivation_ = true;
    QString commandLinePath_;
    QPointer<TSplashForm> splash_;
    QMenu* fileMenu_ = nullptr;
    TControl_Limit_Form* controlLimitForm_ = nullptr;
    TForm_VARsetup* varSetupForm_ = nullptr;
    TForm_AttrSetup* attrSetupForm_ = nullptr;
    TForm_CapabilitySetup* capabilitySetupForm_ = nullptr;
};

} // namespace kivspc::gui
