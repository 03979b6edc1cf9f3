// The set-up window's slide-list files: Save Files List and Open Files List.
#include "platform/PendingMessages.h"
#include "platform/WholeFile.h"
#include "slideshow/SlideListFile.h"
#include "slideshow/SlideRows.h"
#include "slideshow/uss.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QSlider>
#include <QTreeWidget>

namespace quorix {

void Tfss::XiButton3Click()
{
    if (!runFileDialog(SaveDialog))
        return;
    Button1Click();
    saveSlideList(SaveDialog->selectedFiles().constFirst(), lines_);
}

void Tfss::XiButton2Click()
{
    if (!runFileDialog(OpenDialog))
        return;
    openSlideList(OpenDialog->selectedFiles().constFirst());
}

void Tfss::openSlideList(const QString &path)
{
    setLines({});
    tabela->clear();
    tabela->hide();
    letPendingMessagesRun();
    // However the open ends, the list comes back.
    struct ShowAtEnd
    {
        QTreeWidget *list;
        ~ShowAtEnd() { list->show(); }
    } showAtEnd{tabela};

    setLines(readSlideList(path));
    const QStringList lines = lines_;
    cbloop->setChecked(false);
    cbloop->setChecked(slideListLoops(lines));
    tbr->setValue(slideListDuration(line(1)));
    l_td->setText(tr("Slide duration: ") + QString::number(tbr->value()));
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QString &slide = lines.at(i);
        if (fileExists(slide)) {
            AddSlideFile(*tabela, slide, QStringLiteral("open"));
        } else {
            QApplication::beep();
            QMessageBox box(QMessageBox::Warning, tr("Orbelin"), tr("File does not exist ") + slide,
                            QMessageBox::Ok, dialogOwner());
            box.setObjectName(QStringLiteral("fileDoesNotExist"));
            box.exec();
        }
        tabela->show();
        letPendingMessagesRun();
        tabelaDblClick();
    }
}

} // namespace quorix
