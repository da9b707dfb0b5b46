// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/GridPrinting.h"

#include "app/Kivspc_Main.h"
#include "app/Messages.h"
#include "app/QtPlatform.h"
#include "app/SharedState.h"
#include "output/QtTextDevice.h"

#include <QApplication>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace kivspc::gui {

namespace {

QPageLayout::Orientation QtOrientation(PrintOrientation orientation) {
    return orientation == PrintOrientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

PrintOrientation OrientationOf(const QPrinter& printer) {
    return printer.pageLayout().orientation() == QPageLayout::Landscape ? PrintOrientation::Landscape
                                                                        : PrintOrientation::Portrait;
}

// A printer told to print into a file writes PDF, whatever print system the dialog went through.
// Changing the format makes a new print engine, so the layout and names are carried over.
void WriteFilesAsPdf(QPrinter& printer) {
    const QString file = printer.outputFileName();
    if (file.isEmpty() || printer.outputFormat() == QPrinter::PdfFormat) return;
    const QPageLayout layout = printer.pageLayout();
    const QString docName = printer.docName();
    const int copies = printer.copyCount();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageLayout(layout);
    printer.setDocName(docName);
    printer.setCopyCount(copies);
}

} // namespace

bool HasBlockSelection(const GridSelection& selection) {
    return selection.Left != selection.Right || selection.Top != selection.Bottom;
}

QString GridPrintJobTitle() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* main = qobject_cast<TMainForm_KIVSPC*>(widget); main && !main->windowTitle().isEmpty())
            return main->windowTitle();
    return QString::fromStdString(ProgramName);
}

bool PrintGridOn(QPrinter& printer, const TextGrid& grid, const QString& title, const QString& heading,
                 const GridSelection* selection, PrintOrientation orientation) {
    WriteFilesAsPdf(printer);
    printer.setPageOrientation(QtOrientation(orientation));
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    QtTextDevice device(painter, printer);
    PrintGrid(grid, title.toStdString(), heading.toStdString(), selection, orientation, device);
    return painter.end();
}

bool PrintGridToPdf(const TextGrid& grid, const QString& title, const QString& heading,
                    const GridSelection* selection, PrintOrientation orientation, const QString& path) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setDocName(GridPrintJobTitle());
    return PrintGridOn(printer, grid, title, heading, selection, orientation) && QFileInfo(path).size() > 0;
}

bool PrintGridDialog(QWidget* parent, const TextGrid& grid, const QString& title, const QString& heading,
                     const GridSelection& selection) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(GridPrintJobTitle());
    printer.setPageOrientation(QtOrientation(GridPrintOrientation));
    QPrintDialog dialog(&printer, parent);
    const bool block = HasBlockSelection(selection);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, block);
    if (dialog.exec() != QDialog::Accepted) return false;

    GridPrintOrientation = OrientationOf(printer);
    const bool selectionOnly = block && printer.printRange() == QPrinter::Selection;
    BusyCursor busy;
    if (!PrintGridOn(printer, grid, title, heading, selectionOnly ? &selection : nullptr,
                     GridPrintOrientation)) {
        ShowError("Printing failed.");
        return false;
    }
    return true;
}

} // namespace kivspc::gui
