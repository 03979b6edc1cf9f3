#pragma once
// The editor's font-name box: an owner-drawn combo box listing the installed font families
// (plus "Default"), each once and sorted without regard to case, that marks scalable
// outline fonts with a small "TT" icon of its own drawing. Names are drawn in the box's own
// font, not in the font they name, so a long list opens quickly.
#include <QComboBox>
#include <QImage>
#include <QStringList>

class QPainter;

namespace quorix {

class FontComboBox : public QComboBox
{
    Q_OBJECT

  public:
    explicit FontComboBox(QWidget *parent = nullptr);

    static constexpr int kItemHeight = 16;
    static constexpr int kIconSize = 12;

    // Every installed family once, plus "Default", sorted without regard to case.
    static QStringList screenFonts();

    // True when the entry names a scalable outline font.
    bool IsTrueTypeFont(int index) const;
    // Redraws the icon bitmap over the given background: a grey letter T behind a black one.
    void PaintTrueTypeIcon(const QColor &background);
    // One letter T of one-pixel lines, each drawn up to but not including its last point.
    static void DrawLetterT(QImage &bitmap, int x, int y, QRgb colour);
    const QImage &iconBitmap() const { return icon_; }

    // Draws one entry into `rect`: in the closed box's field the name alone, in the
    // drop-down list the icon (for outline fonts) at 2, 2 and the name 16 pixels in.
    void DrawItem(QPainter &painter, int index, const QRect &rect, bool selected, bool inField);

  signals:
    // The user chose another entry (choosing one from code raises nothing).
    void OnChange();

  protected:
    void paintEvent(QPaintEvent *e) override;

  private:
    void CreateWnd();

    QImage icon_;
};

} // namespace quorix
