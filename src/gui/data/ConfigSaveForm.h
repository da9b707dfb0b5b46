// SPDX-License-Identifier: GPL-3.0-or-later
// "Configure Save": what "Save As" writes besides the data rows.
#pragma once

#include <QDialog>

#include <optional>

class QCheckBox;

namespace kivspc::gui {

// The choices of the dialog; a box that was not offered counts as off.
struct SaveConfiguration {
    bool selection = false;
    bool names = false;
    bool descriptions = false;
};

class TConfigSave_Form : public QDialog {
    Q_OBJECT
public:
    explicit TConfigSave_Form(QWidget* parent = nullptr);

    // Each true argument enables and checks its box; the others stay disabled and unchecked.
    void Prepare(bool selection, bool names, bool descriptions);
    // The three check states as they are now.
    SaveConfiguration Choices() const;

    // Prepares the dialog, runs it modally and returns the choices; nothing when cancelled.
    static std::optional<SaveConfiguration> Ask(QWidget* parent, bool selection, bool names,
                                                bool descriptions);

private:
    QCheckBox* selection_ = nullptr;
    QCheckBox* names_ = nullptr;
    QCheckBox* descriptions_ = nullptr;
};

} // namespace kivspc::gui
