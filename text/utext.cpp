#include "text/utext.h"

#include "controls/ColourPanel.h"
#include "controls/ErrorReport.h"
#include "controls/Layout.h"
#include "platform/Guard.h"
#include "text/CustomColours.h"
#include "text/FontComboBox.h"
#include "text/ToolbarIcons.h"

#include <QAction>
#include <QActionGroup>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPixmap>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace quorix {

namespace {

constexpr int kButtonWidth = 23;
constexpr int kGapWidth = 8;

QAction *toolButton(QToolBar *bar, const char *name, int image, bool checkable = false)
{
    auto *action = new QAction(QIcon(QPixmap::fromImage(toolbarImage(image))), QString(), bar);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(checkable);
    bar->addAction(action);
    if (QWidget *button = bar->widgetForAction(action))
        button->setFixedWidth(kButtonWidth);
    return action;
}

// A divider draws a line; a separator is blank space.
void divider(QToolBar *bar, const char *name)
{
    bar->addSeparator()->setObjectName(QLatin1String(name));
}

void separator(QToolBar *bar, const char *name)
{
    auto *gap = new QWidget(bar);
    gap->setFixedWidth(kGapWidth);
    bar->addWidget(gap)->setObjectName(QLatin1String(name));
}

} // namespace

Tftext::Tftext(const QString &startFolder, QWidget *parent)
    : ModalDialog(parent), printer_(std::make_unique<QPrinter>())
{
    setupLayout();
    connectHandlers();
    FormCreate(startFolder);
}

Tftext::~Tftext() = default;

QTextDocument &Tftext::document() const
{
    return *Editor->document();
}

void Tftext::setupLayout()
{
    setObjectName(QStringLiteral("ftext"));
    setWindowTitle(tr("Text Editor"));
    setFont(layoutFont());
    setGeometry(198, 121, 785, 581);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    StandardToolBar = new QToolBar(this);
    StandardToolBar->setObjectName(QStringLiteral("StandardToolBar"));
    StandardToolBar->setIconSize(QSize(16, 16));
    StandardToolBar->setMovable(false);
    StandardToolBar->setFloatable(false);
    StandardToolBar->setContentsMargins(4, 2, 2, 2);
    setupFileActions();
    setupEditActions();
    setupTextActions();
    setupParagraphActions();
    column->addWidget(StandardToolBar);

    Editor = new QTextEdit(this);
    Editor->setObjectName(QStringLiteral("Editor"));
    Editor->setAcceptRichText(true);
    Editor->setLineWrapMode(QTextEdit::WidgetWidth);
    Editor->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    column->addWidget(Editor, 1);

    Panel1 = new ColourPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(35);
    auto *bottom = new QHBoxLayout(Panel1);
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->addStretch(1);
    Panel2 = new ColourPanel(Panel1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedSize(185, 35);
    bottom->addWidget(Panel2);
    column->addWidget(Panel1);

    BitBtn1 = place(new QPushButton(tr("Cancel"), Panel2), "BitBtn1", 24, 4, 75, 25);
    BitBtn2 = place(new QPushButton(tr("OK"), Panel2), "BitBtn2", 104, 4, 75, 25);
    for (QPushButton *b : {BitBtn1, BitBtn2}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    const QStringList filters{tr("Rich Text Files (*.RTF)"), tr("Text Files (*.TXT)")};
    OpenDialog = new QFileDialog(this);
    OpenDialog->setObjectName(QStringLiteral("OpenDialog"));
    OpenDialog->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog->setFileMode(QFileDialog::ExistingFile);
    SaveDialog = new QFileDialog(this);
    SaveDialog->setObjectName(QStringLiteral("SaveDialog"));
    SaveDialog->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog->setFileMode(QFileDialog::AnyFile);
    // The editor asks its own overwrite question.
    SaveDialog->setOption(QFileDialog::DontConfirmOverwrite);
    for (QFileDialog *d : {OpenDialog, SaveDialog}) {
        d->setOption(QFileDialog::DontUseNativeDialog);
        d->setNameFilters(filters);
        d->selectNameFilter(filters.first());
        d->setDefaultSuffix(QString());
    }

    ColorDialog1 = new QColorDialog(this);
    ColorDialog1->setObjectName(QStringLiteral("ColorDialog1"));
    ColorDialog1->setOption(QColorDialog::DontUseNativeDialog);
}

void Tftext::setupFileActions()
{
    QToolBar *bar = StandardToolBar;
    ToolButton1 = toolButton(bar, "ToolButton1", 0);
    OpenButton = toolButton(bar, "OpenButton", 1);
    SaveButton = toolButton(bar, "SaveButton", 2);
    PrintButton = toolButton(bar, "PrintButton", 3);
    divider(bar, "ToolButton5");
}

void Tftext::setupEditActions()
{
    // The names of the four clipboard buttons do not match what they do; each button's
    // icon matches its action.
    QToolBar *bar = StandardToolBar;
    CopyButton = toolButton(bar, "CopyButton", 5);   // cut
    PasteButton = toolButton(bar, "PasteButton", 6); // copy
    UndoButton = toolButton(bar, "UndoButton", 7);   // paste
    CutButton = toolButton(bar, "CutButton", 4);     // undo
}

void Tftext::setupTextActions()
{
    QToolBar *bar = StandardToolBar;
    fontname = new FontComboBox(bar);
    fontname->setObjectName(QStringLiteral("fontname"));
    fontname->setFixedSize(145, 22);
    fontname->setFrame(false);
    bar->addWidget(fontname);
    separator(bar, "ToolButton10");
    separator(bar, "ToolButton11");
    aplus = toolButton(bar, "aplus", 17);
    aminus = toolButton(bar, "aminus", 18);
    separator(bar, "ToolButton2");
    ToolButton3 = toolButton(bar, "ToolButton3", 15);
    BoldButton = toolButton(bar, "BoldButton", 8, true);
    BoldButton->setToolTip(tr("Bold"));
    ItalicButton = toolButton(bar, "ItalicButton", 9, true);
    ItalicButton->setToolTip(tr("Italic"));
    UnderlineButton = toolButton(bar, "UnderlineButton", 10, true);
    UnderlineButton->setToolTip(tr("Underline"));
    divider(bar, "ToolButton16");
}

void Tftext::setupParagraphActions()
{
    QToolBar *bar = StandardToolBar;
    Alignment = new QActionGroup(this);
    Alignment->setExclusive(true);
    LeftAlign = toolButton(bar, "LeftAlign", 11, true);
    LeftAlign->setToolTip(tr("Align Left"));
    CenterAlign = toolButton(bar, "CenterAlign", 12, true);
    CenterAlign->setToolTip(tr("Center"));
    RightAlign = toolButton(bar, "RightAlign", 13, true);
    RightAlign->setToolTip(tr("Align Right"));
    for (QAction *a : {LeftAlign, CenterAlign, RightAlign})
        Alignment->addAction(a);
    LeftAlign->setChecked(true);
    divider(bar, "ToolButton20");
    BulletsButton = toolButton(bar, "BulletsButton", 14, true);
    // The hint "Bullets|Enter bullet mode": tooltip, then the long hint.
    BulletsButton->setToolTip(tr("Bullets"));
    BulletsButton->setStatusTip(tr("Enter bullet mode"));
}

void Tftext::connectHandlers()
{
    auto onTrigger = [this](QAction *a, void (Tftext::*handler)()) {
        connect(a, &QAction::triggered, this, reported([this, handler] { (this->*handler)(); }));
    };
    onTrigger(ToolButton1, &Tftext::ToolButton1Click);
    onTrigger(OpenButton, &Tftext::OpenButtonClick);
    onTrigger(SaveButton, &Tftext::FileSave);
    onTrigger(PrintButton, &Tftext::PrintButtonClick);
    onTrigger(CopyButton, &Tftext::CopyButtonClick);
    onTrigger(PasteButton, &Tftext::PasteButtonClick);
    onTrigger(UndoButton, &Tftext::UndoButtonClick);
    onTrigger(CutButton, &Tftext::CutButtonClick);
    onTrigger(aplus, &Tftext::aplusClick);
    onTrigger(aminus, &Tftext::aminusClick);
    onTrigger(ToolButton3, &Tftext::ToolButton3Click);
    onTrigger(BoldButton, &Tftext::BoldButtonClick);
    onTrigger(ItalicButton, &Tftext::ItalicButtonClick);
    onTrigger(UnderlineButton, &Tftext::UnderlineButtonClick);
    onTrigger(LeftAlign, &Tftext::LeftAlignClick);
    onTrigger(CenterAlign, &Tftext::CenterAlignClick);
    onTrigger(RightAlign, &Tftext::RightAlignClick);
    onTrigger(BulletsButton, &Tftext::BulletsButtonClick);
    connect(fontname, &FontComboBox::OnChange, this, reported([this] { fontnameChange(); }));
    connect(BitBtn1, &QPushButton::clicked, this, reported([this] { reject(); }));
    connect(BitBtn2, &QPushButton::clicked, this, reported([this] {
                if (FormCloseQuery())
                    setModalResult(mrOk);
            }));
    // Coming back from another application counts as an activation; returning from the
    // editor's own message boxes and dialogs does not. The program is left when none of
    // its windows has the keyboard any more; the return counts when the editor had it
    // then and is the first to get it back. (The application's state is no guide: on xcb
    // it turns active before any window of the program does.)
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, reported([this](QWindow *now) {
                QWindow *editor = windowHandle();
                const bool wasEditor = editor && lastFocus_ == editor;
                lastFocus_ = now;
                if (!now) {
                    leftFromEditor_ = wasEditor && isVisible();
                    return;
                }
                const bool back = leftFromEditor_ && now == editor && isVisible();
                leftFromEditor_ = false;
                if (back)
                    FormActivate();
            }));
}

void Tftext::FormCreate(const QString &startFolder)
{
    // Not the program folder: here that is the settings folder, no place for texts.
    dialogFolder_ = startFolder;
    ShowFileName(untitled());
    SyncToolbar();
    // The platform's interface font: 8 points, in whole points.
    QTextCharFormat start;
    start.setFontFamilies({QStringLiteral("MS Sans Serif")});
    start.setFontPointSize(8);
    setCurrentAttributes(start);
}

QString Tftext::untitled()
{
    return tr("Untitled");
}

QString Tftext::documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void Tftext::showEvent(QShowEvent *e)
{
    ModalDialog::showEvent(e);
    runReported([this] { FormActivate(); });
}

void Tftext::FormActivate()
{
    Editor->document()->setModified(false);
    QStringList stored;
    if (readCustomColours(stored))
        customColours_ = stored;
}

bool Tftext::FormCloseQuery()
{
    bool canClose = false;
    guarded([this, &canClose] { canClose = AskSaveChanges(); });
    // Settings that cannot be written never keep the window open.
    guarded([this] { writeCustomColours(customColours_); });
    return canClose;
}

void Tftext::done(int r)
{
    if (FormCloseQuery())
        ModalDialog::done(r);
}

void Tftext::reject()
{
    if (FormCloseQuery())
        ModalDialog::reject();
}

void Tftext::ShowFileName(const QString &path)
{
    fileName_ = path;
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    setWindowTitle(tr("%1 - %2").arg(name, QStringLiteral("Quorix")));
}

} // namespace quorix
