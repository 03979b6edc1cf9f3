#include "app/AboutBox.h"

#include "app/Glyphs.h"
#include "controls/Colours.h"
#include "controls/ErrorReport.h"
#include "controls/Layout.h"
#include "platform/Colour.h"

#include <QDesktopServices>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

namespace quorix {

namespace {

QLabel *label(QWidget *parent, const char *name, const QString &text, int left, int top)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->move(left, top);
    return l;
}

} // namespace

AboutBox::AboutBox(QWidget *parent) : ModalDialog(parent)
{
    setObjectName(QStringLiteral("fabout"));
    setWindowTitle(tr("About"));
    setFixedSize(360, 200);

    Image1 = label(this, "Image1", QString(), 40, 25);
    Image1->setPixmap(QPixmap::fromImage(programIcon()));
    Image1->resize(32, 32);

    QFont times(QStringLiteral("Times New Roman"));
    times.setPixelSize(32);
    QLabel *maker = label(this, "Label1", QStringLiteral("Ombrak"), 88, 27);
    maker->setFont(times);
    maker->adjustSize();
    QFont product = times;
    product.setBold(true);
    product.setItalic(true);
    QLabel *name = label(this, "Label2", QStringLiteral("Quorix "), 190, 27);
    name->setFont(product);
    name->setStyleSheet(QStringLiteral("color: %1").arg(bgrColour(colours::notebook).name()));
    name->adjustSize();
    label(this, "Label3", tr("Version 1.2"), 41, 73)->adjustSize();

    Label5 = label(this, "Label5", webAddress(), 21, 160);
    QFont link;
    link.setPixelSize(13);
    link.setBold(true);
    link.setUnderline(true);
    Label5->setFont(link);
    Label5->setCursor(Qt::PointingHandCursor);
    Label5->adjustSize();
    Label5->installEventFilter(this);

    OKButton = new QPushButton(tr("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(264, 151, 75, 25);
    connect(OKButton, &QPushButton::clicked, this, [this] { setModalResult(mrOk); });
}

QString AboutBox::webAddress()
{
    return QStringLiteral("www.ombrak.example");
}

void AboutBox::Label5Click()
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("https://") + webAddress()));
}

void AboutBox::showEvent(QShowEvent *e)
{
    ModalDialog::showEvent(e);
    centreOnPrimaryScreen(this);
}

bool AboutBox::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == Label5 && e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton)
        runReported([this] { Label5Click(); });
    return ModalDialog::eventFilter(watched, e);
}

} // namespace quorix
