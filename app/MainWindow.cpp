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
#include "platform/Colour.h"
#include "platform/WindowSystem.h"
#include "slideshow/SlidePage.h"
#include "text/TextPage.h"

#include <QBitmap>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QPainter>
#include <QStackedWidget>

#include <algorithm>

namespace quorix {

namespace {

ColourPanel *panel(QWidget *parent, const char *name, int left, int top, int width, int height,
                   std::uint32_t colour)
{
    auto *p = place(new ColourPanel(parent), name, left, top, width, height);
    p->setColor(colour);
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
    foptions_ = dialog;
}

void MainWindow::setTextEditor(Tftext *editor)
{
    textPage_->setEditor(editor);
}

void MainWindow::setSetupWindow(Tfss *fss)
{
    slidePage_->setSetupWindow(fss);
}

MainWindow::~MainWindow()
{
    FormDestroy();
}

void MainWindow::setupLayout()
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(tr("Quorix"));
    resize(496, 348);
    move(290, 172);
    const QFont f = layoutFont();
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, bgrColour(15063253));
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    RGPanel1 = place(new DragPanel(this), "RGPanel1", 0, 0, 496, 348);
    RGPanel1->setColor(colours::background);
    RGPanel1->setFloatingPanel(DragPanel::fpParent);

    Image1 = place(new QLabel(RGPanel1), "Image1", 8, 8, 70, 36);
    Image1->setPixmap(QPixmap::fromImage(logoPicture()));
    // The logo belongs to the background: a press on it moves the window too.
    Image1->setAttribute(Qt::WA_TransparentForMouseEvents);

    CBX1 = place(new QCheckBox(RGPanel1), "CBX1", 96, 24, 17, 15);
    Label1 =
        place(new ClickableLabel(tr("automatically send"), RGPanel1), "Label1", 112, 24, 87, 13);
    Label1->setCursor(Qt::PointingHandCursor);
    // The face that stands in for the laid-out font may be wider: never cut the caption.
    Label1->resize(std::max(Label1->width(), Label1->sizeHint().width()), Label1->height());

    D2 = new QLabel(RGPanel1);
    D2->setObjectName(QStringLiteral("D2"));
    D2->move(184, 0);
    D2->setAlignment(Qt::AlignCenter);
    D2->setAutoFillBackground(true);
    QFont bold = f;
    bold.setBold(true);
    D2->setFont(bold);
    QPalette d2 = D2->palette();
    d2.setColor(QPalette::Window, bgrColour(14601673));
    d2.setColor(QPalette::WindowText, Qt::yellow);
    D2->setPalette(d2);
    D2->hide();

    x3 = button(RGPanel1, "x3", 470, 8, 16, 14, tr("Close"), closeGlyph(), MainButton::Close);
    x4 = button(RGPanel1, "x4", 470, 28, 16, 14, tr("Minimize"), foldGlyph(), MainButton::Fold);
    x2 = button(RGPanel1, "x2", 408, 14, 49, 36, tr("Send"), sendGlyph(), MainButton::Send);

    Panel9 = panel(RGPanel1, "Panel9", 8, 52, 49, 18, colours::background);
    Panel9->setCaption(tr(" Source "));
    Panel9->raise();
    GroupBox1 = place(new QGroupBox(RGPanel1), "GroupBox1", 6, 62, 65, 241);
    Panel9->raise();

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
        {pa1, XiButton2, "pa1", "XiButton2", 14, tr("Clipboard Image"), clipboardGlyph(),
         MainButton::Clipboard},
        {pa2, XiButton3, "pa2", "XiButton3", 59, tr("Screen Image"), screenGlyph(),
         MainButton::Screen},
        {pa3, XiButton1, "pa3", "XiButton1", 104, tr("Window Image"), windowGlyph(),
         MainButton::Window},
        {pa4, XiButton4, "pa4", "XiButton4", 149, tr("Slideshow"), slideshowGlyph(),
         MainButton::Slideshow},
        {p5, XiButton6, "p5", "XiButton6", 195, tr("Text"), textGlyph(), MainButton::Text},
    };
    for (const Source &s : sources) {
        s.panel = panel(GroupBox1, s.panelName, 7, s.top, 51, 38, colours::background);
        s.button = button(s.panel, s.buttonName, 1, 1, 49, 36, s.hint, s.glyph, s.style);
    }

    Panel4 = panel(RGPanel1, "Panel4", 10, 303, 55, 44, colours::background);
    XiButton5 = button(Panel4, "XiButton5", 3, 4, 49, 36, tr("Options"), optionsGlyph(),
                       MainButton::Options);
    Panel5 = panel(RGPanel1, "Panel5", 274, 14, 51, 38, colours::background);
    Panel5->hide();
    Panel6 = panel(RGPanel1, "Panel6", 226, 14, 51, 38, colours::background);
    Panel6->hide();

    Panel1 = panel(RGPanel1, "Panel1", 75, 62, 409, 281, 0xFFFFFF);
    pd = panel(Panel1, "pd", 1, 1, 407, 15, colours::background);
    nbook = place(new QStackedWidget(Panel1), "nbook", 1, 16, 407, 264);
    QPalette book = nbook->palette();
    book.setColor(QPalette::Window, bgrColour(colours::notebook));
    nbook->setPalette(book);
    nbook->setAutoFillBackground(true);

    const char *pages[] = {"main", "window", "PRIKAZ", "option", "LOGO"};
    for (const char *name : pages) {
        auto *page = new QWidget(nbook);
        page->setObjectName(QLatin1String(name));
        nbook->addWidget(page);
    }
    Panel2 = panel(nbook->widget(0), "Panel2", 0, 0, 407, 264, colours::notebook);
    Panel2->setCaption(QStringLiteral("Ombrak Quorix"));
    QFont big = f;
    big.setPixelSize(32);
    Panel2->setFont(big);
    QPalette p2 = Panel2->palette();
    p2.setColor(QPalette::WindowText, bgrColour(5848320));
    Panel2->setPalette(p2);
    SLIKA = place(new QLabel(nbook->widget(1)), "SLIKA", 0, 0, 407, 264);
    SLIKA->setAlignment(Qt::AlignCenter);
    SLIKA->setPixmap(QPixmap::fromImage(initialPreview()));
    p3 = panel(nbook->widget(4), "p3", 0, 0, 407, 264, 0);
    nbook->setCurrentIndex(4);

    Timer1 = new RestartOnChangeTimer(this, 500);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer2 = new RestartOnChangeTimer(this, 100);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer3 = new RestartOnChangeTimer(this, 500);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    pcjb = new ClipboardWatcher(this);
    pcjb->setObjectName(QStringLiteral("pcjb"));
    setupPages();
}

void MainWindow::setupPages()
{
    textPage_ = new TextPage(
        state_, Panel1, [this] { x2Click(); }, this);
    p9 = textPage_->p9;
    red = textPage_->red;
    slidePage_ = new SlidePage(state_, Panel1, red, this);
    p7 = slidePage_->p7;
    Timerstep = slidePage_->Timerstep;
    const CaptureSources::Controls controls{SLIKA,  Panel2, pd,   nbook, Timer1,
                                            Timer2, Timer3, pcjb, this};
    capture_ = new CaptureSources(
        state_, controls, [this] { preveriMapo(); }, windowSystem(), this);
}

void MainWindow::connectHandlers()
{
    auto onClick = [this](GradientButton *b, void (MainWindow::*handler)()) {
        connect(b, &GradientButton::clicked, this,
                reported([this, handler] { (this->*handler)(); }));
    };
    onClick(x2, &MainWindow::x2Click);
    onClick(x3, &MainWindow::x3Click);
    onClick(x4, &MainWindow::x4Click);
    onClick(XiButton2, &MainWindow::XiButton2Click);
    onClick(XiButton3, &MainWindow::XiButton3Click);
    onClick(XiButton1, &MainWindow::XiButton1Click);
    onClick(XiButton4, &MainWindow::XiButton4Click);
    onClick(XiButton6, &MainWindow::XiButton6Click);
    onClick(XiButton5, &MainWindow::XiButton5Click);
    connect(CBX1, &QCheckBox::toggled, this, reported([this](bool on) {
                state_.autoSend = on;
                CBX1Click();
            }));
    connect(Label1, &ClickableLabel::clicked, this, reported([this] { Label1Click(); }));
    connect(RGPanel1, &DragPanel::doubleClicked, this, reported([this] { RGPanel1DblClick(); }));
    connect(Timer1, &RestartOnChangeTimer::OnTimer, this, reported([this] { Timer1Timer(); }));
    connect(Timer2, &RestartOnChangeTimer::OnTimer, this, reported([this] { Timer2Timer(); }));
    connect(Timer3, &RestartOnChangeTimer::OnTimer, this, reported([this] { Timer3Timer(); }));
    connect(pcjb, &ClipboardWatcher::OnClipboardChanged, this,
            reported([this] { pcjbClipboardChanged(); }));
    connect(&state_, &SharedState::notSent, this,
            [this](Sent reason) { showExchangeProblem(reason); });
    connect(&state_, &SharedState::sent, this, [this] { clearExchangeProblem(); });
    connect(&state_, &SharedState::problemChanged, this, [this](const QString &text) {
        if (text.isEmpty())
            clearExchangeProblem();
        else
            showProblem(text);
    });
}

void MainWindow::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    RGPanel1->resize(size());
    runReported([this] { FormResize(); });
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
