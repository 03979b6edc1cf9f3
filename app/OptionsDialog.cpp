#include "app/OptionsDialog.h"

#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "controls/ErrorReport.h"
#include "controls/FolderChooser.h"
#include "controls/Layout.h"
#include "platform/FileError.h"
#include "platform/Guard.h"
#include "platform/LineFile.h"
#include "platform/PendingMessages.h"
#include "platform/WholeFile.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

namespace quorix {

namespace {

QString flag(const QCheckBox *box)
{
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

OptionsDialog::OptionsDialog(MainWindow *main, QWidget *parent) : ModalDialog(parent), main_(main)
{
    setupLayout();
    connect(BitBtn2, &QPushButton::clicked, this, reported([this] { BitBtn2Click(); }));
    connect(BitBtn1, &QPushButton::clicked, this, reported([this] { BitBtn1Click(); }));
    connect(SpeedButton2, &QToolButton::clicked, this, reported([this] { SpeedButton2Click(); }));
    connect(BitBtn3, &QPushButton::clicked, this, reported([this] { BitBtn3Click(); }));
}

void OptionsDialog::setupLayout()
{
    setObjectName(QStringLiteral("foptions"));
    setWindowTitle(tr("Options"));
    setFixedSize(395, 299);
    setFont(layoutFont());

    GroupBox2 = place(new QGroupBox(tr(" Viewer screen "), this), "GroupBox2", 8, 8, 377, 73);
    GroupBox2->setFlat(true);
    rb1 = place(new QRadioButton(tr("Full screen"), GroupBox2), "rb1", 8, 24, 113, 17);
    rb1->setChecked(true);
    rb2 = place(new QRadioButton(tr("Sizeable"), GroupBox2), "rb2", 8, 48, 113, 17);
    cb4 = place(new QCheckBox(tr("Dialog border style"), GroupBox2), "cb4", 8, 88, 121, 17);
    cb4->hide();

    GroupBox3 = place(new QGroupBox(tr("Scroll text"), this), "GroupBox3", 9, 96, 377, 81);
    GroupBox3->setFlat(true);
    Label1 = new QLabel(tr("Text"), GroupBox3);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(8, 32);
    cb10 = place(new QCheckBox(tr("Visible"), GroupBox3), "cb10", 312, 24, 57, 17);
    e_text = place(new QLineEdit(GroupBox3), "e_text", 4, 48, 369, 21);

    SpeedButton2 = place(new QToolButton(this), "SpeedButton2", 320, 190, 63, 22);
    SpeedButton2->setText(tr("Browse"));
    Label2 = place(new QLabel(tr("Server Shared Folder:"), this), "Label2", 19, 216, 103, 13);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Grow leftwards when the substituted face is wider than the laid-out one.
    if (const int wanted = Label2->sizeHint().width(); wanted > Label2->width())
        Label2->setGeometry(Label2->geometry().right() + 1 - wanted, 216, wanted, 13);
    e_folder = place(new QLineEdit(this), "e_folder", 128, 213, 257, 19);
    e_folder->setFrame(false);
    auto *bevel = place(new QFrame(this), "Bevel1", 9, 248, 377, 2);
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);

    BitBtn3 = place(new QPushButton(tr("About"), this), "BitBtn3", 12, 264, 75, 25);
    BitBtn1 = place(new QPushButton(tr("Cancel"), this), "BitBtn1", 209, 264, 75, 25);
    BitBtn2 = place(new QPushButton(tr("OK"), this), "BitBtn2", 308, 264, 75, 25);
    // Enter presses the button that has the focus (OK when the dialog opens); from the
    // other controls it presses OK, never About.
    for (QPushButton *b : {BitBtn3, BitBtn1, BitBtn2})
        b->setAutoDefault(true);
    BitBtn2->setDefault(true);
    setTabOrder(BitBtn2, rb1);

    GroupBox1 =
        place(new QGroupBox(tr(" Viewer screen image "), this), "GroupBox1", 344, 240, 185, 129);
    GroupBox1->hide();
    cb1 = place(new QCheckBox(tr("Stretch"), GroupBox1), "cb1", 16, 24, 97, 17);
    cb2 = place(new QCheckBox(tr("Center"), GroupBox1), "cb2", 16, 48, 97, 17);
    cb3 = place(new QCheckBox(tr("Auto Size"), GroupBox1), "cb3", 16, 72, 97, 17);

    bff = new FolderChooser(this);
    bff->setObjectName(QStringLiteral("bff"));
    bff->Title = tr("Server Shared Folder");
    bff->Options =
        FolderChooser::boStatusText | FolderChooser::boNewFolder | FolderChooser::boCenter;
    bff->RootFolder = FolderChooser::foDesktop;
}

void OptionsDialog::showEvent(QShowEvent *e)
{
    ModalDialog::showEvent(e);
    centreOnPrimaryScreen(this);
    BitBtn2->setFocus();
    // The dialog reads the files when it is shown, once: coming back to it from the folder
    // chooser, a message box or another program must not put back what the presenter has
    // just chosen or typed.
    QTimer::singleShot(0, this, [this] { runReported([this] { FormActivate(); }); });
}

void OptionsDialog::FormActivate()
{
    guarded([this] {
        const QString settingsPath = lineAt(readLineFile(main_->programFolder() + "qx.cfg"), 0);
        letPendingMessagesRun();
        const QStringList lines = readLineFile(settingsPath);
        letPendingMessagesRun();
        e_folder->setText(folderPart(lineAt(lines, 0)));
        main_->setSharedFolder(e_folder->text());
        letPendingMessagesRun();
        const QString one = QStringLiteral("1");
        if (lineAt(lines, 1) == one)
            cb1->setChecked(true);
        if (lineAt(lines, 2) == one)
            cb2->setChecked(true);
        if (lineAt(lines, 3) == one)
            cb3->setChecked(true);
        if (lineAt(lines, 4) == one)
            rb1->setChecked(true);
        else if (lineAt(lines, 4) == QLatin1String("0"))
            rb2->setChecked(true);
        cb10->setChecked(lineAt(lines, 5) == one);
        e_text->setText(lineAt(lines, 6));
    });
    ++activations_;
}

void OptionsDialog::BitBtn2Click()
{
    const QString shared = main_->sharedFolder();
    // An empty path would put the viewers' settings into whatever the current folder is.
    if (shared.isEmpty())
        throw FileError(tr("No shared folder has been chosen: press Browse to choose the "
                           "folder the viewers watch"));
    writeLineFile(shared + "quorix.cfg",
                  {shared + "shar.bmp", flag(cb1), flag(cb2), flag(cb3),
                   rb1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"), flag(cb10),
                   e_text->text(), flag(cb4)});
    letPendingMessagesRun();
    writeLineFile(main_->programFolder() + "qx.cfg", {shared + "quorix.cfg"});
    setModalResult(mrOk);
}

void OptionsDialog::BitBtn1Click()
{
    setModalResult(mrCancel);
}

void OptionsDialog::SpeedButton2Click()
{
    // The chooser opens on the shared folder in use, when there is one.
    if (const QString shared = main_->sharedFolder(); !shared.isEmpty()) {
        bff->Directory = shared;
        while (bff->Directory.size() > 1 && bff->Directory.endsWith(QLatin1Char('/')))
            bff->Directory.chop(1);
    }
    if (!bff->Execute())
        return;
    const QString folder = withTrailingSlash(bff->Directory);
    main_->setSharedFolder(folder);
    e_folder->setText(folder);
}

void OptionsDialog::BitBtn3Click()
{
    if (!fabout_)
        return;
    fabout_->ShowModal();
    // Coming back from the About box the dialog reads the viewer settings file afresh.
    activateWindow();
    FormActivate();
}

} // namespace quorix
