// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/OutputDataModule.h"

#include "app/KeyFilterInstaller.h"
#include "app/Messages.h"
#include "app/MRUFilesUnit.h"
#include "app/QtPlatform.h"
#include "output/OutputFiles.h"
#include "output/OutputRichEdit.h"
#include "output/QtTextDevice.h"
#include "output/ReditU.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>

namespace kivspc::gui {

namespace {

void RunOnLineEdit(const QString& name, QLineEdit* edit) {
    if (name == "Undo1") edit->undo();
    else if (name == "Cut1") edit->cut();
    else if (name == "Copy1") edit->copy();
    else if (name == "Paste1") edit->paste();
    else if (name == "Delete1") edit->del();
    else if (name == "Select1") edit->selectAll();
}

void RunOnBox(const QString& name, TOutputRichEdit* box) {
    if (name == "Undo1") box->undo();
    else if (name == "Cut1") box->cut();
    else if (name == "Copy1") box->copy();
    else if (name == "Paste1") box->paste();
    else if (name == "Delete1") box->textCursor().removeSelectedText();
    else if (name == "Select1") box->selectAll();
}

void ConfigurePrinter(QPrinter& printer, const QString& title, PrintOrientation orientation) {
    printer.setDocName(title);
    printer.setPageOrientation(orientation == PrintOrientation::Landscape ? QPageLayout::Landscape
                                                                          : QPageLayout::Portrait);
}

bool PrintOn(QPrinter& printer, const TOutputDocument& document, const QString& title,
             PrintOrientation orientation) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    QtTextDevice device(painter, printer);
    PrintOutputDocument(document, title.toStdString(), orientation, device);
    return painter.end();
}

} // namespace

void DoEditCommand(const QString& itemName, QWidget* focused) {
    if (QLineEdit* edit = TextFieldOf(focused)) {
        RunOnLineEdit(itemName, edit);
        return;
    }
    auto* box = qobject_cast<TOutputRichEdit*>(focused);
    // A rich-text command goes to the current output document's box when focus is elsewhere.
    if (!box) {
        if (TOutputDocument* current = CurrentOutputDocument())
            for (QWidget* w : QApplication::allWidgets())
                if (auto* candidate = qobject_cast<TOutputRichEdit*>(w); candidate && &candidate->Document() == current)
                    box = candidate;
    }
    if (box) RunOnBox(itemName, box);
}

QMenu* OutputPopupMenu(TOutputRichEdit* box) {
    static QPointer<QMenu> menu;
    if (!menu) {
        menu = new QMenu;
        menu->setObjectName("PopupMenu1");
        const std::pair<const char*, const char*> items[] = {{"Undo1", "&Undo"},   {"Cut1", "Cu&t"},
                                                             {"Copy1", "&Copy"},   {"Paste1", "&Paste"},
                                                             {"Delete1", "&Delete"}, {"Select1", "Select &All"}};
        for (const auto& [name, caption] : items) {
            QAction* action = menu->addAction(caption);
            action->setObjectName(name);
        }
    }
    const bool selection = box->textCursor().hasSelection();
    for (QAction* action : menu->actions()) {
        const QString name = action->objectName();
        action->disconnect();
        QObject::connect(action, &QAction::triggered, box, [name, box] { DoEditCommand(name, box); });
        if (name == "Undo1") action->setEnabled(box->document()->isUndoAvailable());
        else if (name == "Paste1") action->setEnabled(!QApplication::clipboard()->text().isEmpty());
        else if (name == "Delete1" || name == "Copy1" || name == "Cut1") action->setEnabled(selection);
    }
    return menu;
}

bool SaveOutputDocumentAs(const TOutputDocument& document, const QString& path, const QString& title) {
    if (path.endsWith(".pdf", Qt::CaseInsensitive))
        return PrintOutputDocumentToPdf(document, title, path, RememberedPrintOrientation);
    return SaveOutputDocument(document, path.toStdString());
}

bool SaveOutputDocumentDialog(QWidget* parent, TOutputRichEdit* box, const QString& title) {
    QFileDialog dialog(parent, "Save As");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({"Rich Text Format (*.rtf)", "Plain Text File (*.txt)",
                           "Portable Document Format (*.pdf)"});
    // The first filter is shown; a name typed without an extension still becomes a text file.
    dialog.selectNameFilter("Rich Text Format (*.rtf)");
    dialog.setDefaultSuffix("txt");
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    const QString folder = ToQt(MRUFiles().LastFolder());
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    // The suffix follows the chosen filter unless the user typed one.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(filter.contains("*.rtf") ? "rtf" : filter.contains("*.pdf") ? "pdf" : "txt");
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    const QString path = dialog.selectedFiles().first();
    if (!SaveOutputDocumentAs(box->SyncedDocument(), path, title)) {
        ShowError("Error Writing File");
        return false;
    }
    return true;
}

bool PrintOutputDocumentToPdf(const TOutputDocument& document, const QString& title, const QString& path,
                              PrintOrientation orientation) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    ConfigurePrinter(printer, title, orientation);
    return PrintOn(printer, document, title, orientation) && QFileInfo(path).size() > 0;
}

bool PrintOutputDocumentDialog(QWidget* parent, TOutputRichEdit* box, const QString& title) {
    QPrinter printer(QPrinter::HighResolution);
    ConfigurePrinter(printer, title, RememberedPrintOrientation);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    RememberedPrintOrientation = printer.pageLayout().orientation() == QPageLayout::Landscape
                                     ? PrintOrientation::Landscape
                                     : PrintOrientation::Portrait;
    BusyCursor busy;
    if (!PrintOn(printer, box->SyncedDocument(), title, RememberedPrintOrientation)) {
        ShowError("Printing failed.");
        return false;
    }
    return true;
}

} // namespace kivspc::gui
