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
    Q_PROPERTY(quint32 colour READ colour WRITE setColour)
    Q_PROPERTY(QString caption READ caption WRITE setCaption)

  public:
    explicit ColourPanel(QWidget *parent = nullptr);

    // 0x00BBGGRR, as the window layouts write colours.
    std::uint32_t colour() const { return colour_; }
    void setColour(std::uint32_t bgr);
    QString caption() const { return caption_; }
    void setCaption(const QString &caption);

  protected:
    void paintEvent(QPaintEvent *e) override;

  private:
    std::uint32_t colour_ = 0xF0F0F0;
    QString caption_;
};

} // namespace quorix
