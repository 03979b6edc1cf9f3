#pragma once
// Sample files of the tests (tests/data) and reading a file back whole.
#include <QByteArray>
#include <QFile>
#include <QString>

// A sample picture, slide list or text of tests/data/slides.
inline QString sample(const char *name)
{
    return QStringLiteral(QUORIX_TEST_DATA "/slides/") + QLatin1String(name);
}

// The whole file, or nothing when it cannot be read (a test then compares against what it
// expected and says so, rather than stopping on an exception).
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
