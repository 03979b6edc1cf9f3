#pragma once
// The text page: the panel `p9` that covers the main window's preview area in the text
// source, with the read-only view `red` of the accepted text and the buttons "Edit" and
// "Send". It reaches the main window only through the shared state and the send action it
// is given.
#include <QObject>

#include <functional>

class QPushButton;
class QTextDocument;
class QTextEdit;
class QWidget;

namespace quorix {

class SharedState;
class TPanel;

class TextPage : public QObject
{
    Q_OBJECT

  public:
    // Builds `p9` inside `area` (the preview frame), hidden. `send` is the main window's
    // Send.
    TextPage(SharedState &state, QWidget *area, std::function<void()> send,
             QObject *parent = nullptr);

    TPanel *p9 = nullptr;
    QTextEdit *red = nullptr;
    TPanel *Panel8 = nullptr;
    QPushButton *SpeedButton5 = nullptr, *SpeedButton4 = nullptr;

    // The document that Send writes as shar.rtf: the editor's.
    QTextDocument &editorDocument() { return *editorDocument_; }

    // Shows the page and takes `red` back from the slide page.
    void enter();
    // Writes the editor's document into the shared folder as shar.rtf.
    void sendText();

  private:
    SharedState &state_;
    QTextDocument *editorDocument_ = nullptr;
};

} // namespace quorix
