#include "controls/FolderChooser.h"

#include "core/FileError.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <stdexcept>

namespace quorix {

namespace {

QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace

FolderChooser::FolderChooser(QWidget *owner) : QObject(owner), owner_(owner) {}

QString FolderChooser::startFolder() const
{
    // Never a folder that is not there: the chooser would open with OK disabled.
    if (!directory.isEmpty() && QFileInfo(directory).isDir())
        return directory;
    const QString root = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!root.isEmpty() && QFileInfo(root).isDir())
        return root;
    return QDir::homePath();
}

bool FolderChooser::choose()
{
    for (;;) {
        pendingNewFolder_.clear();
        QFileDialog dialog(owner_ ? owner_->window() : nullptr, title, startFolder());
        dialog.setObjectName(QStringLiteral("browseForFolder"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        dialog.setLabelText(QFileDialog::Accept, tr("OK"));
        auto *grid = qobject_cast<QGridLayout *>(dialog.layout());

        statusPath_ = withoutTrailingSlash(startFolder());
        QLabel *status = nullptr;
        if (options.testFlag(Option::ShowPath) && grid) {
            status = new QLabel(statusPath_, &dialog);
            status->setObjectName(QStringLiteral("statusText"));
            grid->addWidget(status, grid->rowCount(), 0, 1, grid->columnCount());
        }
        connect(&dialog, &QFileDialog::currentChanged, &dialog,
                [this, status](const QString &path) {
                    if (!QFileInfo(path).isDir())
                        return;
                    statusPath_ = withoutTrailingSlash(path);
                    if (status)
                        status->setText(statusPath_);
                });
        connect(&dialog, &QFileDialog::directoryEntered, &dialog,
                [this, status](const QString &path) {
                    statusPath_ = withoutTrailingSlash(path);
                    if (status)
                        status->setText(statusPath_);
                });
        if (options.testFlag(Option::NewFolderButton))
            addNewFolderButton(dialog);
        if (!directory.isEmpty())
            dialog.selectFile(directory);
        if (options.testFlag(Option::Centred)) {
            dialog.adjustSize();
            centre(dialog);
        }

        browser_ = &dialog;
        QTimer::singleShot(0, this, [this, &dialog] { emit browserOpened(&dialog); });
        const int answer = dialog.exec();
        browser_ = nullptr;
        if (answer != QDialog::Accepted)
            return false;
        const QStringList chosen = dialog.selectedFiles();
        if (pendingNewFolder_.isEmpty()) {
            if (chosen.isEmpty())
                return false;
            directory = withoutTrailingSlash(chosen.first());
            return true;
        }
        QString path = statusPath_;
        if (!path.endsWith(QLatin1Char('/')))
            path += QLatin1Char('/');
        path += pendingNewFolder_;
        if (!createFolder(path))
            throw std::runtime_error(
                failureText(QStringLiteral("Unable to create folder %1").arg(path)));
        directory = withoutTrailingSlash(path);
    }
}

void FolderChooser::addNewFolderButton(QFileDialog &dialog)
{
    auto *button = new QPushButton(tr("New Folder..."), &dialog);
    button->setObjectName(QStringLiteral("newFolder"));
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout()))
        grid->addWidget(button, grid->rowCount(), 0, 1, 1, Qt::AlignLeft);
    connect(button, &QPushButton::clicked, &dialog, [this, &dialog] {
        bool ok = false;
        const QString name =
            QInputDialog::getText(&dialog, tr("New Folder"), tr("Enter the name of the new folder"),
                                  QLineEdit::Normal, QString(), &ok);
        if (!ok || name.isEmpty())
            return;
        pendingNewFolder_ = name;
        static_cast<QDialog &>(dialog).done(QDialog::Accepted);
    });
}

void FolderChooser::centre(QFileDialog &dialog) const
{
    const QSize size = dialog.size();
    QRect area;
    if (owner_)
        area = owner_->window()->frameGeometry();
    else if (QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->geometry();
    dialog.move(area.left() + (area.width() - size.width()) / 2,
                area.top() + (area.height() - size.height()) / 2);
}

bool FolderChooser::createFolder(const QString &path)
{
    const QString p = withoutTrailingSlash(path);
    if (p.isEmpty())
        return false;
    return QDir().mkpath(p) && QFileInfo(p).isDir();
}

} // namespace quorix
