#pragma once
// The program's own push button. First cut: click, hint (tool tip), glyph and visibility.
#include <QImage>
#include <QWidget>

namespace quorix {

class TXiButton : public QWidget
{
    Q_OBJECT

public:
    explicit TXiButton(QWidget *parent = nullptr);

    const QImage &glyph() const { return glyph_; }
    void setGlyph(const QImage &glyph);
    QString caption() const { return caption_; }
    void setCaption(const QString &caption);

    // Raises the click as a mouse click would.
    void click();

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QImage glyph_;
    QString caption_;
    bool held_ = false;
};

} // namespace quorix
