// The RTF writer: round trips through the reader, deterministic bytes, and agreement of an
// independent reader (unrtf) on the text.
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"
#include "support/RtfDescription.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

using quorix::RtfReader;
using quorix::RtfWriter;

namespace {

QTextCharFormat run(const QString &family, qreal points)
{
    QTextCharFormat f;
    f.setFontFamilies({family});
    f.setFontPointSize(points);
    f.setFontWeight(QFont::Normal);
    f.setFontItalic(false);
    f.setFontUnderline(false);
    f.setFontStrikeOut(false);
    return f;
}

// A document that exercises every format the writer knows.
void buildRich(QTextDocument &doc, bool withImage)
{
    QTextCursor c(&doc);
    QTextBlockFormat plain;
    c.setBlockFormat(plain);
    QTextCharFormat base = run(QStringLiteral("DejaVu Sans"), 12);
    c.insertText(QStringLiteral("Plain, "), base);
    QTextCharFormat f = base;
    f.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("bold, "), f);
    f = base;
    f.setFontItalic(true);
    c.insertText(QStringLiteral("italic, "), f);
    f = base;
    f.setFontUnderline(true);
    c.insertText(QStringLiteral("underline, "), f);
    f = base;
    f.setFontStrikeOut(true);
    c.insertText(QStringLiteral("strike, "), f);
    f = run(QStringLiteral("DejaVu Serif"), 20);
    f.setForeground(QColor(200, 10, 20));
    c.insertText(QStringLiteral("red serif 20, "), f);
    f = base;
    f.setBackground(QColor(255, 255, 0));
    c.insertText(QStringLiteral("highlight, "), f);
    f = base;
    f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    c.insertText(QStringLiteral("sup"), f);
    f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    c.insertText(QStringLiteral("sub"), f);
    f = run(QStringLiteral("Liberation Mono"), 7.5);
    f.setFontWeight(QFont::Bold);
    f.setFontItalic(true);
    f.setFontUnderline(true);
    f.setForeground(QColor(0, 0, 255));
    c.insertText(QStringLiteral(" all at once"), f);

    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    c.insertBlock(centred, base);
    c.insertText(QString::fromUtf8("Centred: café – “quotes” € ß Ж 日本語 😀 {braces} \\ back"),
                 base);
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    right.setRightMargin(30);
    c.insertBlock(right, base);
    c.insertText(QString::fromUtf8("Right\twith tab\u2028and line\u00A0nbsp\u00ADsoft\u2011hyphen"),
                 base);
    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    justified.setLeftMargin(48);
    justified.setTextIndent(-12);
    justified.setTopMargin(6);
    justified.setBottomMargin(10);
    justified.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
    c.insertBlock(justified, base);
    c.insertText(QStringLiteral("Justified with indents and spacing."), base);
    QTextBlockFormat fixed;
    fixed.setLineHeight(20, QTextBlockFormat::FixedHeight);
    c.insertBlock(fixed, base);
    c.insertText(QStringLiteral("Fixed line height"), base);
    QTextBlockFormat minimum;
    minimum.setLineHeight(18, QTextBlockFormat::MinimumHeight);
    c.insertBlock(minimum, base);
    c.insertText(QStringLiteral("Minimum line height"), base);
    c.insertBlock(plain, run(QStringLiteral("DejaVu Sans"), 24)); // an empty paragraph, 24 pt

    const QTextListFormat::Style styles[] = {
        QTextListFormat::ListDisc,       QTextListFormat::ListCircle,
        QTextListFormat::ListSquare,     QTextListFormat::ListDecimal,
        QTextListFormat::ListLowerAlpha, QTextListFormat::ListUpperAlpha,
        QTextListFormat::ListLowerRoman, QTextListFormat::ListUpperRoman};
    for (const auto style : styles) {
        c.insertBlock(plain, base);
        QTextListFormat lf;
        lf.setStyle(style);
        lf.setIndent(1);
        c.createList(lf);
        c.insertText(QStringLiteral("item one of %1").arg(int(style)), base);
        c.insertBlock();
        c.insertText(QStringLiteral("item two"), base);
        if (style == QTextListFormat::ListDecimal) {
            c.insertBlock(plain, base);
            QTextListFormat nested;
            nested.setStyle(QTextListFormat::ListLowerRoman);
            nested.setIndent(2);
            c.createList(nested);
            c.insertText(QStringLiteral("nested"), base);
        }
    }
    c.insertBlock(plain, base);
    c.insertText(QStringLiteral("After the lists "), base);
    if (withImage) {
        QImage image(7, 5, QImage::Format_ARGB32);
        image.fill(QColor(10, 200, 30));
        image.setPixelColor(0, 0, QColor(255, 0, 0));
        doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("mem:pic")), image);
        QTextImageFormat img;
        img.setName(QStringLiteral("mem:pic"));
        img.setWidth(14);
        img.setHeight(10);
        c.insertImage(img);
        c.insertText(QStringLiteral(" after the picture"), base);
    }
    c.insertBlock(plain, base);
    c.insertText(QStringLiteral("Last"), base);
}

QString unrtfText(const QByteArray &rtf, bool *ran)
{
    *ran = false;
    const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
    if (unrtf.isEmpty())
        return {};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("w.rtf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size())
        return {};
    file.close();
    QProcess p;
    p.start(unrtf, {QStringLiteral("--text"), path});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    *ran = true;
    // unrtf writes Latin-1 text after a comment header that ends with a line of dashes.
    const QString out = QString::fromLatin1(p.readAllStandardOutput());
    const qsizetype body = out.indexOf(QLatin1String("-----------------\n"));
    return body < 0 ? out : out.mid(body + 18);
}

QString normalised(QString s)
{
    s.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
    return s.trimmed();
}

} // namespace

class TestRtfWriter : public QObject
{
    Q_OBJECT

  private slots:
    void roundTrip()
    {
        QTextDocument doc;
        buildRich(doc, true);
        const QByteArray rtf = RtfWriter::write(doc);
        QTextDocument back;
        QVERIFY(RtfReader::read(rtf, back).ok());
        QCOMPARE(back.toPlainText(), doc.toPlainText());
        const QStringList expected = rtftest::describe(doc);
        const QStringList actual = rtftest::describe(back);
        QCOMPARE(actual.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(actual.at(i), expected.at(i));
        // the picture's pixels
        QTextBlock last = back.lastBlock().previous();
        QImage image;
        for (auto it = last.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat())
                image = back.resource(QTextDocument::ImageResource,
                                      QUrl(it.fragment().charFormat().toImageFormat().name()))
                            .value<QImage>();
        }
        QCOMPARE(image.size(), QSize(7, 5));
        QCOMPARE(image.pixelColor(0, 0), QColor(255, 0, 0));
        QCOMPARE(image.pixelColor(3, 3), QColor(10, 200, 30));
        // a second round trip gives the same bytes
        QCOMPARE(RtfWriter::write(back), rtf);
    }

    void deterministic()
    {
        QTextDocument a;
        QTextDocument b;
        buildRich(a, true);
        buildRich(b, true);
        const QByteArray first = RtfWriter::write(a);
        QCOMPARE(RtfWriter::write(a), first);
        QCOMPARE(RtfWriter::write(b), first);
        QScopedPointer<QTextDocument> clone(a.clone());
        QCOMPARE(RtfWriter::write(*clone), first);
    }

    void unformattedTextUsesDefaultFont()
    {
        QTextDocument doc;
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setPointSize(15);
        doc.setDefaultFont(font);
        doc.setPlainText(QStringLiteral("x"));
        const QByteArray rtf = RtfWriter::write(doc);
        QVERIFY(rtf.contains("{\\f0\\fnil\\fcharset0 DejaVu Serif;}"));
        QVERIFY(rtf.contains("\\fs30"));
        QTextDocument back;
        QVERIFY(RtfReader::read(rtf, back).ok());
        QTextCursor c(&back);
        c.setPosition(1);
        QCOMPARE(c.charFormat().fontPointSize(), 15.0);
        QCOMPARE(rtftest::family(c.charFormat()), QStringLiteral("DejaVu Serif"));
    }

    // A family name comes back whole, whatever its script; a name that carries its maker
    // ("Family [Foundry]", as the font list names twins) goes out as the family alone.
    void fontNamesRoundTrip_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("written");
        QTest::newRow("Latin-1") << QString::fromUtf8("Caf\u00e9 Sans") << QString();
        QTest::newRow("Cyrillic") << QString::fromUtf8("Шрифт Тест") << QString();
        QTest::newRow("CJK") << QString::fromUtf8("明朝") << QString();
        QTest::newRow("outside the BMP") << QString::fromUtf8("Face 😀") << QString();
        QTest::newRow("foundry") << QStringLiteral("DejaVu Sans [Bitstream]")
                                 << QStringLiteral("DejaVu Sans");
        QTest::newRow("foundry, CJK")
            << QString::fromUtf8("明朝 [Maker]") << QString::fromUtf8("明朝");
    }
    void fontNamesRoundTrip()
    {
        QFETCH(QString, family);
        QFETCH(QString, written);
        if (written.isNull())
            written = family;
        QTextDocument doc;
        QTextCursor c(&doc);
        c.insertText(QStringLiteral("a"), run(family, 12));
        c.insertBlock();
        QFont font(family);
        font.setPointSize(10);
        doc.setDefaultFont(font);
        c.insertText(QStringLiteral("b"));
        const QByteArray rtf = RtfWriter::write(doc);
        QVERIFY(!rtf.contains('['));
        QTextDocument back;
        QVERIFY(RtfReader::read(rtf, back).ok());
        QCOMPARE(back.toPlainText(), QStringLiteral("a\nb"));
        for (const int position : {1, 3}) {
            QTextCursor at(&back);
            at.setPosition(position);
            QCOMPARE(rtftest::family(at.charFormat()), written);
        }
    }

    void escapesAndFallbacks()
    {
        QTextDocument doc;
        doc.setPlainText(QString::fromUtf8("a{b}c\\d é € 日"));
        const QByteArray rtf = RtfWriter::write(doc);
        QVERIFY(rtf.contains("a\\{b\\}c\\\\d \\u233\\'e9 \\u8364\\'80 \\u26085?"));
        for (const char ch : rtf)
            QVERIFY(static_cast<unsigned char>(ch) < 0x80);
    }

    void emptyDocument()
    {
        QTextDocument doc;
        const QByteArray rtf = RtfWriter::write(doc);
        QVERIFY(rtf.startsWith("{\\rtf1"));
        QVERIFY(rtf.endsWith("}\n"));
        QTextDocument back;
        back.setPlainText(QStringLiteral("x"));
        QVERIFY(RtfReader::read(rtf, back).ok());
        QCOMPARE(back.toPlainText(), QString());
        QCOMPARE(back.blockCount(), 1);
    }

    void trailingEmptyParagraphs()
    {
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("a\n\n"));
        QCOMPARE(doc.blockCount(), 3);
        QTextDocument back;
        QVERIFY(RtfReader::read(RtfWriter::write(doc), back).ok());
        QCOMPARE(back.blockCount(), 3);
        QCOMPARE(back.toPlainText(), doc.toPlainText());
    }

    void bothListForms()
    {
        QTextDocument doc;
        QTextCursor c(&doc);
        QTextListFormat lf;
        lf.setStyle(QTextListFormat::ListDecimal);
        c.createList(lf);
        c.insertText(QStringLiteral("one"));
        c.insertBlock();
        c.insertText(QStringLiteral("two"));
        const QByteArray rtf = RtfWriter::write(doc);
        QVERIFY(rtf.contains("{\\*\\listtable"));
        QVERIFY(rtf.contains("\\ls1\\ilvl0"));
        QVERIFY(rtf.contains("{\\pntext\\f0 2.\\tab}"));
        QVERIFY(rtf.contains("{\\*\\pn\\pnlvlbody"));
        // A reader that knows both forms lets the later one win: \ls must follow \pn.
        QVERIFY(rtf.indexOf("{\\*\\pn\\pnlvlbody") < rtf.indexOf("\\ls1\\ilvl0"));
        // A reader that knows only the old form: the same list without the list table.
        QByteArray old = rtf;
        old.replace("\\ls1\\ilvl0", "");
        QTextDocument back;
        QVERIFY(RtfReader::read(old, back).ok());
        QVERIFY(back.begin().textList());
        QCOMPARE(back.begin().textList()->format().style(), QTextListFormat::ListDecimal);
        QCOMPARE(back.begin().next().textList(), back.begin().textList());
    }

    void bulletLevelText()
    {
        // Some readers take a \'hh fallback inside \leveltext for a second character.
        QTextDocument doc;
        QTextCursor c(&doc);
        c.createList(QTextListFormat::ListDisc);
        c.insertText(QStringLiteral("x"));
        const QByteArray rtf = RtfWriter::write(doc);
        QVERIFY(rtf.contains("{\\leveltext\\'01\\u8226 ?;}"));
    }

    void unrtfAgrees()
    {
        // unrtf prints Latin-1 text: the document keeps to Latin-1 characters.
        QTextDocument doc;
        QTextCursor c(&doc);
        c.insertText(QStringLiteral("First paragraph, "), run(QStringLiteral("DejaVu Sans"), 12));
        QTextCharFormat b = run(QStringLiteral("DejaVu Serif"), 18);
        b.setFontWeight(QFont::Bold);
        b.setForeground(Qt::red);
        c.insertText(QStringLiteral("bold red serif"), b);
        c.insertBlock();
        c.insertText(QString::fromUtf8("Accents: café naïve façade {braces} \\ backslash"));
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        c.insertBlock(centred);
        c.insertText(QStringLiteral("Centred\twith a tab"));
        c.insertBlock(QTextBlockFormat());
        c.insertText(QStringLiteral("Last words."));
        const QByteArray rtf = RtfWriter::write(doc);
        bool ran = false;
        const QString text = unrtfText(rtf, &ran);
        if (!ran)
            QSKIP("unrtf is not installed (tools/deps.sh test installs it)");
        QCOMPARE(normalised(text), normalised(doc.toPlainText()));
    }

    void unrtfAgreesWithLists()
    {
        // Readers that know no list form show the \pntext marker once.
        QTextDocument doc;
        QTextCursor c(&doc);
        c.insertText(QStringLiteral("Intro"));
        c.insertBlock();
        QTextListFormat lf;
        lf.setStyle(QTextListFormat::ListDecimal);
        c.createList(lf);
        c.insertText(QStringLiteral("alpha"));
        c.insertBlock();
        c.insertText(QStringLiteral("beta"));
        bool ran = false;
        const QString text = unrtfText(RtfWriter::write(doc), &ran);
        if (!ran)
            QSKIP("unrtf is not installed (tools/deps.sh test installs it)");
        QCOMPARE(normalised(text), QStringLiteral("Intro 1. alpha 2. beta"));
    }
};

QTEST_MAIN(TestRtfWriter)
#include "tst_rtf_writer.moc"
