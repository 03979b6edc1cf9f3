// Start-up, window shape and position, folding and closing of the main window.
#include "app/MainWindow.h"

#include "app/OptionsDialog.h"
#include "app/ProgramFiles.h"
#include "controls/ErrorReport.h"
#include "controls/GradientButton.h"
#include "core/Guard.h"
#include "core/IniFile.h"
#include "core/LineFile.h"
#include "core/ProgramFolder.h"
#include "core/QueuedEvents.h"
#include "core/WholeFile.h"
#include "exchange/ExchangeProtocol.h"
#include "presenter/RoomSettings.h"

#include <climits>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

namespace quorix {

namespace {

// The placement file's section and its keys for the window's left and top edge.
const QString kPlacementSection = QStringLiteral("Velikost");
const QString kLeftKey = QStringLiteral("Levo");
const QString kTopKey = QStringLiteral("Gor");
// A window stored past the right or bottom edge of the screen comes back this far inside.
constexpr int kInsideScreenEdge = 11;

// The automatic-sending watch takes its interval from the viewer settings file's scroll-text
// switch, in tenths of a second ("1": 100 ms), when the line is an integer whose product
// still fits a timer interval.
bool watchInterval(const QString &line, int &interval)
{
    bool ok = false;
    const qlonglong n = line.toLongLong(&ok, 10);
    if (!ok || n * 100 > INT_MAX || n * 100 < INT_MIN)
        return false;
    interval = static_cast<int>(n * 100);
    return true;
}

} // namespace

void MainWindow::startUp()
{
    savedHeight_ = height();
    savedWidth_ = width();
    state_.programFolder = programFolderPath();
    state_.onlyQuorixViewers = readOnlyQuorixViewers();
    shapeWindow();
    showPage(Page::Preview);

    bool settingsMissing = false;
    guarded([&] {
        const QString settingsPath =
            lineAt(readLineFile(state_.programFolder + kSettingsPointerName), 0);
        runQueuedEvents();
        if (!fileExists(settingsPath)) {
            settingsMissing = true;
            return;
        }
        const QStringList lines = readLineFile(settingsPath);
        runQueuedEvents();
        // The folder comes from the picture's path whatever the switch's line holds; an
        // unreadable line only leaves the watch timer at its 100 ms.
        int interval = 0;
        if (watchInterval(lineAt(lines, qsizetype(ViewerSettingsLine::ScrollVisible)), interval))
            autoSendWatch_->setInterval(interval);
        state_.setSharedFolder(withTrailingSlash(
            folderPart(lineAt(lines, qsizetype(ViewerSettingsLine::PicturePath)))));
    });
    if (settingsMissing) {
        showSharedFolderMissing();
        return;
    }

    runReported([this] { restorePlacement(); });

    guarded([this] {
        if (!fileExists(state_.programFolder + kSettingsPointerName)) {
            showSharedFolderMissing();
            openOptions();
        }
    });
}

void MainWindow::restorePlacement()
{
    const QString path = state_.programFolder + kPlacementName;
    if (!fileExists(path))
        return;
    const IniFile ini = IniFile::load(path);
    int left = ini.readInteger(kPlacementSection, kLeftKey, x());
    int top = ini.readInteger(kPlacementSection, kTopKey, y());
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QSize s = screen->geometry().size();
        if (left > s.width() - width())
            left = s.width() - width() - kInsideScreenEdge;
        if (top > s.height() - height())
            top = s.height() - height() - kInsideScreenEdge;
    }
    move(left, top);
}

void MainWindow::storePlacement()
{
    const QString path = state_.programFolder + kPlacementName;
    const QPoint normal = (isMinimized() || isMaximized()) ? normalGeometry().topLeft() : pos();
    IniFile ini = IniFile::load(path);
    ini.writeInteger(kPlacementSection, kLeftKey, normal.x());
    ini.writeInteger(kPlacementSection, kTopKey, normal.y());
    ini.save(path);
}

void MainWindow::reshape()
{
    state_.programFolder = programFolderPath();
    shapeWindow();
}

void MainWindow::shutDown()
{
    if (destroyed_)
        return;
    destroyed_ = true;
    state_.stopFlag = true;
    // Before the first creation step there is no program folder to store the position in.
    if (!state_.programFolder.isEmpty())
        runReported([this] { storePlacement(); });
}

void MainWindow::onCloseClicked()
{
    close();
}

void MainWindow::toggleFolded()
{
    using namespace mainlayout;
    const bool fold = height() > kTallWindow;
    resize(fold ? savedWidth_ - kFoldedNarrowing : savedWidth_,
           fold ? kFoldedHeight : savedHeight_);
    sendButton_->move(fold ? kSendButtonFoldedAt : kSendButtonAt);
    const int cornerX = fold ? kCornerButtonsFoldedX : kCornerButtonsX;
    closeButton_->move(cornerX, closeButton_->y());
    foldButton_->move(cornerX, foldButton_->y());
    statusLabel_->move(fold ? kStatusFoldedX : kStatusX, statusLabel_->y());
    statusLabel_->setVisible(fold);
}

void MainWindow::onBackgroundDoubleClicked()
{
    toggleFolded();
}

void MainWindow::showSharedFolderMissing()
{
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationName(),
                    tr("Server's Shared folder does not exist"), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("sharedFolderMissing"));
    box.exec();
}

void MainWindow::openOptions()
{
    if (optionsDialog_)
        optionsDialog_->showModal();
}

} // namespace quorix
