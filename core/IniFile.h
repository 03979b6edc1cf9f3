#pragma once
// An INI text held in memory: sections of "key=value" lines. Section and key names match
// without regard to letter case, spaces around names and values are ignored. Saving
// writes every section followed by one empty line; empty lines and comment lines (";")
// read from the file are not kept.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace quorix {

class IniFile
{
  public:
    IniFile() = default;
    explicit IniFile(const QByteArray &bytes);

    // Reads the file; throws FileError when it exists but cannot be read. A missing file
    // gives an empty INI text.
    static IniFile load(const QString &path);
    // Throws FileError when the file cannot be written.
    void save(const QString &path) const;

    QString readString(const QString &section, const QString &key, const QString &fallback) const;
    // A decimal integer, or hexadecimal with the prefix 0x / 0X; anything else gives fallback.
    int readInteger(const QString &section, const QString &key, int fallback) const;
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);

    QByteArray toBytes() const;

  private:
    struct Section
    {
        QString name;
        QStringList lines; // trimmed "key=value" lines (or bare lines), in file order
    };
    Section *find(const QString &section);
    const Section *find(const QString &section) const;
    static qsizetype findKey(const Section &s, const QString &key);

    std::vector<Section> sections_;
};

// Parses the integer forms that INI values may take; false when the text is neither.
bool parseIniInteger(const QString &text, int &value);

} // namespace quorix
