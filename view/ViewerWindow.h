#pragma once
// The viewer's one window: the waiting screen until the presenter starts, then whichever
// of the picture and the text was written last, the scroll text along the bottom edge,
// and a small status line while the shared folder cannot be reached. Full screen or a
// sizeable window as the settings say; Esc leaves full screen, F11 and a double click
// switch it.
#include "exchange/ViewerSettings.h"

#include <QImage>
#include <QSharedPointer>
#include <QTextDocument>
#include <QWidget>

class QLabel;
class QTextEdit;

namespace quorix {

class PictureView;
class ScrollTicker;
class WaitingScreen;

class ViewerWindow : public QWidget
{
    Q_OBJECT

  public:
    enum class Showing
    {
        Waiting,
        Picture,
        Text
    };

    explicit ViewerWindow(const QString &folder, QWidget *parent = nullptr);
    ~ViewerWindow() override;

    // Shows the window in the mode the settings read so far ask for.
    void start();

    void showPicture(const QImage &image, qint64 mtimeNs, qint64 decodeUs);
    void showText(QSharedPointer<QTextDocument> document, qint64 mtimeNs);
    void applySettings(const ViewerSettings &settings);
    void setRunning(bool running);
    void setReachable(bool reachable);
    void setUnreadable(const QString &fileName, const QString &why);
    void setTrace(bool on);

    Showing showing() const { return showing_; }

  protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

  private:
    void setFullScreen(bool on);
    void applyWindowMode();
    void fitToPicture();
    void choose();
    void layoutChildren();
    void updateStatus();

    QString folder_;
    WaitingScreen *waiting_;
    PictureView *picture_;
    QTextEdit *text_;
    ScrollTicker *ticker_;
    QLabel *status_;

    ViewerSettings settings_;
    bool haveSettings_ = false;
    bool fullScreen_ = false;
    bool dialogFlags_ = false;
    bool started_ = false;
    bool running_ = false;
    bool reachable_ = true;
    QString unreadable_;
    QSharedPointer<QTextDocument> document_;
    qint64 pictureMtime_ = -1;
    qint64 textMtime_ = -1;
    Showing showing_ = Showing::Waiting;
};

} // namespace quorix
