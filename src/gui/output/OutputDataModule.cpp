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
#include <QRegularExpression>

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

bool KnownSaveExtension(const QString& extension) {
    return extension == "rtf" || extension == "txt" || extension == "pdf";
}

// "rtf" for "Rich Text Format (*.rtf)"; a filter that is none of ours counts as the first one.
QString FilterExtension(const QString& nameFilter) {
    static const QRegularExpression pattern("\\*\\.(\\w+)");
    const QString extension = pattern.match(nameFilter).captured(1).toLower();
    return KnownSaveExtension(extension) ? extension : "rtf";
}

// A document without a visible character is not worth a file: the user hears why.
bool NothingToSave(const TOutputDocument& document) {
    if (!QString::fromStdString(OutputPlainText(document)).trimmed().isEmpty()) return false;
    ShowInformation("There is nothing to save.");
    return true;
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

QStringList OutputSaveFilters() {
    return {"Rich Text Format (*.rtf)", "Plain Text File (*.txt)", "Portable Document Format (*.pdf)"};
}

QString OutputSavePath(const QString& chosenPath, const QString& nameFilter) {
    const QString extension = QFileInfo(chosenPath).suffix().toLower();
    if (KnownSaveExtension(extension)) return chosenPath;
    QString path = chosenPath;
    while (path.endsWith('.'))
        path.chop(1);
    return path + '.' + FilterExtension(nameFilter);
}

bool SaveChosenOutputDocument(const TOutputDocument& document, const QString& chosenPath,
                              const QString& nameFilter, const QString& title) {
    if (NothingToSave(document)) return false;
    const QString path = OutputSavePath(chosenPath, nameFilter);
    // The dialog asked about the name as it was chosen, not about the one with the added extension.
    if (path != chosenPath && QFileInfo::exists(path) &&
        !AskYesNo(FromQt(QFileInfo(path).fileName() + " already exists.\nDo you want to replace it?")))
        return false;
    BusyCursor busy;
    if (!SaveOutputDocumentAs(document, path, title)) {
        ShowError("Error Writing File");
        return false;
    }
    return true;
}

bool SaveOutputDocumentDialog(QWidget* parent, TOutputRichEdit* box, const QString& title) {
    const TOutputDocument& document = box->SyncedDocument();
    if (NothingToSave(document)) return false;
    QFileDialog dialog(parent, "Save As");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QStringList filters = OutputSaveFilters();
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.first());
    // No default suffix: the filter chosen last adds the extension afterwards, which also holds
    // for desktop dialogs that do not report a change of filter.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    const QString folder = ToQt(MRUFiles().LastFolder());
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    return SaveChosenOutputDocument(document, dialog.selectedFiles().first(), dialog.selectedNameFilter(),
                                    title);
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
