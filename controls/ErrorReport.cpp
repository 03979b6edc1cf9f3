#include "controls/ErrorReport.h"

#include "platform/FileError.h"
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

void runReported(const std::function<void()> &body) noexcept
{
    try {
        body();
    } catch (const std::exception &e) {
        showErrorReport(failureText(e));
    } catch (...) {
        showErrorReport(QStringLiteral("Unknown failure"));
    }
}

} // namespace quorix
