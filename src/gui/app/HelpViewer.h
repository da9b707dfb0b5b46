// SPDX-License-Identifier: GPL-3.0-or-later
// The program's help: topics written as HTML pages, compiled into the program, shown by number in
// one viewer window with contents, links, back and forward, find in page and printing.
#pragma once

#include <QMainWindow>

class QLineEdit;
class QTextBrowser;

namespace kivspc::gui {

class THelpViewer : public QMainWindow {
    Q_OBJECT
public:
    // The one viewer, created on first use.
    static THelpViewer& Instance();
    // Closes the viewer if it exists (at the end of the program).
    static void Quit();
    // The page of a topic (0: the contents); empty when the help has none.
    static QString TopicPage(int topic);

    // Shows the topic and brings the viewer forward; false when there is no such topic.
    bool ShowTopic(int topic);
    QTextBrowser* Browser() const { return browser_; }
    // Finds the text in the page from the cursor on (backwards when asked); false when absent.
    bool Find(const QString& text, bool backwards = false);
    void PrintPage();

protected:
    bool event(QEvent* e) override;

private:
    explicit THelpViewer(QWidget* parent = nullptr);
    void UpdateCaption();

    QTextBrowser* browser_ = nullptr;
    QLineEdit* findEdit_ = nullptr;
};

} // namespace kivspc::gui
