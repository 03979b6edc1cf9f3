// RTF that a real word processor wrote (tests/data/rtf/wordprocessor): the right text and
// the right formats.
#include "rtf/RichTextFile.h"
#include "support/RtfDescription.h"

#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

namespace {

const QString kData = QStringLiteral(QUORIX_TEST_DATA "/rtf/wordprocessor/");

// The format of the first character of the first occurrence of the text.
QTextCharFormat formatOf(const QTextDocument &doc, const QString &text)
{
    QTextCursor c = doc.find(text);
    if (c.isNull())
        return {};
    c.setPosition(c.selectionStart() + 1);
    return c.charFormat();
}

QTextBlock blockOf(const QTextDocument &doc, const QString &text)
{
    const QTextCursor c = doc.find(text);
    return c.isNull() ? QTextBlock() : c.block();
}

} // namespace

class TestRtfWordProcessor : public QObject
{
    Q_OBJECT

  private slots:
    void formatsText()
    {
        QTextDocument doc;
        quorix::loadRichTextFile(doc, kData + QStringLiteral("formats.rtf"));
        QStringList lines = doc.toPlainText().split(QLatin1Char('\n'));
        for (QString &line : lines)
            line = line.trimmed();
        const QStringList expected = {
            QStringLiteral("Plain bold italic underline strike red yellow x2 H2O"),
            QStringLiteral("Centred serif 20"),
            QStringLiteral("Right aligned"),
            QStringLiteral("Justified and indented by one inch, long enough to wrap over more than "
                           "one line in the word processor that writes it."),
            QString::fromUtf8("Accents: café naïve Ærø; Cyrillic: Привет; Greek: αβγ; CJK: 日本語; "
                              "euro €; dashes – —; quotes “a” ‘b’"),
            QStringLiteral("first bullet"),
            QStringLiteral("second bullet"),
            QStringLiteral("first number"),
            QStringLiteral("second number"),
            QStringLiteral("third number"),
            QStringLiteral("Picture: \uFFFC end."),
            QStringLiteral("Last paragraph.")};
        QCOMPARE(lines, expected);
    }

    void formatsCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("format");
        QTest::newRow("plain") << "Plain"
                               << "[DejaVu Sans|12pt]";
        QTest::newRow("bold") << "bold"
                              << "[DejaVu Sans|12pt|b]";
        QTest::newRow("italic") << "italic"
                                << "[DejaVu Sans|12pt|i]";
        QTest::newRow("underline") << "underline"
                                   << "[DejaVu Sans|12pt|u]";
        QTest::newRow("strike") << "strike"
                                << "[DejaVu Sans|12pt|s]";
        QTest::newRow("colour") << "red"
                                << "[DejaVu Sans|12pt|fg=#ff0000]";
        QTest::newRow("highlight") << "yellow"
                                   << "[DejaVu Sans|12pt|bg=#ffff00]";
        QTest::newRow("superscript") << "2 H"
                                     << "[DejaVu Sans|12pt|sup]";
        QTest::newRow("subscript") << "2O"
                                   << "[DejaVu Sans|12pt|sub]";
        QTest::newRow("face and size") << "Centred serif"
                                       << "[DejaVu Serif|20pt]";
    }

    void formatsCharacters()
    {
        QFETCH(QString, text);
        QFETCH(QString, format);
        QTextDocument doc;
        quorix::loadRichTextFile(doc, kData + QStringLiteral("formats.rtf"));
        QCOMPARE(rtftest::describeRun(formatOf(doc, text), QString()), format);
    }

    void formatsParagraphs()
    {
        QTextDocument doc;
        quorix::loadRichTextFile(doc, kData + QStringLiteral("formats.rtf"));
        const auto align = [&](const char *text) {
            return blockOf(doc, QLatin1String(text)).blockFormat().alignment() &
                   Qt::AlignHorizontal_Mask;
        };
        QCOMPARE(align("Centred"), Qt::AlignHCenter);
        QCOMPARE(align("Right aligned"), Qt::AlignRight);
        QCOMPARE(align("Justified"), Qt::AlignJustify);
        QCOMPARE(align("Plain"), Qt::AlignLeft);
        QCOMPARE(blockOf(doc, QStringLiteral("Justified")).blockFormat().leftMargin(),
                 96.0); // one inch

        QTextList *bullets = blockOf(doc, QStringLiteral("first bullet")).textList();
        QVERIFY(bullets);
        QCOMPARE(bullets->format().style(), QTextListFormat::ListDisc);
        QCOMPARE(blockOf(doc, QStringLiteral("second bullet")).textList(), bullets);
        QTextList *numbers = blockOf(doc, QStringLiteral("first number")).textList();
        QVERIFY(numbers && numbers != bullets);
        QCOMPARE(numbers->format().style(), QTextListFormat::ListDecimal);
        const QTextBlock third = blockOf(doc, QStringLiteral("third number"));
        QCOMPARE(third.textList(), numbers);
        QCOMPARE(numbers->itemText(third), QStringLiteral("3."));
        QVERIFY(!blockOf(doc, QStringLiteral("Last paragraph")).textList());
    }

    void formatsPicture()
    {
        QTextDocument doc;
        quorix::loadRichTextFile(doc, kData + QStringLiteral("formats.rtf"));
        const QTextCursor c = doc.find(QString(QChar::ObjectReplacementCharacter));
        QVERIFY(!c.isNull());
        QTextCursor at(&doc);
        at.setPosition(c.selectionEnd());
        const QTextImageFormat img = at.charFormat().toImageFormat();
        QVERIFY(img.isValid());
        QCOMPARE(img.width(), 32.0); // 240 twips at 200 %
        QCOMPARE(img.height(), 16.0);
        const QImage image =
            doc.resource(QTextDocument::ImageResource, QUrl(img.name())).value<QImage>();
        QCOMPARE(image.size(), QSize(16, 8));
        QCOMPARE(image.pixelColor(0, 0), QColor(255, 0, 0));
        QCOMPARE(image.pixelColor(15, 0), QColor(0, 0, 255));
    }

    void lists()
    {
        QTextDocument doc;
        quorix::loadRichTextFile(doc, kData + QStringLiteral("lists.rtf"));
        const QTextBlockFormat doubled =
            blockOf(doc, QStringLiteral("Double spaced")).blockFormat();
        QCOMPARE(doubled.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
        QCOMPARE(doubled.lineHeight(), 200.0);
        const QTextBlockFormat spaced = blockOf(doc, QStringLiteral("Spaced before")).blockFormat();
        QCOMPARE(spaced.topMargin(), 48.0);
        QCOMPARE(spaced.bottomMargin(), 24.0);
        const auto style = [&](const char *text) {
            QTextList *list = blockOf(doc, QLatin1String(text)).textList();
            return list ? int(list->format().style()) : 0;
        };
        QCOMPARE(style("Roman one"), int(QTextListFormat::ListUpperRoman));
        QCOMPARE(style("Roman two"), int(QTextListFormat::ListUpperRoman));
        QCOMPARE(style("alpha two"), int(QTextListFormat::ListLowerAlpha));
        QCOMPARE(style("nested bullet"), int(QTextListFormat::ListDisc));
        QCOMPARE(blockOf(doc, QStringLiteral("nested bullet")).textList()->format().indent(), 2);
        QCOMPARE(blockOf(doc, QStringLiteral("cell A")).text(), QStringLiteral("cell A\tcell B\t"));
        QCOMPARE(rtftest::describeRun(formatOf(doc, QStringLiteral("small")), QString()),
                 QStringLiteral("[DejaVu Serif|8pt]"));
        QCOMPARE(formatOf(doc, QStringLiteral("large")).fontPointSize(), 28.0);
        QCOMPARE(rtftest::family(formatOf(doc, QStringLiteral("mono"))),
                 QStringLiteral("DejaVu Sans Mono"));
    }
};

QTEST_MAIN(TestRtfWordProcessor)
#include "tst_rtf_wordprocessor.moc"
