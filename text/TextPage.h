#pragma once
// The text page: the panel `p9` that covers the main window's preview area in the text
// source, with the read-only view `red` of the accepted text and the buttons "Edit" and
// "Send". It reaches the main window only through the shared state and the send action it
// is given, and the editor only through the editor window it is handed.
#include <QObject>
#include <QPointer>

#include <functional>

class QPushButton;
class QTextDocument;
class QTextEdit;
class QWidget;

namespace quorix {

class SharedState;
class ColourPanel;
class Tftext;

class TextPage : public QObject
{
    Q_OBJECT

  public:
    // Builds `p9` inside `area` (the preview frame), hidden. `send` is the main window's
    // Send.
    TextPage(SharedState &state, QWidget *area, std::function<void()> send,
             QObject *parent = nullptr);

    ColourPanel *p9 = nullptr;
    QTextEdit *red = nullptr;
    ColourPanel *Panel8 = nullptr;
    QPushButton *SpeedButton5 = nullptr, *SpeedButton4 = nullptr;

    // The text editor, made after the main window.
    void setEditor(Tftext *editor);
    Tftext *editor() const;

    // The document that Send writes as shar.rtf: the editor's.
    QTextDocument &editorDocument();

    // The text source's own part of its button: takes `red` back from the slide page,
    // shows the page, opens the editor while `red` is empty, and copies the editor's text
    // into `red` when the editor was last closed with OK.
    void enter();
    // Edit: shows the editor; OK copies its text into `red`.
    void SpeedButton5Click();
    // Writes the editor's document into the shared folder as shar.rtf.
    void sendText();
    // Copies the editor's document into `red` through a temporary RTF file in the program
    // folder, which never outlives the copy.
    void CopyEditorText();

    static QString temporaryFileName();

  private:
    SharedState &state_;
    QPointer<Tftext> editor_;
    QTextDocument *standIn_ = nullptr;
};

} // namespace quorix
