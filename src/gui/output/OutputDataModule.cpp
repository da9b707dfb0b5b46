// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/OutputDataModule.h"

#include "app/EditCommands.h"
#include "app/KeyFilterInstaller.h"
#include "app/MRUFilesUnit.h"
#include "app/Messages.h"
#include "app/QtPlatform.h"
#include "app/SaveFileTypes.h"
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
#include <QPrintDialog>
#include <QPrinter>

namespace kivspc::gui {

namespace {

void RunOnLineEdit(EditCommand command, QLineEdit* edit) {
    switch (command) {
    case EditCommand::Undo: edit->undo(); break;
    case EditCommand::Cut: edit->cut(); break;
    case EditCommand::Copy: edit->copy(); break;
    case EditCommand::Paste: edit->paste(); break;
    case EditCommand::Delete: edit->del(); break;
    case EditCommand::SelectAll: edit->selectAll(); break;
    }
}

void RunOnBox(EditCommand command, TOutputRichEdit* box) {
    switch (command) {
    case EditCommand::Undo: box->undo(); break;
    case EditCommand::Cut: box->cut(); break;
    case EditCommand::Copy: box->copy(); break;
    case EditCommand::Paste: box->paste(); break;
    case EditCommand::Delete: box->textCursor().removeSelectedText(); break;
    case EditCommand::SelectAll: box->selectAll(); break;
    }
}

// The box that shows the current output document, if one does.
TOutputRichEdit* CurrentOutputBox() {
    const TOutputDocument* current = CurrentOutputDocument();
    if (!current) return nullptr;
    TOutputRichEdit* found = nullptr;
    for (QWidget* widget : QApplication::allWidgets())
        if (auto* box = qobject_cast<TOutputRichEdit*>(widget); box && &box->Document() == current)
            found = box;
    return found;
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
    const QStringList extensions = FilterExtensions(nameFilter);
    return !extensions.isEmpty() && KnownSaveExtension(extensions.first()) ? extensions.first() : "rtf";
}

// A document without a visible character is not worth a file: the user hears why.
bool NothingToSave(const TOutputDocument& document) {
    if (!QString::fromStdString(OutputPlainText(document)).trimmed().isEmpty()) return false;
    ShowInformation("There is nothing to save.");
    return true;
}

} // namespace

TOutputDataModule::TOutputDataModule(QObject* application) : QObject(application) {
    setObjectName("OutputDataModule");
}

TOutputDataModule::~TOutputDataModule() = default;

TEditPopupMenu& TOutputDataModule::PopupMenu1() {
    if (!popupMenu1_) {
        popupMenu1_ = std::make_unique<TEditPopupMenu>();
        popupMenu1_->setObjectName("PopupMenu1");
    }
    return *popupMenu1_;
}

TOutputDataModule& OutputDataModule() {
    QCoreApplication* application = QCoreApplication::instance();
    auto* module = application->findChild<TOutputDataModule*>(QString(), Qt::FindDirectChildrenOnly);
    return module ? *module : *new TOutputDataModule(application);
}

void ResetOutputDataModule() {
    if (QCoreApplication* application = QCoreApplication::instance())
        delete application->findChild<TOutputDataModule*>(QString(), Qt::FindDirectChildrenOnly);
}

void DoEditCommand(const QString& itemName, QWidget* focused) {
    const std::optional<EditCommand> command = EditCommandNamed(itemName);
    if (!command) return;
    if (QLineEdit* edit = TextFieldOf(focused)) {
        RunOnLineEdit(*command, edit);
        return;
    }
    auto* box = qobject_cast<TOutputRichEdit*>(focused);
    // A rich-text command goes to the current output document's box when focus is elsewhere.
    if (!box) box = CurrentOutputBox();
    if (box) RunOnBox(*command, box);
}

QMenu* OutputPopupMenu(TOutputRichEdit* box) {
    TEditPopupMenu& menu = OutputDataModule().PopupMenu1();
    menu.PrepareFor(box);
    return &menu;
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
    if (KnownSaveExtension(QFileInfo(chosenPath).suffix().toLower())) return chosenPath;
    return PathForSaveType(chosenPath, {FilterExtension(nameFilter)});
}

bool SaveChosenOutputDocument(const TOutputDocument& document, const QString& chosenPath,
                              const QString& nameFilter, const QString& title) {
    if (NothingToSave(document)) return false;
    const QString path = OutputSavePath(chosenPath, nameFilter);
    if (!MayReplaceRenamedFile(chosenPath, path)) return false;
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
