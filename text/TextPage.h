#pragma once
// The text page: the panel that covers the main window's preview area in the text
// source, with the read-only view of the accepted text and the buttons "Edit" and
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
class TextEditor;

class TextPage : public QObject
{
    Q_OBJECT

  public:
    // Builds the page inside `area` (the preview frame), hidden. `send` is the main window's
    // Send.
    TextPage(SharedState &state, QWidget *area, std::function<void()> send,
             QObject *parent = nullptr);

    // The panel over the preview area, which the main window hides for the other sources,
    // and the read-only view in it, which the slide page borrows.
    ColourPanel *panel() const { return panel_; }
    QTextEdit *view() const { return view_; }

    // The text editor, made after the main window.
    void setEditor(TextEditor *editor);
    TextEditor *editor() const;

    // The document that Send writes as shar.rtf: the editor's.
    QTextDocument &editorDocument();

    // The text source's own part of its button: takes the view back from the slide page,
    // shows the page, opens the editor while the view is empty, and copies the editor's text
    // into the view when the editor was last closed with OK.
    void enter();
    // Edit: shows the editor; OK copies its text into the view.
    void editText();
    // Writes the editor's document into the shared folder as shar.rtf.
    void sendText();
    // Copies the editor's document into the view through a temporary RTF file in the program
    // folder, which never outlives the copy.
    void copyEditorText();

    static QString temporaryFileName();

  private:
    // Widgets; tests reach them by object name.
    ColourPanel *panel_ = nullptr;
    QTextEdit *view_ = nullptr;
    ColourPanel *buttonStrip_ = nullptr;
    QPushButton *editButton_ = nullptr, *sendButton_ = nullptr;

    SharedState &state_;
    QPointer<TextEditor> editor_;
    QTextDocument *standIn_ = nullptr;
};

} // namespace quorix
