// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/OutputRichEdit.h"

#include "output/OutputDataModule.h"
#include "output/ReditU.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

namespace kivspc::gui {

TOutputRichEdit::TOutputRichEdit(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::NoWrap);
    setUndoRedoEnabled(true);
    // Tab moves on to the next control, as in any report box.
    setTabChangesFocus(true);
    document_.SetOnChange([this] { DocumentChanged(); });
    cursor_ = QTextCursor(QTextEdit::document());
    connect(QTextEdit::document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (!rendering_ && (removed || added)) userEdited_ = true;
    });
}

TOutputRichEdit::ViewState TOutputRichEdit::SaveView() const {
    ViewState view;
    view.Caret = textCursor().position();
    view.FirstLine = cursorForPosition(QPoint(0, 0)).blockNumber();
    return view;
}

void TOutputRichEdit::RestoreView(const ViewState& view) {
    QTextDocument* shown = QTextEdit::document();
    QTextCursor caret(shown);
    caret.setPosition(std::clamp(view.Caret, 0, std::max(shown->characterCount() - 1, 0)));
    setTextCursor(caret);
    // Scroll so that the first visible line comes back to the top.
    const QTextBlock first =
        shown->findBlockByNumber(std::clamp(view.FirstLine, 0, std::max(shown->blockCount() - 1, 0)));
    const int y = static_cast<int>(shown->documentLayout()->blockBoundingRect(first).top());
    verticalScrollBar()->setValue(y);
}

TOutputRichEdit::~TOutputRichEdit() {
    document_.SetOnChange(nullptr);
    ForgetOutputDocument(&document_);
}

QFont TOutputRichEdit::ToQFont(const TOutputFont& font) {
    QFont f(QString::fromStdString(font.Name));
    f.setPointSizeF(font.Size);
    f.setBold(font.Bold);
    f.setItalic(font.Italic);
    f.setUnderline(font.Underline);
    f.setStyleHint(font.Name.find("Courier") != std::string::npos ? QFont::TypeWriter : QFont::SansSerif);
    return f;
}

TOutputFont TOutputRichEdit::FromQFont(const QFont& font, const QColor& color) {
    TOutputFont f;
    f.Name = font.family().toStdString();
    f.Size = font.pointSizeF() > 0 ? font.pointSizeF() : 10.0;
    f.Bold = font.bold();
    f.Italic = font.italic();
    f.Underline = font.underline();
    f.Color = static_cast<std::uint32_t>(color.rgb() & 0xFFFFFF);
    return f;
}

void TOutputRichEdit::DocumentChanged() {
    // Writing a report makes many small changes: render once, after the writing is done.
    if (renderPending_) return;
    renderPending_ = true;
    QTimer::singleShot(0, this, [this] {
        renderPending_ = false;
        if (isVisible()) Render();
    });
}

void TOutputRichEdit::showEvent(QShowEvent* event) {
    QTextEdit::showEvent(event);
    Render();
}

void TOutputRichEdit::Render() {
    if (mark_.Generation != 0 && document_.EndMark().Generation == mark_.Generation &&
        document_.EndMark().Line == mark_.Line && document_.EndMark().Run == mark_.Run &&
        document_.EndMark().Offset == mark_.Offset)
        return;
    rendering_ = true;
    cursor_.movePosition(QTextCursor::End);
    cursor_.beginEditBlock();
    document_.Replay(*this, mark_);
    cursor_.endEditBlock();
    mark_ = document_.EndMark();
    rendering_ = false;
    // The report is new content, not something the user can undo.
    QTextEdit::document()->clearUndoRedoStacks();
}

void TOutputRichEdit::TextAppended(std::string_view text, const TOutputFont& font) {
    QTextCharFormat format;
    format.setFont(ToQFont(font));
    format.setForeground(QColor::fromRgb(static_cast<QRgb>(font.Color)));
    cursor_.insertText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), format);
}

void TOutputRichEdit::LineEnded(const TOutputFont& font) {
    QTextCharFormat format;
    format.setFont(ToQFont(font));
    cursor_.insertBlock(QTextBlockFormat(), format);
}

void TOutputRichEdit::DocumentReset() {
    userEdited_ = false;
    QTextEdit::document()->clear();
    cursor_ = QTextCursor(QTextEdit::document());
}

void TOutputRichEdit::TakeEditsIntoDocument() {
    // Rebuild the document from what the box shows, run by run, keeping the fonts.
    TOutputDocument& d = document_;
    d.SetOnChange(nullptr);
    d.Clear();
    QTextDocument* shown = QTextEdit::document();
    for (QTextBlock block = shown->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) continue;
            const QTextCharFormat format = fragment.charFormat();
            d.Write(fragment.text().toStdString(), FromQFont(format.font(), format.foreground().color()));
        }
        // A line break's font was given to the block it started (the next one).
        if (block.next().isValid()) {
            const QTextCharFormat format = block.next().charFormat();
            d.WriteLineBreak(FromQFont(format.font(), format.foreground().color()));
        }
    }
    d.SetOnChange([this] { DocumentChanged(); });
    mark_ = d.EndMark();
    userEdited_ = false;
}

TOutputDocument& TOutputRichEdit::SyncedDocument() {
    Render();
    if (userEdited_) TakeEditsIntoDocument();
    return document_;
}

void TOutputRichEdit::contextMenuEvent(QContextMenuEvent* event) {
    if (QMenu* menu = OutputPopupMenu(this)) menu->exec(event->globalPos());
}

} // namespace kivspc::gui
