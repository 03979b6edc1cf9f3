#include "text/TextPage.h"

#include "controls/ColourPanel.h"
#include "controls/Colours.h"
#include "controls/ErrorReport.h"
#include "controls/Layout.h"
#include "controls/ModalDialog.h"
#include "core/QueuedEvents.h"
#include "presenter/SharedState.h"
#include "rtf/RichTextFile.h"
#include "rtf/RtfWriter.h"
#include "text/RichTextView.h"
#include "text/TextEditor.h"

#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTextDocument>
#include <QTextEdit>

#include <stdexcept>

namespace quorix {

namespace {

// The page covers the preview area; the Edit and Send buttons sit in a strip along its foot.
constexpr int kPageWidth = 407, kPageHeight = 264, kStripHeight = 31;

// Removes the temporary file when the copy ends, however it ends.
class TemporaryFile
{
  public:
    explicit TemporaryFile(QString path) : path_(std::move(path))
    {
        // A stale file, or a link left under the name, is replaced and never read or
        // followed: removing a link removes the link itself.
        QFile::remove(path_);
    }
    ~TemporaryFile() { QFile::remove(path_); }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;
    const QString &path() const { return path_; }

  private:
    QString path_;
};

} // namespace

TextPage::TextPage(SharedState &state, QWidget *area, std::function<void()> send, QObject *parent)
    : QObject(parent), state_(state), standIn_(new QTextDocument(this))
{
    panel_ = place(new ColourPanel(area), "textPanel", 1, 16, kPageWidth, kPageHeight);
    panel_->setColour(colours::background);
    view_ = place(new QTextEdit(panel_), "textView", 0, 0, kPageWidth, kPageHeight - kStripHeight);
    view_->setReadOnly(true);
    view_->setFrameShape(QFrame::NoFrame);
    view_->setLineWrapMode(QTextEdit::WidgetWidth);
    view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    buttonStrip_ = place(new ColourPanel(panel_), "textButtons", 0, kPageHeight - kStripHeight,
                         kPageWidth, kStripHeight);
    QFont font = layoutFont();
    buttonStrip_->setFont(font);
    editButton_ =
        place(new QPushButton(tr("Edit"), buttonStrip_), "editTextButton", 256, 5, 63, 22);
    sendButton_ =
        place(new QPushButton(tr("Send"), buttonStrip_), "sendTextButton", 328, 5, 65, 22);
    for (QPushButton *b : {editButton_, sendButton_}) {
        b->setFlat(true);
        b->setFont(font);
    }
    connect(editButton_, &QPushButton::clicked, this, reported([this] { editText(); }));
    connect(sendButton_, &QPushButton::clicked, this, reported([send] {
                if (send)
                    send();
            }));
    panel_->hide();
}

void TextPage::setEditor(TextEditor *editor)
{
    editor_ = editor;
}

TextEditor *TextPage::editor() const
{
    return editor_;
}

QTextDocument &TextPage::editorDocument()
{
    return editor_ ? editor_->document() : *standIn_;
}

QString TextPage::temporaryFileName()
{
    return QStringLiteral("red98626.rtf");
}

void TextPage::enter()
{
    if (view_->parentWidget() != panel_) {
        view_->setParent(panel_);
        view_->setGeometry(0, 0, kPageWidth, kPageHeight - kStripHeight);
        view_->show();
    }
    panel_->show();
    panel_->raise();
    if (!editor_)
        return;
    // Formatting without characters counts as empty.
    if (view_->document()->toPlainText().isEmpty())
        editor_->showModal();
    // Read also when the editor stayed shut: then it is the result of its last showing.
    if (editor_ && editor_->modalResult() == ModalResult::Ok)
        copyEditorText();
}

void TextPage::editText()
{
    if (!editor_)
        return;
    if (editor_->showModal() == ModalResult::Ok)
        copyEditorText();
}

void TextPage::copyEditorText()
{
    const TemporaryFile temp(state_.programFolder + temporaryFileName());
    saveRichTextFile(editorDocument(), temp.path());
    runQueuedEvents();
    // Something may have put a link in its place meanwhile: never read through one.
    if (QFileInfo(temp.path()).isSymLink())
        throw std::runtime_error("Failed to Load Stream");
    loadRichTextView(*view_, temp.path());
    runQueuedEvents();
}

void TextPage::sendText()
{
    state_.sendRtf(RtfWriter::write(editorDocument()));
}

} // namespace quorix
