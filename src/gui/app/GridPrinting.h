// SPDX-License-Identifier: GPL-3.0-or-later
// Printing a grid: the print dialog (offering the selection when there is one), printing through
// the printer text device, and the same print as a PDF file.
#pragma once

#include "data/GridModule.h"

#include <QString>

class QPrinter;
class QWidget;

namespace kivspc::gui {

// True when the selection covers more than one cell.
bool HasBlockSelection(const GridSelection& selection);

// The print job's title: the main window's caption (the program's name when there is none).
QString GridPrintJobTitle();

// The print dialog in the remembered orientation, offering "Selection" for a selection of more
// than one cell, then the grid printed with the chosen printer, or into a PDF file when a file
// was chosen. Remembers the chosen orientation. False when cancelled or when printing failed
// (the user has been told).
bool PrintGridDialog(QWidget* parent, const TextGrid& grid, const QString& title, const QString& heading,
                     const GridSelection& selection);

// Prints the grid (the selection, or every data cell when selection is null) on a printer the
// caller has set up. A printer writing to a file writes PDF. False when printing failed.
bool PrintGridOn(QPrinter& printer, const TextGrid& grid, const QString& title, const QString& heading,
                 const GridSelection* selection, PrintOrientation orientation);

// The same print into a PDF file at the path.
bool PrintGridToPdf(const TextGrid& grid, const QString& title, const QString& heading,
                    const GridSelection* selection, PrintOrientation orientation, const QString& path);

} // namespace kivspc::gui
