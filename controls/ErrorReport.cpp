#include "controls/ErrorReport.h"

#include "core/FileError.h"
#include <exception>

#include <QApplication>
#include <QMessageBox>

namespace quorix {

void showErrorReport(const QString &text)
{
    QString message = text;
    if (!message.isEmpty() && !message.endsWith(QLatin1Char('.')))
        message += QLatin1Char('.');
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), message,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("errorReport"));
    box.exec();
}

std::optional<QString> failureOf(const std::function<void()> &step) noexcept
{
    try {
        step();
        return std::nullopt;
    } catch (const std::exception &e) {
        return failureText(e);
    } catch (...) {
        return QStringLiteral("Unknown failure");
    }
}

void runReported(const std::function<void()> &body) noexcept
{
    if (const std::optional<QString> failure = failureOf(body))
        showErrorReport(*failure);
}

} // namespace quorix
