// SPDX-License-Identifier: GPL-3.0-or-later
// A rich-text box that shows an output document. The document (core) is what reports write,
// save and print; the box renders it, incrementally and only while it is visible, so a report
// of many thousand lines written into a hidden box costs nothing until it is shown. Edits the
// user makes in the box are taken back into the document before it is saved, printed or scaled.
#pragma once

#include "output/OutputDocument.h"

#include <QTextEdit>

namespace kivspc::gui {

class TOutputRichEdit : public QTextEdit, private TOutputSink {
    Q_OBJECT
public:
    explicit TOutputRichEdit(QWidget* parent = nullptr);
    ~TOutputRichEdit() override;

    TOutputDocument& Document() { return document_; }
    // The document with the user's edits in the box taken in.
    TOutputDocument& SyncedDocument();
    // Renders whatever the document gained since the last rendering.
    void Render();

    // The caret and the first visible line, kept across a re-rendering (font scaling).
    struct ViewState {
        int Caret = 0;
        int FirstLine = 0;
    };
    ViewState SaveView() const;
    void RestoreView(const ViewState& view);

    static QFont ToQFont(const TOutputFont& font);
    static TOutputFont FromQFont(const QFont& font, const QColor& color);

protected:
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void TextAppended(std::string_view text, const TOutputFont& font) override;
    void LineEnded(const TOutputFont& font) override;
    void DocumentReset() override;
    void DocumentChanged();
    void TakeEditsIntoDocument();

    TOutputDocument document_;
    TOutputMark mark_;
    QTextCursor cursor_;
    bool rendering_ = false;
    bool userEdited_ = false;
    bool renderPending_ = false;
};

} // namespace kivspc::gui
