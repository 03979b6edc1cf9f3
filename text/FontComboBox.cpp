#include "text/FontComboBox.h"

#include "controls/Layout.h"

#include <QAbstractItemView>
#include <QFontDatabase>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include <algorithm>

namespace quorix {

namespace {

// Draws the drop-down list's entries through the box, at the fixed item height.
class FontItemDelegate : public QStyledItemDelegate
{
  public:
    explicit FontItemDelegate(FontComboBox *box) : QStyledItemDelegate(box), box_(box) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        box_->DrawItem(*painter, index.row(), option.rect,
                       option.state.testFlag(QStyle::State_Selected), false);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width() + 16,
                FontComboBox::kItemHeight};
    }

  private:
    FontComboBox *box_;
};

// A horizontal or vertical line from `from` towards `to`, without `to` itself.
void lineTo(QImage &bitmap, QPoint from, QPoint to, QRgb colour)
{
    const int dx = (to.x() > from.x()) - (to.x() < from.x());
    const int dy = (to.y() > from.y()) - (to.y() < from.y());
    for (QPoint p = from; p != to; p += QPoint(dx, dy)) {
        if (bitmap.rect().contains(p))
            bitmap.setPixel(p, colour);
    }
}

} // namespace

FontComboBox::FontComboBox(QWidget *parent)
    : QComboBox(parent), icon_(kIconSize, kIconSize, QImage::Format_RGB32)
{
    QFont f = layoutFont();
    f.setBold(false);
    setFont(f);
    setItemDelegate(new FontItemDelegate(this));
    setMaxVisibleItems(8);
    setInsertPolicy(QComboBox::InsertAlphabetically);
    setEditable(false);
    connect(this, &QComboBox::activated, this, [this] { emit OnChange(); });
    CreateWnd();
}

QStringList FontComboBox::screenFonts()
{
    QStringList names = QFontDatabase::families();
    names << QStringLiteral("Default");
    std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

void FontComboBox::CreateWnd()
{
    const QSignalBlocker quiet(this);
    clear();
    addItems(screenFonts());
    setCurrentIndex(0);
}

bool FontComboBox::IsTrueTypeFont(int index) const
{
    const QString name = itemText(index);
    return !name.isEmpty() && QFontDatabase::isSmoothlyScalable(name);
}

void FontComboBox::DrawLetterT(QImage &bitmap, int x, int y, QRgb colour)
{
    auto line = [&](int x0, int y0, int x1, int y1) { lineTo(bitmap, {x0, y0}, {x1, y1}, colour); };
    line(x, y, x + 7, y);
    line(x + 7, y, x + 7, y + 3);
    line(x, y, x, y + 3);
    line(x + 1, y, x + 1, y + 1);
    line(x + 6, y, x + 6, y + 1);
    line(x + 3, y, x + 3, y + 8);
    line(x + 4, y, x + 4, y + 8);
    line(x + 1, y + 8, x + 6, y + 8);
}

void FontComboBox::PaintTrueTypeIcon(const QColor &background)
{
    icon_.fill(background);
    DrawLetterT(icon_, 0, 0, qRgb(0x80, 0x80, 0x80));
    DrawLetterT(icon_, 4, 3, qRgb(0, 0, 0));
}

void FontComboBox::DrawItem(QPainter &painter, int index, const QRect &rect, bool selected,
                            bool inField)
{
    const QPalette &pal = palette();
    const QColor brush = selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base);
    painter.save();
    painter.fillRect(rect, brush);
    painter.setFont(font());
    painter.setPen(selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text));
    const QString name = itemText(index);
    int textLeft = rect.left();
    if (!inField) {
        if (IsTrueTypeFont(index)) {
            PaintTrueTypeIcon(brush);
            painter.drawImage(rect.left() + 2, rect.top() + 2, icon_);
        }
        textLeft += 16;
    }
    painter.drawText(QRect(textLeft, rect.top(), rect.right() - textLeft + 1, rect.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
    painter.restore();
}

void FontComboBox::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    if (currentIndex() < 0)
        return;
    const QRect item(field.left(), field.top() + (field.height() - kItemHeight) / 2, field.width(),
                     kItemHeight);
    DrawItem(painter, currentIndex(), item, hasFocus(), true);
}

} // namespace quorix
