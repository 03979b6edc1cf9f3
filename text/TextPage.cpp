#include "text/TextPage.h"

#include "controls/Colours.h"
#include "controls/ErrorReport.h"
#include "controls/Layout.h"
#include "controls/Panel.h"
#include "platform/SharedState.h"
#include "text/RtfWriter.h"

#include <QPushButton>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

namespace quorix {

TextPage::TextPage(SharedState &state, QWidget *area, std::function<void()> send, QObject *parent)
    : QObject(parent), state_(state), editorDocument_(new QTextDocument(this))
{
    p9 = place(new TPanel(area), "p9", 1, 16, 407, 264);
    p9->setColor(colours::background);
    red = place(new QTextEdit(p9), "red", 0, 0, 407, 264 - 31);
    red->setReadOnly(true);
    red->setFrameShape(QFrame::NoFrame);
    red->setLineWrapMode(QTextEdit::WidgetWidth);
    red->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    red->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Panel8 = place(new TPanel(p9), "Panel8", 0, 264 - 31, 407, 31);
    QFont font = layoutFont();
    Panel8->setFont(font);
    SpeedButton5 = place(new QPushButton(tr("Edit"), Panel8), "SpeedButton5", 256, 5, 63, 22);
    SpeedButton4 = place(new QPushButton(tr("Send"), Panel8), "SpeedButton4", 328, 5, 65, 22);
    for (QPushButton *b : {SpeedButton5, SpeedButton4}) {
        b->setFlat(true);
        b->setFont(font);
    }
    connect(SpeedButton4, &QPushButton::clicked, this, reported([send] {
                if (send)
                    send();
            }));
    p9->hide();
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
}

void TextPage::sendText()
{
    state_.sendRtf(RtfWriter::write(*editorDocument_));
}

} // namespace quorix
