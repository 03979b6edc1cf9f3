#include "app/OptionsDialog.h"

#include "app/AboutBox.h"
#include "app/BrowserWatchPanel.h"
#include "app/MainWindow.h"
#include "app/ProgramFiles.h"
#include "controls/ErrorReport.h"
#include "controls/FolderChooser.h"
#include "controls/Layout.h"
#include "core/FileError.h"
#include "core/Guard.h"
#include "core/LineFile.h"
#include "core/QueuedEvents.h"
#include "core/WholeFile.h"
#include "exchange/ViewerSettings.h"
#include "presenter/RoomSettings.h"

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

OptionsDialog::OptionsDialog(MainWindow *main, QWidget *parent) : ModalDialog(parent), main_(main)
{
    setupLayout();
    connect(okButton_, &QPushButton::clicked, this, reported([this] { onOkClicked(); }));
    connect(cancelButton_, &QPushButton::clicked, this, reported([this] { onCancelClicked(); }));
    connect(browseButton_, &QToolButton::clicked, this, reported([this] { chooseSharedFolder(); }));
    connect(aboutButton_, &QPushButton::clicked, this, reported([this] { showAbout(); }));
}

void OptionsDialog::setupLayout()
{
    setObjectName(QStringLiteral("optionsDialog"));
    setWindowTitle(tr("Options"));
    setFixedSize(395, 299);
    setFont(layoutFont());

    viewerScreenBox_ =
        place(new QGroupBox(tr(" Viewer screen "), this), "viewerScreenBox", 8, 8, 377, 73);
    viewerScreenBox_->setFlat(true);
    fullScreenButton_ = place(new QRadioButton(tr("Full screen"), viewerScreenBox_),
                              "fullScreenButton", 8, 24, 113, 17);
    fullScreenButton_->setChecked(true);
    sizeableButton_ =
        place(new QRadioButton(tr("Sizeable"), viewerScreenBox_), "sizeableButton", 8, 48, 113, 17);
    dialogBorderBox_ = place(new QCheckBox(tr("Dialog border style"), viewerScreenBox_),
                             "dialogBorderBox", 8, 88, 121, 17);
    dialogBorderBox_->hide();
    onlyQuorixViewersBox_ =
        place(new QCheckBox(tr("Only Quorix viewers in this room"), viewerScreenBox_),
              "onlyQuorixViewersBox", 160, 24, 213, 17);
    onlyQuorixViewersBox_->setToolTip(
        tr("Send pictures only in the compact form that Quorix View reads, without "
           "shar.bmp for other viewer programs"));

    scrollTextBox_ = place(new QGroupBox(tr("Scroll text"), this), "scrollTextBox", 9, 96, 377, 81);
    scrollTextBox_->setFlat(true);
    scrollTextLabel_ = new QLabel(tr("Text"), scrollTextBox_);
    scrollTextLabel_->setObjectName(QStringLiteral("scrollTextLabel"));
    scrollTextLabel_->move(8, 32);
    scrollTextVisibleBox_ = place(new QCheckBox(tr("Visible"), scrollTextBox_),
                                  "scrollTextVisibleBox", 312, 24, 57, 17);
    scrollTextEdit_ = place(new QLineEdit(scrollTextBox_), "scrollTextEdit", 4, 48, 369, 21);

    browseButton_ = place(new QToolButton(this), "browseButton", 320, 190, 63, 22);
    browseButton_->setText(tr("Browse"));
    folderLabel_ =
        place(new QLabel(tr("Server Shared Folder:"), this), "folderLabel", 19, 216, 103, 13);
    folderLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Grow leftwards when the substituted face is wider than the laid-out one.
    if (const int wanted = folderLabel_->sizeHint().width(); wanted > folderLabel_->width())
        folderLabel_->setGeometry(folderLabel_->geometry().right() + 1 - wanted, 216, wanted, 13);
    folderEdit_ = place(new QLineEdit(this), "folderEdit", 128, 213, 257, 19);
    folderEdit_->setFrame(false);
    auto *bevel = place(new QFrame(this), "buttonRule", 9, 248, 377, 2);
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);

    aboutButton_ = place(new QPushButton(tr("About"), this), "aboutButton", 12, 264, 75, 25);
    cancelButton_ = place(new QPushButton(tr("Cancel"), this), "cancelButton", 209, 264, 75, 25);
    okButton_ = place(new QPushButton(tr("OK"), this), "okButton", 308, 264, 75, 25);
    // Enter presses the button that has the focus (OK when the dialog opens); from the
    // other controls it presses OK, never About.
    for (QPushButton *b : {aboutButton_, cancelButton_, okButton_})
        b->setAutoDefault(true);
    okButton_->setDefault(true);
    setTabOrder(okButton_, fullScreenButton_);

    imageBox_ =
        place(new QGroupBox(tr(" Viewer screen image "), this), "imageBox", 344, 240, 185, 129);
    imageBox_->hide();
    stretchBox_ = place(new QCheckBox(tr("Stretch"), imageBox_), "stretchBox", 16, 24, 97, 17);
    centreBox_ = place(new QCheckBox(tr("Center"), imageBox_), "centreBox", 16, 48, 97, 17);
    autoSizeBox_ = place(new QCheckBox(tr("Auto Size"), imageBox_), "autoSizeBox", 16, 72, 97, 17);

    folderChooser_ = new FolderChooser(this);
    folderChooser_->setObjectName(QStringLiteral("folderChooser"));
    folderChooser_->title = tr("Server Shared Folder");
    folderChooser_->options = FolderChooser::Option::ShowPath |
                              FolderChooser::Option::NewFolderButton |
                              FolderChooser::Option::Centred;

    // Below the designed dialog: the room's browsers.
    browserWatchPanel_ = new BrowserWatchPanel(main_, this);
    browserWatchPanel_->move(0, height());
    setFixedSize(width(), height() + BrowserWatchPanel::kHeight);
}

void OptionsDialog::showEvent(QShowEvent *e)
{
    ModalDialog::showEvent(e);
    centreOnPrimaryScreen(this);
    okButton_->setFocus();
    // The dialog reads the files when it is shown, once: coming back to it from the folder
    // chooser, a message box or another program must not put back what the presenter has
    // just chosen or typed.
    QTimer::singleShot(0, this, [this] { runReported([this] { readSettings(); }); });
}

void OptionsDialog::readSettings()
{
    onlyQuorixViewersBox_->setChecked(readOnlyQuorixViewers());
    guarded([this] {
        const QString settingsPath =
            lineAt(readLineFile(main_->programFolder() + kSettingsPointerName), 0);
        runQueuedEvents();
        const QStringList lines = readLineFile(settingsPath);
        runQueuedEvents();
        folderEdit_->setText(folderPart(lineAt(lines, qsizetype(ViewerSettingsLine::PicturePath))));
        main_->setSharedFolder(folderEdit_->text());
        runQueuedEvents();
        // The file means what the viewers take it to mean.
        const ViewerSettings viewer = parseViewerSettings(lines);
        if (viewer.stretch)
            stretchBox_->setChecked(true);
        if (viewer.center)
            centreBox_->setChecked(true);
        if (viewer.autoSize)
            autoSizeBox_->setChecked(true);
        // A file without the line leaves the dialog's own choice (full screen at first).
        if (lines.size() > qsizetype(ViewerSettingsLine::FullScreen))
            (viewer.fullScreen ? fullScreenButton_ : sizeableButton_)->setChecked(true);
        scrollTextVisibleBox_->setChecked(viewer.scrollVisible);
        scrollTextEdit_->setText(viewer.scrollText);
    });
    ++activations_;
}

void OptionsDialog::onOkClicked()
{
    const QString shared = main_->sharedFolder();
    // An empty path would put the viewers' settings into whatever the current folder is.
    if (shared.isEmpty())
        throw FileError(tr("No shared folder has been chosen: press Browse to choose the "
                           "folder the viewers watch"));
    // Like every write into the shared folder, through the sending thread in the order asked.
    ViewerSettings viewer;
    viewer.stretch = stretchBox_->isChecked();
    viewer.center = centreBox_->isChecked();
    viewer.autoSize = autoSizeBox_->isChecked();
    viewer.fullScreen = fullScreenButton_->isChecked();
    viewer.scrollVisible = scrollTextVisibleBox_->isChecked();
    viewer.scrollText = scrollTextEdit_->text();
    viewer.dialogBorder = dialogBorderBox_->isChecked();
    main_->state().writeViewerSettings(viewerSettingsLines(viewer, shared + kBitmapName));
    runQueuedEvents();
    writeLineFile(main_->programFolder() + kSettingsPointerName, {shared + kViewerSettingsName});
    setModalResult(ModalResult::Ok);
    const bool onlyQuorix = onlyQuorixViewersBox_->isChecked();
    main_->state().onlyQuorixViewers = onlyQuorix;
    if (!writeOnlyQuorixViewers(onlyQuorix))
        throw FileError(tr("The setting \"Only Quorix viewers in this room\" could not be "
                           "stored: it holds until Quorix ends"));
}

void OptionsDialog::onCancelClicked()
{
    setModalResult(ModalResult::Cancel);
}

void OptionsDialog::chooseSharedFolder()
{
    // The chooser opens on the shared folder in use, when there is one.
    if (const QString shared = main_->sharedFolder(); !shared.isEmpty()) {
        folderChooser_->directory = shared;
        while (folderChooser_->directory.size() > 1 &&
               folderChooser_->directory.endsWith(QLatin1Char('/')))
            folderChooser_->directory.chop(1);
    }
    if (!folderChooser_->choose())
        return;
    const QString folder = withTrailingSlash(folderChooser_->directory);
    main_->setSharedFolder(folder);
    folderEdit_->setText(folder);
}

void OptionsDialog::showAbout()
{
    if (!aboutBox_)
        return;
    aboutBox_->showModal();
    // Coming back from the About box the dialog reads the viewer settings file afresh.
    activateWindow();
    readSettings();
}

} // namespace quorix
