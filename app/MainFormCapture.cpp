// The source buttons. The capture work behind the clipboard, screen and window sources
// comes with the capture layer; until then they do the step every source button shares.
#include "app/mainunit.h"

#include <QStackedWidget>

namespace quorix {

void TMainForm::XiButton2Click()
{
    sourceButtonCommon(1);
}

void TMainForm::XiButton3Click()
{
    sourceButtonCommon(2);
}

void TMainForm::XiButton1Click()
{
    sourceButtonCommon(3);
}

void TMainForm::XiButton4Click()
{
    sourceButtonCommon(4);
}

void TMainForm::XiButton6Click()
{
    sourceButtonCommon(5);
}

void TMainForm::Timer1Timer() {}
void TMainForm::Timer3Timer() {}
void TMainForm::pcjbClipboardChanged() {}

} // namespace quorix
