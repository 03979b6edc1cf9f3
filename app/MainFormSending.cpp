// Source modes, the "automatically send" switch, Send and the shared-folder check.
#include "app/mainunit.h"

#include "app/uoptions.h"
#include "controls/Panel.h"
#include "controls/PJCBViewer.h"
#include "platform/BmpFile.h"
#include "platform/Guard.h"
#include "platform/LineFile.h"
#include "platform/PendingMessages.h"
#include "platform/WholeFile.h"

#include <QCheckBox>

namespace quorix {

namespace {
constexpr std::uint32_t kChosenPanel = 13745078;
constexpr std::uint32_t kPanel = 5914424;
} // namespace

QString TMainForm::modeName(int mode)
{
    switch (mode) {
    case 1:
        return tr("Clipboard Image");
    case 2:
        return tr("Screen Image");
    case 3:
        return tr("Window Image");
    case 4:
        return tr("Slideshow");
    case 5:
        return tr("Text");
    default:
        return QString();
    }
}

void TMainForm::setStatus(const QString &text)
{
    D2->setText(text);
    D2->adjustSize();
}

void TMainForm::setSourceMode(int mode)
{
    mode_ = mode;
    setStatus(modeName(mode));
}

void TMainForm::colourSourcePanels(TPanel *chosen)
{
    for (TPanel *p : {pa1, pa2, pa3, pa4, p5})
        p->setColor(p == chosen ? kChosenPanel : kPanel);
}

void TMainForm::sourceButtonCommon(int mode)
{
    TPanel *panels[] = {nullptr, pa1, pa2, pa3, pa4, p5};
    if (mode != 4)
        stopFlag_ = true;
    if (mode <= 4 && height() > 300)
        D2->hide();
    setSourceMode(mode);
    colourSourcePanels(panels[mode]);
}

void TMainForm::setCBX1(bool on)
{
    // The box's toggled signal runs CBX1Click whenever the state really changes.
    CBX1->setChecked(on);
}

void TMainForm::CBX1Click()
{
    if (height() > 300)
        D2->hide();
    if (!CBX1->isChecked())
        Timer2->setEnabled(false);
    if (CBX1->isChecked()) {
        guarded([this] {
            Timer2->setEnabled(true);
            if (mode_ == 2)
                Timer3->setEnabled(true);
            if (mode_ == 3)
                Timer1->setEnabled(true);
            if (mode_ >= 1 && mode_ <= 4)
                setStatus(modeName(mode_));
            letPendingMessagesRun();
            // Without a pointer file the read fails, and nothing is written.
            readLineFile(programFolder_ + "qx.cfg");
            writeLineFile(sharedFolder_ + "quorixlog.cfg", {QStringLiteral("Run")});
            letPendingMessagesRun();
        });
    }
    D2->hide();
}

void TMainForm::Label1Click()
{
    CBX1Click();
    setCBX1(!CBX1->isChecked());
}

void TMainForm::x2Click()
{
    if (mode_ == 5) {
        setCBX1(false);
        if (textSender_)
            textSender_(sharedFolder_ + "shar.rtf");
        return;
    }
    setCBX1(true);
    CBX1Click();
    setCBX1(false);
    preveriMapo();
    writeCurrentBitmap();
}

void TMainForm::Timer2Timer()
{
    if (!CBX1->isChecked())
        Timer2->setEnabled(false);
}

void TMainForm::preveriMapo()
{
    guarded([this] {
        if (!fileExists(programFolder_ + "qx.cfg")) {
            showSharedFolderMissing();
            openOptions();
        }
        const QString settingsPath = lineAt(readLineFile(programFolder_ + "qx.cfg"), 0);
        letPendingMessagesRun();
        if (!fileExists(settingsPath)) {
            showSharedFolderMissing();
            openOptions();
        }
    });
}

void TMainForm::writeCurrentBitmap()
{
    writeBmpFile(sharedFolder_ + "shar.bmp", currentBitmap_);
}

void TMainForm::XiButton5Click()
{
    const bool t1 = Timer1->enabled();
    const bool t2 = Timer2->enabled();
    const bool t3 = Timer3->enabled();
    const bool clipboard = pcjb && pcjb->Enabled();
    Timer1->setEnabled(false);
    Timer2->setEnabled(false);
    Timer3->setEnabled(false);
    if (pcjb)
        pcjb->setEnabled(false);
    openOptions();
    Timer1->setEnabled(t1);
    Timer2->setEnabled(t2);
    Timer3->setEnabled(t3);
    if (pcjb)
        pcjb->setEnabled(clipboard);
}

} // namespace quorix
