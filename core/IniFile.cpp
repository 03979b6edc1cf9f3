#include "core/IniFile.h"

#include "core/LineFile.h"
#include "core/WholeFile.h"

#include <climits>

namespace quorix {

namespace {

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniFile::IniFile(const QByteArray &bytes)
{
    Section *current = nullptr;
    for (const QString &raw : parseLines(bytes)) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QString name = line.mid(1, line.size() - 2).trimmed();
            current = find(name);
            if (!current) {
                sections_.push_back({name, {}});
                current = &sections_.back();
            }
            continue;
        }
        if (current)
            current->lines.append(line);
    }
}

IniFile IniFile::load(const QString &path)
{
    if (!fileExists(path))
        return {};
    return IniFile(readWholeFile(path));
}

void IniFile::save(const QString &path) const
{
    writeWholeFile(path, toBytes());
}

QByteArray IniFile::toBytes() const
{
    QStringList out;
    for (const Section &s : sections_) {
        out.append(QLatin1Char('[') + s.name + QLatin1Char(']'));
        out.append(s.lines);
        out.append(QString());
    }
    return formatLines(out);
}

IniFile::Section *IniFile::find(const QString &section)
{
    for (Section &s : sections_)
        if (sameName(s.name, section))
            return &s;
    return nullptr;
}

const IniFile::Section *IniFile::find(const QString &section) const
{
    return const_cast<IniFile *>(this)->find(section);
}

qsizetype IniFile::findKey(const Section &s, const QString &key)
{
    for (qsizetype i = 0; i < s.lines.size(); ++i) {
        const qsizetype eq = s.lines[i].indexOf(QLatin1Char('='));
        if (eq >= 0 && sameName(s.lines[i].left(eq).trimmed(), key))
            return i;
    }
    return -1;
}

QString IniFile::readString(const QString &section, const QString &key,
                            const QString &fallback) const
{
    const Section *s = find(section);
    if (!s)
        return fallback;
    const qsizetype i = findKey(*s, key);
    if (i < 0)
        return fallback;
    const QString &line = s->lines[i];
    return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
}

int IniFile::readInteger(const QString &section, const QString &key, int fallback) const
{
    int value = 0;
    return parseIniInteger(readString(section, key, QString()), value) ? value : fallback;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    Section *s = find(section);
    if (!s) {
        sections_.push_back({section, {}});
        s = &sections_.back();
    }
    const QString line = key + QLatin1Char('=') + value;
    const qsizetype i = findKey(*s, key);
    if (i >= 0)
        s->lines[i] = line;
    else
        s->lines.append(line);
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

bool parseIniInteger(const QString &text, int &value)
{
    const QString t = text.trimmed();
    bool ok = false;
    qlonglong v = 0;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        const QString digits = t.mid(2);
        if (digits.isEmpty() || digits.startsWith(QLatin1Char('+')) ||
            digits.startsWith(QLatin1Char('-')))
            return false;
        v = digits.toLongLong(&ok, 16);
        // Eight hexadecimal digits wrap into the signed range, as 32-bit values do.
        if (ok && v > 0xFFFFFFFFLL)
            ok = false;
        if (ok && v > 0x7FFFFFFFLL)
            v -= 0x100000000LL;
    } else {
        v = t.toLongLong(&ok, 10);
        if (ok && (v < INT_MIN || v > INT_MAX))
            ok = false;
    }
    if (ok)
        value = static_cast<int>(v);
    return ok;
}

} // namespace quorix
