#include "app/MainWindow.h"

#include "app/Glyphs.h"
#include "app/MainButtonStyle.h"
#include "app/OptionsDialog.h"
#include "capture/CaptureSources.h"
#include "controls/ClickableLabel.h"
#include "controls/ClipboardWatcher.h"
#include "controls/ColourPanel.h"
#include "controls/Colours.h"
#include "controls/DragPanel.h"
#include "controls/ErrorReport.h"
#include "controls/GradientButton.h"
#include "controls/Layout.h"
#include "core/Colour.h"
#include "slideshow/SlidePage.h"
#include "text/TextPage.h"
#include "windowsystem/WindowSystem.h"

#include <QBitmap>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QPainter>
#include <QStackedWidget>

#include <algorithm>
#include <iterator>

namespace quorix {

namespace {

using namespace mainlayout;

// Where the window first appears, before start-up restores the place it was left at.
constexpr QPoint kFirstPosition{290, 172};
// The white line around the notebook, and the black page shown until start-up.
constexpr std::uint32_t kPageFrameColour = 0xFFFFFF;
constexpr std::uint32_t kBlankPageColour = 0;

// The Send, source and Options buttons; the close and fold buttons.
constexpr int kButtonWidth = 49;
constexpr int kButtonHeight = 36;
constexpr int kCornerButtonWidth = 16;
constexpr int kCornerButtonHeight = 14;
// Every page of the notebook.
constexpr int kPageWidth = 407;
constexpr int kPageHeight = 264;

// How often the captured screen or window is looked at, and the automatic-sending switch
// checked (ms).
constexpr int kCaptureInterval = 500;
constexpr int kAutoSendWatchInterval = 100;

ColourPanel *panel(QWidget *parent, const char *name, int left, int top, int width, int height,
                   std::uint32_t colour)
{
    auto *p = place(new ColourPanel(parent), name, left, top, width, height);
    p->setColour(colour);
    return p;
}

GradientButton *button(QWidget *parent, const char *name, int left, int top, int width, int height,
                       const QString &hint, const QImage &glyph, MainButton style)
{
    auto *b = place(new GradientButton(parent), name, left, top, width, height);
    b->setToolTip(hint);
    b->setGlyph(glyph);
    applyMainButtonStyle(b, style);
    return b;
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setupLayout();
    connectHandlers();
}

void MainWindow::setOptionsDialog(OptionsDialog *dialog)
{
    optionsDialog_ = dialog;
}

void MainWindow::setTextEditor(TextEditor *editor)
{
    textPage_->setEditor(editor);
}

void MainWindow::setSetupWindow(SetupWindow *setupWindow)
{
    slidePage_->setSetupWindow(setupWindow);
}

MainWindow::~MainWindow()
{
    shutDown();
}

void MainWindow::setupLayout()
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(tr("Quorix"));
    resize(kWidth, kHeight);
    move(kFirstPosition);
    setFont(layoutFont());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, bgrColour(colours::mainWindowFace));
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    setupTitleStrip();
    setupSourceButtons();
    setupNotebook();
    setupTimers();
    setupPages();
}

// The background that moves the window, and along the top: the logo, automatic sending,
// the status label, Send, close and fold.
void MainWindow::setupTitleStrip()
{
    background_ = place(new DragPanel(this), "background", 0, 0, kWidth, kHeight);
    background_->setColour(colours::background);
    background_->setDragTarget(DragPanel::DragTarget::MovesParentWindow);

    logo_ = place(new QLabel(background_), "logo", 8, 8, 70, 36);
    logo_->setPixmap(QPixmap::fromImage(logoPicture()));
    // The logo belongs to the background: a press on it moves the window too.
    logo_->setAttribute(Qt::WA_TransparentForMouseEvents);

    autoSendBox_ = place(new QCheckBox(background_), "autoSendBox", 96, 24, 17, 15);
    autoSendLabel_ = place(new ClickableLabel(tr("automatically send"), background_),
                           "autoSendLabel", 112, 24, 87, 13);
    autoSendLabel_->setCursor(Qt::PointingHandCursor);
    // The face that stands in for the laid-out font may be wider: never cut the caption.
    autoSendLabel_->resize(std::max(autoSendLabel_->width(), autoSendLabel_->sizeHint().width()),
                           autoSendLabel_->height());

    statusLabel_ = new QLabel(background_);
    statusLabel_->setObjectName(QStringLiteral("statusLabel"));
    statusLabel_->move(kStatusX, 0);
    statusLabel_->setAlignment(Qt::AlignCenter);
    statusLabel_->setAutoFillBackground(true);
    QFont bold = layoutFont();
    bold.setBold(true);
    statusLabel_->setFont(bold);
    QPalette statusColours = statusLabel_->palette();
    statusColours.setColor(QPalette::Window, bgrColour(colours::statusBackground));
    statusColours.setColor(QPalette::WindowText, Qt::yellow);
    statusLabel_->setPalette(statusColours);
    statusLabel_->hide();

    closeButton_ = button(background_, "closeButton", kCornerButtonsX, 8, kCornerButtonWidth,
                          kCornerButtonHeight, tr("Close"), closeGlyph(), MainButton::Close);
    foldButton_ = button(background_, "foldButton", kCornerButtonsX, 28, kCornerButtonWidth,
                         kCornerButtonHeight, tr("Minimize"), foldGlyph(), MainButton::Fold);
    sendButton_ = button(background_, "sendButton", kSendButtonAt.x(), kSendButtonAt.y(),
                         kButtonWidth, kButtonHeight, tr("Send"), sendGlyph(), MainButton::Send);
}

// The column of source buttons on the left, each on a panel that shows which one is
// chosen, and Options below it.
void MainWindow::setupSourceButtons()
{
    sourceCaption_ = panel(background_, "sourceCaption", 8, 52, 49, 18, colours::background);
    sourceCaption_->setCaption(tr(" Source "));
    sourceCaption_->raise();
    sourceBox_ = place(new QGroupBox(background_), "sourceBox", 6, 62, 65, 241);
    sourceCaption_->raise();

    struct Source
    {
        ColourPanel *&panel;
        GradientButton *&button;
        const char *panelName;
        const char *buttonName;
        int top;
        QString hint;
        QImage glyph;
        MainButton style;
    };
    const Source sources[] = {
        {clipboardFrame_, clipboardButton_, "clipboardFrame", "clipboardButton", 14,
         tr("Clipboard Image"), clipboardGlyph(), MainButton::Clipboard},
        {screenFrame_, screenButton_, "screenFrame", "screenButton", 59, tr("Screen Image"),
         screenGlyph(), MainButton::Screen},
        {windowFrame_, windowButton_, "windowFrame", "windowButton", 104, tr("Window Image"),
         windowGlyph(), MainButton::Window},
        {slideShowFrame_, slideShowButton_, "slideShowFrame", "slideShowButton", 149,
         tr("Slideshow"), slideshowGlyph(), MainButton::Slideshow},
        {textFrame_, textButton_, "textFrame", "textButton", 195, tr("Text"), textGlyph(),
         MainButton::Text},
    };
    // A one-pixel frame of the panel's colour around each button.
    for (const Source &s : sources) {
        s.panel = panel(sourceBox_, s.panelName, 7, s.top, kButtonWidth + 2, kButtonHeight + 2,
                        colours::background);
        s.button = button(s.panel, s.buttonName, 1, 1, kButtonWidth, kButtonHeight, s.hint, s.glyph,
                          s.style);
    }

    optionsFrame_ = panel(background_, "optionsFrame", 10, 303, 55, 44, colours::background);
    optionsButton_ = button(optionsFrame_, "optionsButton", 3, 4, kButtonWidth, kButtonHeight,
                            tr("Options"), optionsGlyph(), MainButton::Options);
}

// The notebook on the right: a white frame, the caption strip and the stacked pages.
void MainWindow::setupNotebook()
{
    pageFrame_ =
        panel(background_, "pageFrame", 75, 62, kPageWidth + 2, kPageHeight + 17, kPageFrameColour);
    captionStrip_ = panel(pageFrame_, "captionStrip", 1, 1, kPageWidth, 15, colours::background);
    pages_ = place(new QStackedWidget(pageFrame_), "pages", 1, 16, kPageWidth, kPageHeight);
    QPalette book = pages_->palette();
    book.setColor(QPalette::Window, bgrColour(colours::notebook));
    pages_->setPalette(book);
    pages_->setAutoFillBackground(true);

    // In the order of Page.
    const char *pages[] = {"pickerPage", "previewPage", "slidePage", "optionsPage", "logoPage"};
    static_assert(std::size(pages) == std::size_t(Page::Blank) + 1);
    for (const char *name : pages) {
        auto *page = new QWidget(pages_);
        page->setObjectName(QLatin1String(name));
        pages_->addWidget(page);
    }
    pickerPanel_ = panel(pageWidget(Page::Picker), "pickerPanel", 0, 0, kPageWidth, kPageHeight,
                         colours::notebook);
    pickerPanel_->setCaption(QStringLiteral("Ombrak Quorix"));
    QFont big = layoutFont();
    big.setPixelSize(32);
    pickerPanel_->setFont(big);
    QPalette pickerColours = pickerPanel_->palette();
    pickerColours.setColor(QPalette::WindowText, bgrColour(colours::pickerCaption));
    pickerPanel_->setPalette(pickerColours);
    preview_ =
        place(new QLabel(pageWidget(Page::Preview)), "preview", 0, 0, kPageWidth, kPageHeight);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setPixmap(QPixmap::fromImage(initialPreview()));
    blankPage_ = panel(pageWidget(Page::Blank), "blankPage", 0, 0, kPageWidth, kPageHeight,
                       kBlankPageColour);
    showPage(Page::Blank);
}

void MainWindow::setupTimers()
{
    windowCaptureTimer_ = new RestartOnChangeTimer(this, kCaptureInterval);
    windowCaptureTimer_->setObjectName(QStringLiteral("windowCaptureTimer"));
    autoSendWatch_ = new RestartOnChangeTimer(this, kAutoSendWatchInterval);
    autoSendWatch_->setObjectName(QStringLiteral("autoSendWatch"));
    screenCaptureTimer_ = new RestartOnChangeTimer(this, kCaptureInterval);
    screenCaptureTimer_->setObjectName(QStringLiteral("screenCaptureTimer"));
    clipboardWatcher_ = new ClipboardWatcher(this);
    clipboardWatcher_->setObjectName(QStringLiteral("clipboardWatcher"));
}

QWidget *MainWindow::pageWidget(Page page) const
{
    return pages_->widget(int(page));
}

void MainWindow::showPage(Page page)
{
    pages_->setCurrentIndex(int(page));
}

MainWindow::Page MainWindow::shownPage() const
{
    return Page(pages_->currentIndex());
}

void MainWindow::setupPages()
{
    textPage_ = new TextPage(
        state_, pageFrame_, [this] { send(); }, this);
    textPanel_ = textPage_->panel();
    textView_ = textPage_->view();
    slidePage_ = new SlidePage(state_, pageFrame_, textView_, this);
    slidePanel_ = slidePage_->panel();
    slideTimer_ = slidePage_->playbackTimer();
    const CaptureSources::Controls controls{preview_,
                                            pickerPanel_,
                                            captionStrip_,
                                            [this] { showPage(Page::Preview); },
                                            windowCaptureTimer_,
                                            autoSendWatch_,
                                            screenCaptureTimer_,
                                            clipboardWatcher_,
                                            this};
    capture_ = new CaptureSources(
        state_, controls, [this] { checkSharedFolder(); }, windowSystem(), this);
}

void MainWindow::connectHandlers()
{
    auto onClick = [this](GradientButton *b, void (MainWindow::*handler)()) {
        connect(b, &GradientButton::clicked, this,
                reported([this, handler] { (this->*handler)(); }));
    };
    onClick(sendButton_, &MainWindow::send);
    onClick(closeButton_, &MainWindow::onCloseClicked);
    onClick(foldButton_, &MainWindow::toggleFolded);
    onClick(clipboardButton_, &MainWindow::selectClipboardSource);
    onClick(screenButton_, &MainWindow::selectScreenSource);
    onClick(windowButton_, &MainWindow::selectWindowSource);
    onClick(slideShowButton_, &MainWindow::selectSlideShowSource);
    onClick(textButton_, &MainWindow::selectTextSource);
    onClick(optionsButton_, &MainWindow::openOptionsPausingSources);
    connect(autoSendBox_, &QCheckBox::toggled, this, reported([this](bool on) {
                state_.autoSend = on;
                onAutoSendToggled();
            }));
    connect(autoSendLabel_, &ClickableLabel::clicked, this, reported([this] { toggleAutoSend(); }));
    connect(background_, &DragPanel::doubleClicked, this,
            reported([this] { onBackgroundDoubleClicked(); }));
    connect(windowCaptureTimer_, &RestartOnChangeTimer::timeout, this,
            reported([this] { captureWindowTick(); }));
    connect(autoSendWatch_, &RestartOnChangeTimer::timeout, this,
            reported([this] { onAutoSendWatchTick(); }));
    connect(screenCaptureTimer_, &RestartOnChangeTimer::timeout, this,
            reported([this] { captureScreenTick(); }));
    connect(clipboardWatcher_, &ClipboardWatcher::changed, this,
            reported([this] { onClipboardChanged(); }));
    // The status strip's one slot: the problem of the moment, or none.
    connect(&state_.problems(), &StatusProblems::changed, this, [this](const QString &text) {
        if (text.isEmpty())
            clearExchangeProblem();
        else
            showProblem(text);
    });
    // A write with nowhere to go shows why again, though the text is the same.
    connect(&state_, &SharedState::notSent, this,
            [this] { showProblem(state_.problems().text()); });
}

void MainWindow::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    background_->resize(size());
    runReported([this] { reshape(); });
}

void MainWindow::closeEvent(QCloseEvent *e)
{
    // Closing is always allowed; running slide-show loops are asked to end.
    state_.stopFlag = true;
    e->accept();
}

void MainWindow::shapeWindow()
{
    // Rounded corners drawn by a 7 x 7 ellipse, redone for every size.
    QBitmap mask(size());
    mask.fill(Qt::color0);
    QPainter p(&mask);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::color1);
    p.drawRoundedRect(QRect(QPoint(0, 0), size()), 3.5, 3.5);
    p.end();
    setMask(mask);
}

} // namespace quorix
