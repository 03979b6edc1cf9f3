#include "slideshow/SlidePage.h"

#include "controls/Colours.h"
#include "controls/Layout.h"
#include "controls/Panel.h"
#include "controls/TTimer.h"
#include "platform/SharedState.h"

namespace quorix {

SlidePage::SlidePage(SharedState &state, QWidget *area, QTextEdit *red, QObject *parent)
    : QObject(parent), state_(state), red_(red)
{
    p7 = place(new TPanel(area), "p7", 1, 16, 407, 264);
    p7->setColor(colours::background);
    p7->hide();
    Timerstep = new TTimer(parent ? parent : this, 6000);
    Timerstep->setObjectName(QStringLiteral("Timerstep"));
}

void SlidePage::enter()
{
    p7->show();
    p7->raise();
}

void SlidePage::risisliko(const QString &path)
{
    Q_UNUSED(path);
}

void SlidePage::risiprikaz(const QString &path)
{
    Q_UNUSED(path);
}

} // namespace quorix
