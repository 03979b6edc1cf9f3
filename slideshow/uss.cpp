// The set-up window's layout, its creation and its window events.
#include "slideshow/uss.h"

#include "controls/ColourPanel.h"
#include "controls/ErrorReport.h"
#include "controls/GradientButton.h"
#include "controls/GradientButtonPalettes.h"
#include "controls/Layout.h"
#include "platform/SharedState.h"
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

Tfss::Tfss(SharedState &state, QWidget *parent) : ModalDialog(parent), state_(state)
{
    setupLayout();
    setupDialogs();
    connectHandlers();
    // Dropped files arrive whole, as local paths.
    setAcceptDrops(true);
    setLines({});
}

void Tfss::setupLayout()
{
    setObjectName(QStringLiteral("fss"));
    setWindowTitle(tr("Setup Slide Show"));
    setFont(layoutFont());

    MainMenu = new QMenuBar(this);
    MainMenu->setObjectName(QStringLiteral("MainMenu"));
    MainMenu->addMenu(tr("File"));
    QMenu *edit = MainMenu->addMenu(tr("Edit"));
    SelecttAll = edit->addAction(tr("Selectt All"));
    SelecttAll->setObjectName(QStringLiteral("SelecttAll"));
    SelecttAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    const int menuHeight = MainMenu->sizeHint().height();
    MainMenu->setGeometry(0, 0, kClientWidth, menuHeight);
    // The client area lies below the menu, as the layout's positions expect.
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setGeometry(0, menuHeight, kClientWidth, kClientHeight);
    setFixedSize(kClientWidth, kClientHeight + menuHeight);
    centreOnPrimaryScreen(this);

    const struct
    {
        GradientButton *&button;
        const char *name;
        QString caption;
        int left;
        SetupListButton style;
    } listButtons[] = {
        {XiButton6, "XiButton6", tr("Add Files"), 16, SetupListButton::AddFiles},
        {XiButton2, "XiButton2", tr("Open Files List"), 128, SetupListButton::OpenList},
        {XiButton3, "XiButton3", tr("Save Files List"), 240, SetupListButton::SaveList},
        {XiButton4, "XiButton4", tr("Remove"), 352, SetupListButton::Remove},
    };
    for (const auto &b : listButtons) {
        b.button = place(new GradientButton(client), b.name, b.left, 14, 105, 25);
        b.button->setCaption(b.caption);
        applySetupListStyle(*b.button, b.style);
    }

    tabela = place(new QTreeWidget(client), "tabela", 16, 46, 730, 537);
    tabela->setRootIsDecorated(false);
    tabela->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tabela->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabela->setSortingEnabled(false);
    tabela->header()->setSectionsMovable(true);
    tabela->header()->setSectionsClickable(true);
    setupSlideColumns(*tabela);

    Panel5 = place(new ColourPanel(client), "Panel5", 758, 46, 219, 219);
    Panel5->setColor(4473924);
    slika = place(new QLabel(Panel5), "slika", 5, 5, 209, 209);
    slika->setAlignment(Qt::AlignCenter);
    Editor = place(new QTextEdit(Panel5), "Editor", 5, 5, 209, 209);
    Editor->setReadOnly(true);
    Editor->setFrameShape(QFrame::NoFrame);
    Editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Editor->hide();

    SB3 = pushButton(client, "SB3", tr("Move Up"), 760, 286, 100, 33);
    sb4 = pushButton(client, "sb4", tr("Move Down"), 872, 286, 100, 33);
    cbloop = place(new QCheckBox(tr("Loop"), client), "cbloop", 768, 334, 57, 17);
    l_td = place(new QLabel(tr("Slide duration:"), client), "l_td", 768, 374, 200, 13);
    tbr = place(new QSlider(Qt::Horizontal, client), "tbr", 760, 398, 217, 45);
    tbr->setRange(1, 100);
    tbr->setValue(1);
    tbr->setTickPosition(QSlider::TicksBothSides);
    BitBtn1 = pushButton(client, "BitBtn1", tr("Preview"), 768, 464, 75, 25);
    BitBtn3 = pushButton(client, "BitBtn3", tr("Stop"), 856, 464, 75, 25);
    BitBtn2 = pushButton(client, "BitBtn2", tr("Close"), 896, 552, 75, 25);
    Button1 = pushButton(client, "Button1", QString(), 480, 22, 25, 17);
    Button1->hide();
    for (QPushButton *b : {SB3, sb4, BitBtn1, BitBtn3, BitBtn2, Button1})
        b->setAutoDefault(false);
    mm = place(new QPlainTextEdit(client), "mm", 768, 512, 185, 55);
    mm->setLineWrapMode(QPlainTextEdit::NoWrap);
    mm->hide();
}

void Tfss::setupDialogs()
{
    od = fileDialog(this, "od",
                    tr("All (*.jpg;*.jpeg;*.bmp;*.png;*.rtf;*.txt)|*.jpg;*.jpeg;*.bmp;*.png;"
                       "*.rtf;*.txt|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|"
                       "*.jpeg|Bitmaps (*.bmp)|*.bmp|Png Images(*.png)|*.png|Rich Text "
                       "Format|*.rtf|Text File (*.txt)|*.txt"));
    od->setFileMode(QFileDialog::ExistingFiles);
    OpenDialog = fileDialog(this, "OpenDialog", tr("Quorix Slide Show (*obl)|*.obl"));
    OpenDialog->setFileMode(QFileDialog::ExistingFile);
    SaveDialog = fileDialog(this, "SaveDialog", tr("Orbelin (*obl)|*.obl"));
    SaveDialog->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog->setDefaultSuffix(QStringLiteral("obl"));
}

void Tfss::connectHandlers()
{
    auto onClick = [this](auto *button, void (Tfss::*handler)()) {
        using Button = std::remove_pointer_t<decltype(button)>;
        connect(button, &Button::clicked, this, reported([this, handler] { (this->*handler)(); }));
    };
    onClick(XiButton6, &Tfss::XiButton6Click);
    onClick(XiButton2, &Tfss::XiButton2Click);
    onClick(XiButton3, &Tfss::XiButton3Click);
    onClick(XiButton4, &Tfss::XiButton4Click);
    onClick(SB3, &Tfss::SB3Click);
    onClick(sb4, &Tfss::sb4Click);
    onClick(BitBtn1, &Tfss::BitBtn1Click);
    onClick(BitBtn3, &Tfss::BitBtn3Click);
    onClick(BitBtn2, &Tfss::BitBtn2Click);
    onClick(Button1, &Tfss::Button1Click);
    connect(SelecttAll, &QAction::triggered, this, reported([this] { SelecttAllClick(); }));
    connect(tbr, &QSlider::valueChanged, this, reported([this] { tbrChange(); }));
    connect(tabela, &QTreeWidget::clicked, this, reported([this] { tabelaDblClick(); }));
    connect(tabela, &QTreeWidget::doubleClicked, this, reported([this] { tabelaDblClick(); }));
    connect(tabela->header(), &QHeaderView::sectionClicked, this,
            reported([this](int column) { tabelaColumnClick(column); }));
    tabela->installEventFilter(this);
    tabela->viewport()->installEventFilter(this);
}

bool Tfss::eventFilter(QObject *watched, QEvent *e)
{
    // Every key released in the list refreshes the entry preview (tabelaKeyUp), so the
    // arrow keys move the preview along.
    if (watched == tabela && e->type() == QEvent::KeyRelease &&
        !static_cast<QKeyEvent *>(e)->isAutoRepeat())
        runReported([this] { tabelaDblClick(); });
    // A click on the empty part of the list clears the selection, as the list handles the
    // release, without a `clicked` signal; the entry preview runs all the same
    // (tabelaClick), once the list has handled it, and clears the picture.
    if (watched == tabela->viewport() && e->type() == QEvent::MouseButtonRelease &&
        !tabela->itemAt(static_cast<QMouseEvent *>(e)->position().toPoint()))
        QTimer::singleShot(0, this, reported([this] { tabelaDblClick(); }));
    return ModalDialog::eventFilter(watched, e);
}

void Tfss::showEvent(QShowEvent *e)
{
    ModalDialog::showEvent(e);
    runReported([this] { tbrChange(); }); // FormActivate
}

void Tfss::closeEvent(QCloseEvent *e)
{
    // FormCloseQuery: a running Preview, and the main window's timed playback, end.
    state_.stopFlag = true;
    closingByFrame_ = true;
    ModalDialog::closeEvent(e);
    closingByFrame_ = false;
}

void Tfss::reject()
{
    // Esc acts as Close; the close box only closes.
    if (closingByFrame_)
        ModalDialog::reject();
    else
        runReported([this] { BitBtn2Click(); });
}

void Tfss::dragEnterEvent(QDragEnterEvent *e)
{
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void Tfss::dropEvent(QDropEvent *e)
{
    QStringList paths;
    for (const QUrl &url : e->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    e->acceptProposedAction();
    runReported([this, paths] { aceptFiles(paths); });
}

void Tfss::setLines(const QStringList &lines)
{
    lines_ = lines;
    mm->setPlainText(lines.join(QLatin1Char('\n')));
}

QWidget *Tfss::dialogOwner()
{
    return isVisible() || !parentWidget() ? this : parentWidget();
}

bool Tfss::runFileDialog(QFileDialog *dialog)
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

QString Tfss::line(int index) const
{
    return index >= 0 && index < lines_.size() ? lines_.at(index) : QString();
}

void Tfss::tbrChange()
{
    l_td->setText(tr("Slide duration: ") + QString::number(tbr->value()));
}

} // namespace quorix
