#include "app/mainunit.h"
#include "app/uabout.h"
#include "app/uoptions.h"
#include "slideshow/uss.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorix"));
    QApplication::setOrganizationName(QStringLiteral("Ombrak"));

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

    mainForm.show();
    return app.exec();
}
