#include "app/Glyphs.h"
#include "app/mainunit.h"
#include "app/uabout.h"
#include "app/uoptions.h"
#include "slideshow/uss.h"
#include "text/utext.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorix"));
    QApplication::setOrganizationName(QStringLiteral("Ombrak"));
    // The desktop entry's name ties the windows to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("si.ombrak.Quorix"));
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(quorix::programIcon())));

    // Every window is made once, hidden, and only shown and hidden afterwards. The
    // Options dialog exists before the main window's creation step, which may open it.
    quorix::TMainForm mainForm;
    quorix::Tfoptions foptions(&mainForm, &mainForm);
    quorix::Tfabout fabout(&foptions);
    foptions.setAbout(&fabout);
    quorix::Tfss fss(mainForm.state(), &mainForm);
    mainForm.setSetupWindow(&fss);
    mainForm.setOptionsDialog(&foptions);
    mainForm.FormCreate();
    // The text editor comes last; it stays above the always-on-top main window it
    // belongs to.
    quorix::Tftext ftext(quorix::Tftext::documentsFolder(), &mainForm);
    mainForm.setTextEditor(&ftext);

    mainForm.show();
    return app.exec();
}
