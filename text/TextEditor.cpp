#include "text/TextEditor.h"

#include "controls/ColourPanel.h"
#include "controls/ErrorReport.h"
#include "controls/Layout.h"
#include "core/Guard.h"
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

constexpr int kButtonWidth = 23; // toolbar buttons
constexpr int kGapWidth = 8;
// The strip below the text, and Cancel and OK in it.
constexpr int kBottomPanelHeight = 35;
constexpr int kDialogButtonWidth = 75, kDialogButtonHeight = 25;

QAction *toolButton(QToolBar *bar, const char *name, ToolbarIcon icon, bool checkable = false)
{
    auto *action = new QAction(QIcon(QPixmap::fromImage(toolbarImage(icon))), QString(), bar);
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

TextEditor::TextEditor(const QString &startFolder, QWidget *parent)
    : ModalDialog(parent), printer_(std::make_unique<QPrinter>())
{
    setupLayout();
    connectHandlers();
    setInitialState(startFolder);
}

TextEditor::~TextEditor() = default;

QTextDocument &TextEditor::document() const
{
    return *textEdit_->document();
}

void TextEditor::setupLayout()
{
    setObjectName(QStringLiteral("textEditor"));
    setWindowTitle(tr("Text Editor"));
    setFont(layoutFont());
    setGeometry(198, 121, 785, 581);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setIconSize(QSize(kToolbarIconSize, kToolbarIconSize));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setContentsMargins(4, 2, 2, 2);
    setupFileActions();
    setupEditActions();
    setupTextActions();
    setupParagraphActions();
    column->addWidget(toolBar_);

    textEdit_ = new QTextEdit(this);
    textEdit_->setObjectName(QStringLiteral("textEdit"));
    textEdit_->setAcceptRichText(true);
    textEdit_->setLineWrapMode(QTextEdit::WidgetWidth);
    textEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    textEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    column->addWidget(textEdit_, 1);

    setupBottomPanel();
    column->addWidget(bottomPanel_);
    setupDialogs();
}

// The strip below the text with Cancel and OK at its right end.
void TextEditor::setupBottomPanel()
{
    bottomPanel_ = new ColourPanel(this);
    bottomPanel_->setObjectName(QStringLiteral("bottomPanel"));
    bottomPanel_->setFixedHeight(kBottomPanelHeight);
    auto *bottom = new QHBoxLayout(bottomPanel_);
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->addStretch(1);
    buttonPanel_ = new ColourPanel(bottomPanel_);
    buttonPanel_->setObjectName(QStringLiteral("buttonPanel"));
    buttonPanel_->setFixedSize(185, kBottomPanelHeight);
    bottom->addWidget(buttonPanel_);

    cancelButton_ = place(new QPushButton(tr("Cancel"), buttonPanel_), "cancelButton", 24, 4,
                          kDialogButtonWidth, kDialogButtonHeight);
    okButton_ = place(new QPushButton(tr("OK"), buttonPanel_), "okButton", 104, 4,
                      kDialogButtonWidth, kDialogButtonHeight);
    for (QPushButton *b : {cancelButton_, okButton_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
}

// The open, save and colour dialogs, made once so that they keep their folder and choices.
void TextEditor::setupDialogs()
{
    const QStringList filters{tr("Rich Text Files (*.RTF)"), tr("Text Files (*.TXT)")};
    openDialog_ = new QFileDialog(this);
    openDialog_->setObjectName(QStringLiteral("openDialog"));
    openDialog_->setAcceptMode(QFileDialog::AcceptOpen);
    openDialog_->setFileMode(QFileDialog::ExistingFile);
    saveDialog_ = new QFileDialog(this);
    saveDialog_->setObjectName(QStringLiteral("saveDialog"));
    saveDialog_->setAcceptMode(QFileDialog::AcceptSave);
    saveDialog_->setFileMode(QFileDialog::AnyFile);
    // The editor asks its own overwrite question.
    saveDialog_->setOption(QFileDialog::DontConfirmOverwrite);
    for (QFileDialog *d : {openDialog_, saveDialog_}) {
        d->setOption(QFileDialog::DontUseNativeDialog);
        d->setNameFilters(filters);
        d->selectNameFilter(filters.first());
        d->setDefaultSuffix(QString());
    }

    colourDialog_ = new QColorDialog(this);
    colourDialog_->setObjectName(QStringLiteral("colourDialog"));
    colourDialog_->setOption(QColorDialog::DontUseNativeDialog);
}

void TextEditor::setupFileActions()
{
    QToolBar *bar = toolBar_;
    newAction_ = toolButton(bar, "newAction", ToolbarIcon::New);
    openAction_ = toolButton(bar, "openAction", ToolbarIcon::Open);
    saveAction_ = toolButton(bar, "saveAction", ToolbarIcon::Save);
    printAction_ = toolButton(bar, "printAction", ToolbarIcon::Print);
    divider(bar, "fileDivider");
}

void TextEditor::setupEditActions()
{
    // The clipboard buttons stand in this order: cut, copy, paste, undo.
    QToolBar *bar = toolBar_;
    cutAction_ = toolButton(bar, "cutAction", ToolbarIcon::Cut);
    copyAction_ = toolButton(bar, "copyAction", ToolbarIcon::Copy);
    pasteAction_ = toolButton(bar, "pasteAction", ToolbarIcon::Paste);
    undoAction_ = toolButton(bar, "undoAction", ToolbarIcon::Undo);
}

void TextEditor::setupTextActions()
{
    QToolBar *bar = toolBar_;
    fontBox_ = new FontComboBox(bar);
    fontBox_->setObjectName(QStringLiteral("fontBox"));
    fontBox_->setFixedSize(145, 22);
    fontBox_->setFrame(false);
    bar->addWidget(fontBox_);
    separator(bar, "fontGap");
    separator(bar, "fontGap2");
    largerAction_ = toolButton(bar, "largerAction", ToolbarIcon::LargerText);
    smallerAction_ = toolButton(bar, "smallerAction", ToolbarIcon::SmallerText);
    separator(bar, "sizeGap");
    colourAction_ = toolButton(bar, "colourAction", ToolbarIcon::TextColour);
    boldAction_ = toolButton(bar, "boldAction", ToolbarIcon::Bold, true);
    boldAction_->setToolTip(tr("Bold"));
    italicAction_ = toolButton(bar, "italicAction", ToolbarIcon::Italic, true);
    italicAction_->setToolTip(tr("Italic"));
    underlineAction_ = toolButton(bar, "underlineAction", ToolbarIcon::Underline, true);
    underlineAction_->setToolTip(tr("Underline"));
    divider(bar, "styleDivider");
}

void TextEditor::setupParagraphActions()
{
    QToolBar *bar = toolBar_;
    alignmentGroup_ = new QActionGroup(this);
    alignmentGroup_->setExclusive(true);
    alignLeftAction_ = toolButton(bar, "alignLeftAction", ToolbarIcon::AlignLeft, true);
    alignLeftAction_->setToolTip(tr("Align Left"));
    alignCentreAction_ = toolButton(bar, "alignCentreAction", ToolbarIcon::AlignCentre, true);
    alignCentreAction_->setToolTip(tr("Center"));
    alignRightAction_ = toolButton(bar, "alignRightAction", ToolbarIcon::AlignRight, true);
    alignRightAction_->setToolTip(tr("Align Right"));
    for (QAction *a : {alignLeftAction_, alignCentreAction_, alignRightAction_})
        alignmentGroup_->addAction(a);
    alignLeftAction_->setChecked(true);
    divider(bar, "alignmentDivider");
    bulletsAction_ = toolButton(bar, "bulletsAction", ToolbarIcon::Bullets, true);
    // The hint "Bullets|Enter bullet mode": tooltip, then the long hint.
    bulletsAction_->setToolTip(tr("Bullets"));
    bulletsAction_->setStatusTip(tr("Enter bullet mode"));
}

void TextEditor::connectHandlers()
{
    auto onTrigger = [this](QAction *a, void (TextEditor::*handler)()) {
        connect(a, &QAction::triggered, this, reported([this, handler] { (this->*handler)(); }));
    };
    onTrigger(newAction_, &TextEditor::newText);
    onTrigger(openAction_, &TextEditor::openText);
    onTrigger(saveAction_, &TextEditor::save);
    onTrigger(printAction_, &TextEditor::printText);
    onTrigger(cutAction_, &TextEditor::cut);
    onTrigger(copyAction_, &TextEditor::copy);
    onTrigger(pasteAction_, &TextEditor::paste);
    onTrigger(undoAction_, &TextEditor::undo);
    onTrigger(largerAction_, &TextEditor::increaseSize);
    onTrigger(smallerAction_, &TextEditor::decreaseSize);
    onTrigger(colourAction_, &TextEditor::chooseColour);
    onTrigger(boldAction_, &TextEditor::toggleBold);
    onTrigger(italicAction_, &TextEditor::toggleItalic);
    onTrigger(underlineAction_, &TextEditor::toggleUnderline);
    onTrigger(alignLeftAction_, &TextEditor::alignLeft);
    onTrigger(alignCentreAction_, &TextEditor::alignCentre);
    onTrigger(alignRightAction_, &TextEditor::alignRight);
    onTrigger(bulletsAction_, &TextEditor::toggleBullets);
    connect(fontBox_, &FontComboBox::familyChosen, this, reported([this] { applyFontName(); }));
    connect(cancelButton_, &QPushButton::clicked, this,
            reported([this] { closeWith(ModalResult::Cancel); }));
    connect(okButton_, &QPushButton::clicked, this,
            reported([this] { closeWith(ModalResult::Ok); }));
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
                    onActivated();
            }));
}

void TextEditor::setInitialState(const QString &startFolder)
{
    // Not the program folder: here that is the settings folder, no place for texts.
    dialogFolder_ = startFolder;
    showFileName(untitled());
    syncToolbar();
    // The platform's interface font: 8 points, in whole points.
    QTextCharFormat start;
    start.setFontFamilies({QStringLiteral("MS Sans Serif")});
    start.setFontPointSize(8);
    setCurrentAttributes(start);
}

QString TextEditor::untitled()
{
    return tr("Untitled");
}

QString TextEditor::documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void TextEditor::showEvent(QShowEvent *e)
{
    ModalDialog::showEvent(e);
    runReported([this] { onActivated(); });
}

void TextEditor::onActivated()
{
    textEdit_->document()->setModified(false);
    QStringList stored;
    if (readCustomColours(stored))
        customColours_ = stored;
}

bool TextEditor::mayClose()
{
    bool canClose = false;
    guarded([this, &canClose] { canClose = askSaveChanges(); });
    // Settings that cannot be written never keep the window open.
    guarded([this] { writeCustomColours(customColours_); });
    return canClose;
}

void TextEditor::closeWith(ModalResult result)
{
    if (mayClose())
        setModalResult(result);
}

void TextEditor::reject()
{
    closeWith(ModalResult::Cancel);
}

void TextEditor::showFileName(const QString &path)
{
    fileName_ = path;
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    setWindowTitle(tr("%1 - %2").arg(name, QStringLiteral("Quorix")));
}

} // namespace quorix
