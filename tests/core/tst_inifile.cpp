#include "core/IniFile.h"

#include <QTest>

using namespace quorix;

class TestIniFile : public QObject
{
    Q_OBJECT

  private slots:
    void integers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("decimal") << "528" << true << 528;
        QTest::newRow("negative") << "-20" << true << -20;
        QTest::newRow("hex") << "0x20" << true << 32;
        QTest::newRow("hex upper prefix") << "0X1f" << true << 31;
        QTest::newRow("hex wraps to signed") << "0xFFFFFFFF" << true << -1;
        QTest::newRow("spaces") << "  17 " << true << 17;
        QTest::newRow("word") << "left" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("bare prefix") << "0x" << false << 0;
        QTest::newRow("too large") << "99999999999" << false << 0;
        QTest::newRow("fraction") << "1.5" << false << 0;
    }
    void integers()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        int v = 0;
        QCOMPARE(parseIniInteger(text, v), ok);
        if (ok)
            QCOMPARE(v, value);
    }

    void namesIgnoreCaseAndSpaces()
    {
        const IniFile ini(QByteArray("[ velikost ]\r\n  LEVO = 0x20 \r\ngor=abc\r\n"));
        QCOMPARE(ini.readInteger("Velikost", "Levo", 5), 32);
        QCOMPARE(ini.readInteger("Velikost", "Gor", 7), 7);
        QCOMPARE(ini.readInteger("Other", "Gor", 9), 9);
    }

    void writtenPlacementBytes()
    {
        IniFile ini;
        ini.writeInteger("Velikost", "Levo", 290);
        ini.writeInteger("Velikost", "Gor", -20);
        QCOMPARE(ini.toBytes(), QByteArray("[Velikost]\r\nLevo=290\r\nGor=-20\r\n\r\n"));
    }

    void otherSectionsSurviveCommentsAndBlanksDrop()
    {
        IniFile ini(QByteArray(
            "; note\r\n[Extra]\r\nkeep=1\r\n\r\nloose line\r\n[Velikost]\r\nLevo=1\r\n"));
        ini.writeInteger("Velikost", "Levo", 300);
        ini.writeInteger("Velikost", "Gor", 40);
        QCOMPARE(ini.toBytes(), QByteArray("[Extra]\r\nkeep=1\r\nloose line\r\n\r\n"
                                           "[Velikost]\r\nLevo=300\r\nGor=40\r\n\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
