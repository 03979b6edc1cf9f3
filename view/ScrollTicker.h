#pragma once
// The scroll text: one line that runs from right to left across a band at the bottom edge
// and starts again once it has left. Its position follows the clock, not the count of
// timer ticks, so a late tick makes no jump in speed; hidden, it costs nothing.
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace quorix {

class ScrollTicker : public QWidget
{
    Q_OBJECT

  public:
    explicit ScrollTicker(QWidget *parent = nullptr);

    void setText(const QString &text);
    QString text() const { return text_; }
    // The band's height for the window's height.
    int bandHeight(int windowHeight) const;
    // Pixels per second.
    double speed() const;

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

  private:
    void render();

    QString text_;
    QPixmap line_;
    QTimer frame_;
    QElapsedTimer clock_;
};

} // namespace quorix
