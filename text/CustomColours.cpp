#include "text/CustomColours.h"

#include <QSettings>

namespace quorix {

namespace {

const QString kKey = QStringLiteral("CustomColors");

QString slotName(int slot)
{
    return QStringLiteral("Color") + QChar(QLatin1Char('A' + slot));
}

} // namespace

CustomColourSlots parseCustomColours(const QStringList &lines)
{
    CustomColourSlots values;
    values.fill(kEmptySlot);
    for (int i = 0; i < kCustomColourSlots; ++i) {
        const QString prefix = slotName(i) + QLatin1Char('=');
        for (const QString &line : lines) {
            if (!line.startsWith(prefix, Qt::CaseInsensitive))
                continue;
            bool ok = false;
            const qint64 value = line.mid(prefix.size()).trimmed().toLongLong(&ok, 16);
            if (ok && value >= 0 && value <= 0xFFFFFFFFLL)
                values[i] = value == 0xFFFFFFFFLL ? kEmptySlot : value & 0xFFFFFF;
            break;
        }
    }
    return values;
}

QStringList formatCustomColours(const CustomColourSlots &values)
{
    QStringList lines;
    for (int i = 0; i < kCustomColourSlots; ++i) {
        const quint32 value = values[i] < 0 ? 0xFFFFFFFFu : quint32(values[i]);
        lines << slotName(i) + QLatin1Char('=') + QString::asprintf("%.6X", value);
    }
    return lines;
}

QString customColoursText(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

QStringList customColoursLines(const QString &text)
{
    QStringList lines = QString(text)
                            .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                            .split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool readCustomColours(QStringList &lines)
{
    QSettings s(QStringLiteral("Ombrak"), QStringLiteral("Quorix"));
    if (!s.contains(kKey))
        return false;
    lines = customColoursLines(s.value(kKey).toString());
    return true;
}

bool writeCustomColours(const QStringList &lines)
{
    QSettings s(QStringLiteral("Ombrak"), QStringLiteral("Quorix"));
    s.setValue(kKey, customColoursText(lines));
    s.sync();
    return s.status() == QSettings::NoError;
}

} // namespace quorix
