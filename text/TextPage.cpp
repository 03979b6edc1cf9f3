#include "text/TextPage.h"

#include "controls/ColourPanel.h"
#include "controls/Colours.h"
#include "controls/ErrorReport.h"
#include "controls/Layout.h"
#include "controls/ModalDialog.h"
#include "platform/PendingMessages.h"
#include "platform/SharedState.h"
#include "rtf/RichTextFile.h"
#include "rtf/RtfWriter.h"
#include "text/RichTextView.h"
#include "text/utext.h"

#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTextDocument>
#include <QTextEdit>

#include <stdexcept>

namespace quorix {

namespace {

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
    p9 = place(new ColourPanel(area), "p9", 1, 16, 407, 264);
    p9->setColor(colours::background);
    red = place(new QTextEdit(p9), "red", 0, 0, 407, 264 - 31);
    red->setReadOnly(true);
    red->setFrameShape(QFrame::NoFrame);
    red->setLineWrapMode(QTextEdit::WidgetWidth);
    red->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    red->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Panel8 = place(new ColourPanel(p9), "Panel8", 0, 264 - 31, 407, 31);
    QFont font = layoutFont();
    Panel8->setFont(font);
    SpeedButton5 = place(new QPushButton(tr("Edit"), Panel8), "SpeedButton5", 256, 5, 63, 22);
    SpeedButton4 = place(new QPushButton(tr("Send"), Panel8), "SpeedButton4", 328, 5, 65, 22);
    for (QPushButton *b : {SpeedButton5, SpeedButton4}) {
        b->setFlat(true);
        b->setFont(font);
    }
    connect(SpeedButton5, &QPushButton::clicked, this, reported([this] { SpeedButton5Click(); }));
    connect(SpeedButton4, &QPushButton::clicked, this, reported([send] {
                if (send)
                    send();
            }));
    p9->hide();
}

void TextPage::setEditor(Tftext *editor)
{
    editor_ = editor;
}

Tftext *TextPage::editor() const
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
    if (red->parentWidget() != p9) {
        red->setParent(p9);
        red->setGeometry(0, 0, 407, 264 - 31);
        red->show();
    }
    p9->show();
    p9->raise();
    if (!editor_)
        return;
    // Formatting without characters counts as empty.
    if (red->document()->toPlainText().isEmpty())
        editor_->ShowModal();
    // Read also when the editor stayed shut: then it is the result of its last showing.
    if (editor_ && editor_->modalResult() == mrOk)
        CopyEditorText();
}

void TextPage::SpeedButton5Click()
{
    if (!editor_)
        return;
    if (editor_->ShowModal() == mrOk)
        CopyEditorText();
}

void TextPage::CopyEditorText()
{
    const TemporaryFile temp(state_.programFolder + temporaryFileName());
    saveRichTextFile(editorDocument(), temp.path());
    letPendingMessagesRun();
    // Something may have put a link in its place meanwhile: never read through one.
    if (QFileInfo(temp.path()).isSymLink())
        throw std::runtime_error("Failed to Load Stream");
    loadRichTextView(*red, temp.path());
    letPendingMessagesRun();
}

void TextPage::sendText()
{
    state_.sendRtf(RtfWriter::write(editorDocument()));
}

} // namespace quorix
