#pragma once
// A plain panel: a coloured rectangle with an optional centred caption, painting its own
// colour rather than its parent's background.
#include <cstdint>
#include <QFrame>
#include <QString>

namespace quorix {

class ColourPanel : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(quint32 Color READ color WRITE setColor)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)

  public:
    explicit ColourPanel(QWidget *parent = nullptr);

    std::uint32_t color() const { return color_; }
    void setColor(std::uint32_t bgr);
    QString caption() const { return caption_; }
    void setCaption(const QString &caption);

  protected:
    void paintEvent(QPaintEvent *e) override;

  private:
    std::uint32_t color_ = 0xF0F0F0;
    QString caption_;
};

} // namespace quorix
