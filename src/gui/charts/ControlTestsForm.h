// SPDX-License-Identifier: GPL-3.0-or-later
// "Tests for Statistical Control": which tests are on for ordinary and for moving-range charts,
// the counts that define the patterns, and the defaults kept in the settings store.
#pragma once

#include "charts/ControlTests.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QSpinBox;

namespace kivspc::gui {

class TForm_ControlTests : public QDialog {
    Q_OBJECT
public:
    // Shows the settings in force; they change only through OK, "Save as Default" and "Restore
    // Default".
    explicit TForm_ControlTests(QWidget* parent = nullptr);

    // The settings as the controls show them.
    TControlTestSettings ControlsSettings() const;
    // Puts the settings into the controls.
    void ShowSettings(const TControlTestSettings& settings);

    // The controls become the settings, then the dialog closes.
    void accept() override;
    // The controls become the settings and the defaults of later runs.
    void Button_SaveClick();
    // The stored defaults (or the built-in ones) become the settings and are shown.
    void Button_RestoreClick();

private:
    QSpinBox* AddCount(int place, const QString& name, const QString& accessibleName);
    // Keeps k below m while either is typed.
    void CoupleZoneCounts(QSpinBox* least, QSpinBox* window);

    std::array<QCheckBox*, kControlTestCount> standard_{};
    std::array<QCheckBox*, kControlTestCount> movingRange_{}; // the last is not offered
    std::array<QSpinBox*, kControlTestCountSlots> counts_{};  // null where a count has no control
    // Places without a control keep what the settings held.
    TControlTestSettings shown_;
};

// Runs the dialog modally; true when OK changed the settings.
bool ShowControlTestsDialog(QWidget* parent = nullptr);

} // namespace kivspc::gui
