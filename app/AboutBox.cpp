#include "app/AboutBox.h"

#include "app/Glyphs.h"
#include "controls/Colours.h"
#include "controls/ErrorReport.h"
#include "controls/Layout.h"
#include "core/Colour.h"

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
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(tr("About"));
    setFixedSize(360, 200);

    logo_ = label(this, "logo", QString(), 40, 25);
    logo_->setPixmap(QPixmap::fromImage(programIcon()));
    logo_->resize(32, 32);

    QFont times(QStringLiteral("Times New Roman"));
    times.setPixelSize(32);
    QLabel *maker = label(this, "maker", QStringLiteral("Ombrak"), 88, 27);
    maker->setFont(times);
    maker->adjustSize();
    QFont product = times;
    product.setBold(true);
    product.setItalic(true);
    QLabel *name = label(this, "product", QStringLiteral("Quorix "), 190, 27);
    name->setFont(product);
    name->setStyleSheet(QStringLiteral("color: %1").arg(bgrColour(colours::notebook).name()));
    name->adjustSize();
    label(this, "version", tr("Version 1.2"), 41, 73)->adjustSize();

    webLink_ = label(this, "webLink", webAddress(), 21, 160);
    QFont link;
    link.setPixelSize(13);
    link.setBold(true);
    link.setUnderline(true);
    webLink_->setFont(link);
    webLink_->setCursor(Qt::PointingHandCursor);
    webLink_->adjustSize();
    webLink_->installEventFilter(this);

    okButton_ = new QPushButton(tr("OK"), this);
    okButton_->setObjectName(QStringLiteral("okButton"));
    okButton_->setGeometry(264, 151, 75, 25);
    connect(okButton_, &QPushButton::clicked, this, [this] { setModalResult(ModalResult::Ok); });
}

QString AboutBox::webAddress()
{
    return QStringLiteral("www.ombrak.example");
}

void AboutBox::openWebPage()
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
    if (watched == webLink_ && e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton)
        runReported([this] { openWebPage(); });
    return ModalDialog::eventFilter(watched, e);
}

} // namespace quorix
