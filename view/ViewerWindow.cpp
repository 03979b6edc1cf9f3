#include "view/ViewerWindow.h"

#include "view/PictureView.h"
#include "view/ScrollTicker.h"
#include "view/WaitingScreen.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTextEdit>

namespace quorix {

ViewerWindow::ViewerWindow(const QString &folder, QWidget *parent)
    : QWidget(parent), folder_(folder), waiting_(new WaitingScreen(folder, this)),
      picture_(new PictureView(this)), text_(new QTextEdit(this)), ticker_(new ScrollTicker(this)),
      status_(new QLabel(this))
{
    setObjectName(QStringLiteral("quorixView"));
    setWindowTitle(tr("Quorix View"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    picture_->setObjectName(QStringLiteral("picture"));
    text_->setObjectName(QStringLiteral("text"));
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::NoTextInteraction);
    text_->setFocusPolicy(Qt::NoFocus);
    text_->setFrameShape(QFrame::NoFrame);
    text_->viewport()->setAutoFillBackground(true);
    text_->viewport()->setBackgroundRole(QPalette::Base);
    QPalette page = text_->palette();
    page.setColor(QPalette::Base, Qt::white);
    page.setColor(QPalette::Text, Qt::black);
    text_->setPalette(page);
    status_->setObjectName(QStringLiteral("status"));
    status_->setStyleSheet(QStringLiteral(
        "QLabel { background: rgba(0, 0, 0, 150); color: #e0e0e0; padding: 3px 8px; }"));
    status_->hide();
    picture_->hide();
    text_->hide();
    ticker_->hide();
    setFocusPolicy(Qt::StrongFocus);

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    resize(screen.size() * 2 / 3);
    move(screen.center() - rect().center());
}

ViewerWindow::~ViewerWindow()
{
    // The text view must not outlive the document it shows.
    delete text_;
}

void ViewerWindow::start()
{
    started_ = true;
    choose();
    applyWindowMode();
}

void ViewerWindow::showPicture(const QImage &image, qint64 mtimeNs, qint64 decodeUs)
{
    picture_->setPicture(image, mtimeNs, decodeUs);
    pictureMtime_ = mtimeNs;
    unreadable_.clear();
    updateStatus();
    choose();
    fitToPicture();
}

void ViewerWindow::showText(QSharedPointer<QTextDocument> document, qint64 mtimeNs)
{
    document->setDocumentMargin(16); // off the screen's edge
    text_->setDocument(document.data());
    document_ = std::move(document); // the one shown before goes only now
    textMtime_ = mtimeNs;
    unreadable_.clear();
    updateStatus();
    choose();
}

void ViewerWindow::applySettings(const ViewerSettings &settings)
{
    const bool first = !haveSettings_;
    const ViewerSettings before = settings_;
    settings_ = settings;
    haveSettings_ = true;
    // Esc's choice holds until the presenter changes the screen setting itself.
    if (first || settings.fullScreen != before.fullScreen)
        fullScreen_ = settings.fullScreen;
    ticker_->setText(settings.scrollText);
    picture_->setSettings(settings_, fullScreen_);
    layoutChildren();
    if (started_ &&
        (first || settings.fullScreen != before.fullScreen ||
         settings.dialogBorder != before.dialogBorder || settings.autoSize != before.autoSize))
        applyWindowMode();
}

void ViewerWindow::setRunning(bool running)
{
    running_ = running;
    choose();
}

void ViewerWindow::setReachable(bool reachable)
{
    reachable_ = reachable;
    updateStatus();
}

void ViewerWindow::setUnreadable(const QString &fileName, const QString &why)
{
    unreadable_ = tr("%1 cannot be read: %2").arg(fileName, why);
    updateStatus();
}

void ViewerWindow::setTrace(bool on)
{
    picture_->setTrace(on);
}

void ViewerWindow::choose()
{
    Showing next = Showing::Waiting;
    if (running_ && pictureMtime_ >= 0 && pictureMtime_ >= textMtime_)
        next = Showing::Picture;
    else if (running_ && textMtime_ >= 0)
        next = Showing::Text;
    const bool changed = next != showing_;
    showing_ = next;
    waiting_->setVisible(showing_ == Showing::Waiting);
    picture_->setVisible(showing_ == Showing::Picture);
    text_->setVisible(showing_ == Showing::Text);
    if (changed) {
        layoutChildren();
        fitToPicture();
    }
}

void ViewerWindow::setFullScreen(bool on)
{
    if (on == fullScreen_)
        return;
    fullScreen_ = on;
    picture_->setSettings(settings_, fullScreen_);
    applyWindowMode();
}

void ViewerWindow::applyWindowMode()
{
    if (!started_)
        return;
    const bool dialog = !fullScreen_ && settings_.dialogBorder;
    if (dialog != dialogFlags_) {
        dialogFlags_ = dialog;
        // A dialog's border: a title and a close button, no resizing.
        setWindowFlags(dialog ? Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                    Qt::WindowCloseButtonHint
                              : Qt::Window);
    }
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (fullScreen_) {
        showFullScreen();
        return;
    }
    if (isFullScreen())
        showNormal();
    else
        show();
    fitToPicture();
    if (dialog)
        setFixedSize(size());
}

void ViewerWindow::fitToPicture()
{
    if (!started_ || fullScreen_ || !settings_.autoSize || showing_ != Showing::Picture)
        return;
    const QSize wanted = picture_->picture().size();
    if (wanted.isEmpty() || wanted == size())
        return;
    const QScreen *on = screen() ? screen() : QGuiApplication::primaryScreen();
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize room = on->availableGeometry().size() - frame;
    const QSize size = wanted.boundedTo(room);
    if (settings_.dialogBorder) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        resize(size);
        setFixedSize(size);
    } else {
        resize(size);
    }
}

void ViewerWindow::layoutChildren()
{
    const QRect all = rect();
    const bool ticker =
        settings_.scrollVisible && !settings_.scrollText.isEmpty() && showing_ != Showing::Waiting;
    const int band = ticker ? ticker_->bandHeight(height()) : 0;
    waiting_->setGeometry(all);
    picture_->setGeometry(all); // the scroll text runs over the picture's bottom edge
    text_->setGeometry(all.adjusted(0, 0, 0, -band)); // but leaves the text whole
    ticker_->setGeometry(0, height() - band, width(), band);
    ticker_->setVisible(ticker);
    ticker_->raise();
    status_->move(8, 8);
    status_->raise();
}

void ViewerWindow::updateStatus()
{
    QString text;
    if (!reachable_)
        text = tr("The shared folder cannot be reached: %1").arg(folder_);
    else
        text = unreadable_;
    status_->setText(text);
    status_->adjustSize();
    status_->setVisible(!text.isEmpty());
}

void ViewerWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && fullScreen_)
        setFullScreen(false);
    else if (event->key() == Qt::Key_F11)
        setFullScreen(!fullScreen_);
    else if (event->matches(QKeySequence::Quit) ||
             (event->key() == Qt::Key_Q && event->modifiers() == Qt::ControlModifier))
        close();
    else
        QWidget::keyPressEvent(event);
}

void ViewerWindow::mouseDoubleClickEvent(QMouseEvent *)
{
    setFullScreen(!fullScreen_);
}

void ViewerWindow::resizeEvent(QResizeEvent *)
{
    layoutChildren();
}

} // namespace quorix
