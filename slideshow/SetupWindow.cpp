// The set-up window's layout, its creation and its window events.
#include "slideshow/SetupWindow.h"

#include "controls/ColourPanel.h"
#include "controls/ErrorReport.h"
#include "controls/GradientButton.h"
#include "controls/GradientButtonPalettes.h"
#include "controls/Layout.h"
#include "presenter/SharedState.h"
#include "slideshow/SlideRows.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCompleter>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

namespace quorix {

namespace {

constexpr int kClientWidth = 992;
constexpr int kClientHeight = 597;

// The entry preview: a dark grey frame (red, green and blue 68) with a 5-pixel margin
// around the square the pictures are fitted to.
constexpr std::uint32_t kEntryFrameColour = 0x444444;
constexpr int kEntryMargin = 5;
constexpr int kEntrySide = 209;

// Preview, Stop and Close; Move Up and Move Down.
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kMoveButtonWidth = 100;
constexpr int kMoveButtonHeight = 33;

// "Description|*.a;*.b|..." pairs as Qt name filters "Description (*.a *.b)". File names
// on this system are case-sensitive, so each pattern also admits its upper-case form
// (photos from cameras come as .JPG).
QStringList nameFilters(const QString &pairs)
{
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &p : parts[i + 1].split(QLatin1Char(';'))) {
            patterns << p;
            if (p.toUpper() != p)
                patterns << p.toUpper();
        }
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters;
}

QFileDialog *fileDialog(QWidget *parent, const char *name, const QString &filter)
{
    auto *d = new QFileDialog(parent);
    d->setObjectName(QLatin1String(name));
    d->setOption(QFileDialog::DontUseNativeDialog);
    d->setOption(QFileDialog::ReadOnly, false);
    d->setNameFilters(nameFilters(filter));
    return d;
}

QPushButton *pushButton(QWidget *parent, const char *name, const QString &caption, int left,
                        int top, int width, int height)
{
    return place(new QPushButton(caption, parent), name, left, top, width, height);
}

} // namespace

SetupWindow::SetupWindow(SharedState &state, QWidget *parent) : ModalDialog(parent), state_(state)
{
    setupLayout();
    setupDialogs();
    connectHandlers();
    // Dropped files arrive whole, as local paths.
    setAcceptDrops(true);
    setLines({});
}

void SetupWindow::setupLayout()
{
    setObjectName(QStringLiteral("setupWindow"));
    setWindowTitle(tr("Setup Slide Show"));
    setFont(layoutFont());
    QWidget *client = setupMenuAndClient();
    setupListButtons(client);
    setupListAndEntry(client);
    setupOtherControls(client);
}

QWidget *SetupWindow::setupMenuAndClient()
{
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("menuBar"));
    menuBar_->addMenu(tr("File"));
    QMenu *edit = menuBar_->addMenu(tr("Edit"));
    selectAllAction_ = edit->addAction(tr("Selectt All"));
    selectAllAction_->setObjectName(QStringLiteral("selectAllAction"));
    selectAllAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    const int menuHeight = menuBar_->sizeHint().height();
    menuBar_->setGeometry(0, 0, kClientWidth, menuHeight);
    // The client area lies below the menu, as the layout's positions expect.
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setGeometry(0, menuHeight, kClientWidth, kClientHeight);
    setFixedSize(kClientWidth, kClientHeight + menuHeight);
    centreOnPrimaryScreen(this);
    return client;
}

void SetupWindow::setupListButtons(QWidget *client)
{
    const struct
    {
        GradientButton *&button;
        const char *name;
        QString caption;
        int left;
        SetupListButton style;
    } listButtons[] = {
        {addFilesButton_, "addFilesButton", tr("Add Files"), 16, SetupListButton::AddFiles},
        {openListButton_, "openListButton", tr("Open Files List"), 128, SetupListButton::OpenList},
        {saveListButton_, "saveListButton", tr("Save Files List"), 240, SetupListButton::SaveList},
        {removeButton_, "removeButton", tr("Remove"), 352, SetupListButton::Remove},
    };
    for (const auto &b : listButtons) {
        b.button = place(new GradientButton(client), b.name, b.left, 14, 105, 25);
        b.button->setCaption(b.caption);
        applySetupListStyle(*b.button, b.style);
    }
}

void SetupWindow::setupListAndEntry(QWidget *client)
{
    slideList_ = place(new QTreeWidget(client), "slideList", 16, 46, 730, 537);
    slideList_->setRootIsDecorated(false);
    slideList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    slideList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    slideList_->setSortingEnabled(false);
    slideList_->header()->setSectionsMovable(true);
    slideList_->header()->setSectionsClickable(true);
    setupSlideColumns(*slideList_);

    constexpr int frameSide = kEntrySide + 2 * kEntryMargin;
    entryFrame_ = place(new ColourPanel(client), "entryFrame", 758, 46, frameSide, frameSide);
    entryFrame_->setColour(kEntryFrameColour);
    entryPicture_ = place(new QLabel(entryFrame_), "entryPicture", kEntryMargin, kEntryMargin,
                          kEntrySide, kEntrySide);
    entryPicture_->setAlignment(Qt::AlignCenter);
    entryText_ = place(new QTextEdit(entryFrame_), "entryText", kEntryMargin, kEntryMargin,
                       kEntrySide, kEntrySide);
    entryText_->setReadOnly(true);
    entryText_->setFrameShape(QFrame::NoFrame);
    entryText_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    entryText_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    entryText_->hide();
}

void SetupWindow::setupOtherControls(QWidget *client)
{
    moveUpButton_ = pushButton(client, "moveUpButton", tr("Move Up"), 760, 286, kMoveButtonWidth,
                               kMoveButtonHeight);
    moveDownButton_ = pushButton(client, "moveDownButton", tr("Move Down"), 872, 286,
                                 kMoveButtonWidth, kMoveButtonHeight);
    loopBox_ = place(new QCheckBox(tr("Loop"), client), "loopBox", 768, 334, 57, 17);
    durationLabel_ =
        place(new QLabel(tr("Slide duration:"), client), "durationLabel", 768, 374, 200, 13);
    durationSlider_ =
        place(new QSlider(Qt::Horizontal, client), "durationSlider", 760, 398, 217, 45);
    durationSlider_->setRange(kMinSetupDuration, kMaxSetupDuration);
    durationSlider_->setValue(kMinSetupDuration);
    durationSlider_->setTickPosition(QSlider::TicksBothSides);
    previewButton_ =
        pushButton(client, "previewButton", tr("Preview"), 768, 464, kButtonWidth, kButtonHeight);
    stopButton_ =
        pushButton(client, "stopButton", tr("Stop"), 856, 464, kButtonWidth, kButtonHeight);
    closeButton_ =
        pushButton(client, "closeButton", tr("Close"), 896, 552, kButtonWidth, kButtonHeight);
    rebuildButton_ = pushButton(client, "rebuildButton", QString(), 480, 22, 25, 17);
    rebuildButton_->hide();
    for (QPushButton *b : {moveUpButton_, moveDownButton_, previewButton_, stopButton_,
                           closeButton_, rebuildButton_})
        b->setAutoDefault(false);
    linesView_ = place(new QPlainTextEdit(client), "linesView", 768, 512, 185, 55);
    linesView_->setLineWrapMode(QPlainTextEdit::NoWrap);
    linesView_->hide();
}

void SetupWindow::setupDialogs()
{
    addFilesDialog_ =
        fileDialog(this, "addFilesDialog",
                   tr("All (*.jpg;*.jpeg;*.bmp;*.png;*.rtf;*.txt)|*.jpg;*.jpeg;*.bmp;*.png;"
                      "*.rtf;*.txt|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|"
                      "*.jpeg|Bitmaps (*.bmp)|*.bmp|Png Images(*.png)|*.png|Rich Text "
                      "Format|*.rtf|Text File (*.txt)|*.txt"));
    addFilesDialog_->setFileMode(QFileDialog::ExistingFiles);
    openDialog_ = fileDialog(this, "openDialog", tr("Quorix Slide Show (*obl)|*.obl"));
    openDialog_->setFileMode(QFileDialog::ExistingFile);
    saveDialog_ = fileDialog(this, "saveDialog", tr("Orbelin (*obl)|*.obl"));
    saveDialog_->setAcceptMode(QFileDialog::AcceptSave);
    saveDialog_->setDefaultSuffix(QStringLiteral("obl"));
}

void SetupWindow::connectHandlers()
{
    auto onClick = [this](auto *button, void (SetupWindow::*handler)()) {
        using Button = std::remove_pointer_t<decltype(button)>;
        connect(button, &Button::clicked, this, reported([this, handler] { (this->*handler)(); }));
    };
    onClick(addFilesButton_, &SetupWindow::addFiles);
    onClick(openListButton_, &SetupWindow::openList);
    onClick(saveListButton_, &SetupWindow::saveList);
    onClick(removeButton_, &SetupWindow::removeSelected);
    onClick(moveUpButton_, &SetupWindow::moveUp);
    onClick(moveDownButton_, &SetupWindow::moveDown);
    onClick(previewButton_, &SetupWindow::playPreview);
    onClick(stopButton_, &SetupWindow::stopPreview);
    onClick(closeButton_, &SetupWindow::onCloseClicked);
    onClick(rebuildButton_, &SetupWindow::rebuildLines);
    connect(selectAllAction_, &QAction::triggered, this, reported([this] { selectAllSlides(); }));
    connect(durationSlider_, &QSlider::valueChanged, this, reported([this] { showDuration(); }));
    connect(slideList_, &QTreeWidget::clicked, this, reported([this] { showSelectedEntry(); }));
    connect(slideList_, &QTreeWidget::doubleClicked, this,
            reported([this] { showSelectedEntry(); }));
    connect(slideList_->header(), &QHeaderView::sectionClicked, this,
            reported([this](int column) { sortByColumn(column); }));
    slideList_->installEventFilter(this);
    slideList_->viewport()->installEventFilter(this);
}

bool SetupWindow::eventFilter(QObject *watched, QEvent *e)
{
    // Every key released in the list refreshes the entry preview, so the arrow keys move
    // the preview along.
    if (watched == slideList_ && e->type() == QEvent::KeyRelease &&
        !static_cast<QKeyEvent *>(e)->isAutoRepeat())
        runReported([this] { showSelectedEntry(); });
    // A click on the empty part of the list clears the selection, as the list handles the
    // release, without a `clicked` signal; the entry preview runs all the same, once the
    // list has handled it, and clears the picture.
    if (watched == slideList_->viewport() && e->type() == QEvent::MouseButtonRelease &&
        !slideList_->itemAt(static_cast<QMouseEvent *>(e)->position().toPoint()))
        QTimer::singleShot(0, this, reported([this] { showSelectedEntry(); }));
    return ModalDialog::eventFilter(watched, e);
}

void SetupWindow::showEvent(QShowEvent *e)
{
    ModalDialog::showEvent(e);
    runReported([this] { showDuration(); });
}

void SetupWindow::closeEvent(QCloseEvent *e)
{
    // A running Preview, and the main window's timed playback, end.
    state_.stopFlag = true;
    closingByFrame_ = true;
    ModalDialog::closeEvent(e);
    closingByFrame_ = false;
}

void SetupWindow::reject()
{
    // Esc acts as Close; the close box only closes.
    if (closingByFrame_)
        ModalDialog::reject();
    else
        runReported([this] { onCloseClicked(); });
}

void SetupWindow::dragEnterEvent(QDragEnterEvent *e)
{
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void SetupWindow::dropEvent(QDropEvent *e)
{
    QStringList paths;
    for (const QUrl &url : e->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    e->acceptProposedAction();
    runReported([this, paths] { addDroppedFiles(paths); });
}

void SetupWindow::setLines(const QStringList &lines)
{
    lines_ = lines;
    linesView_->setPlainText(lines.join(QLatin1Char('\n')));
}

QWidget *SetupWindow::dialogOwner()
{
    return isVisible() || !parentWidget() ? this : parentWidget();
}

bool SetupWindow::runFileDialog(QFileDialog *dialog)
{
    QWidget *owner = dialogOwner();
    if (dialog->parentWidget() != owner)
        dialog->setParent(owner, dialog->windowFlags());
    const bool accepted = dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty();
    // A name typed and confirmed with Enter can leave its completion list on the screen.
    for (QCompleter *completer : dialog->findChildren<QCompleter *>())
        if (completer->popup())
            completer->popup()->hide();
    return accepted;
}

void SetupWindow::showDuration()
{
    durationLabel_->setText(tr("Slide duration: ") + QString::number(durationSlider_->value()));
}

} // namespace quorix
