// The RTF reader: syntax, code pages, tables, formats, lists, pictures, malformed input.
#include "rtf/RtfReader.h"
#include "support/RtfDescription.h"
#include "support/TextFormats.h"

#include <QBuffer>
#include <QImage>
#include <QTest>
#include <QTextDocument>
#include <QTextList>

using quorix::RtfReader;

class TestRtfReader : public QObject
{
    Q_OBJECT

  private:
    static QString textOf(const QByteArray &rtf)
    {
        QTextDocument doc;
        const RtfReader::Result r = RtfReader::read(rtf, doc);
        if (!r.ok())
            return QStringLiteral("<error>");
        // toPlainText() would turn no-break spaces into spaces.
        QString text = doc.toRawText();
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        text.replace(QChar::LineSeparator, QLatin1Char('\n'));
        return text;
    }

    static QByteArray pngBytes(int w, int h, QColor colour)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(colour);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }

  private slots:
    void text_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QByteArray("{\\rtf1 Hello world}") << "Hello world";
        QTest::newRow("groups") << QByteArray("{\\rtf1 a{b{c}}d}") << "abcd";
        QTest::newRow("escapes") << QByteArray("{\\rtf1 \\{x\\}\\\\}") << "{x}\\";
        QTest::newRow("delimiter space") << QByteArray("{\\rtf1\\b  x}") << " x";
        QTest::newRow("line breaks ignored") << QByteArray("{\\rtf1 a\r\nb\nc}") << "abc";
        QTest::newRow("par") << QByteArray("{\\rtf1 a\\par b}") << "a\nb";
        QTest::newRow("backslash newline") << QByteArray("{\\rtf1 a\\\nb}") << "a\nb";
        QTest::newRow("last empty paragraph") << QByteArray("{\\rtf1 a\\par}") << "a";
        QTest::newRow("empty paragraphs")
            << QByteArray("{\\rtf1 a\\par\\par\\par b\\par}") << "a\n\n\nb";
        QTest::newRow("cp1252 hex") << QByteArray("{\\rtf1\\ansi \\'93q\\'94 \\'80 caf\\'e9}")
                                    << QString::fromUtf8("“q” € café");
        QTest::newRow("ansicpg1251") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}")
                                     << QString::fromUtf8("При");
        QTest::newRow("fcharset 204")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial Cyr;}}"
                          "\\'e9{\\f1 \\'c0\\'e1}\\'e9}")
            << QString::fromUtf8("éАбé");
        QTest::newRow("fcharset 238")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset238 X;}}\\f0 \\'9a\\'e8}")
            << QString::fromUtf8("šč");
        QTest::newRow("shift-jis hex")
            << QByteArray(
                   "{\\rtf1{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}\\f0 \\'82\\'a0\\'82\\'a2}")
            << QString::fromUtf8("あい");
        QTest::newRow("shift-jis raw trail byte")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128 M;}}\\f0 \\'83e}")
            << QString::fromUtf8("テ");
        QTest::newRow("cpg in font table")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0\\cpg1253 G;}}\\f0 \\'e1}")
            << QString::fromUtf8("α");
        QTest::newRow("mac") << QByteArray("{\\rtf1\\mac \\'8e}") << QString::fromUtf8("é");
        QTest::newRow("unicode uc1") << QByteArray("{\\rtf1 \\u8364?x}") << QString::fromUtf8("€x");
        QTest::newRow("unicode uc0")
            << QByteArray("{\\rtf1\\uc0 \\u8364 x}") << QString::fromUtf8("€x");
        QTest::newRow("unicode uc2")
            << QByteArray("{\\rtf1\\uc2 \\u12354\\'82\\'a0x}") << QString::fromUtf8("あx");
        QTest::newRow("unicode hex fallback")
            << QByteArray("{\\rtf1 \\u233\\'e9x}") << QString::fromUtf8("éx");
        QTest::newRow("unicode negative")
            << QByteArray("{\\rtf1 \\u-3913?}") << QString(QChar(0xF0B7));
        QTest::newRow("unicode surrogates")
            << QByteArray("{\\rtf1 \\u-10179?\\u-8704?}") << QString::fromUtf8("😀");
        QTest::newRow("uc scoped by group") << QByteArray("{\\rtf1 {\\uc2 \\u233 ab}\\u233 cd}")
                                            << QString::fromUtf8("éédd").left(2) + "d";
        QTest::newRow("skip ends at group end")
            << QByteArray("{\\rtf1\\uc3 {\\u233 a}bc}") << QString::fromUtf8("ébc");
        QTest::newRow("specials") << QByteArray("{\\rtf1 a\\~b\\-c\\_d\\tab e\\line f}")
                                  << QString::fromUtf8("a\u00A0b\u00ADc\u2011d\te\nf");
        QTest::newRow("quotes and dashes")
            << QByteArray("{\\rtf1 \\lquote\\rquote\\ldblquote\\rdblquote\\endash\\emdash\\bullet}")
            << QString::fromUtf8("‘’“”–—•");
        QTest::newRow("unknown star destination")
            << QByteArray("{\\rtf1 a{\\*\\foo b{c}}d}") << "ad";
        QTest::newRow("unknown word ignored") << QByteArray("{\\rtf1 a\\foo12 b}") << "ab";
        QTest::newRow("stylesheet info header footer")
            << QByteArray("{\\rtf1{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}"
                          "{\\header H}{\\footerr F}{\\footnote N}Body}")
            << "Body";
        QTest::newRow("font and colour tables give no text")
            << QByteArray(
                   "{\\rtf1{\\fonttbl{\\f0\\froman Times;}}{\\colortbl;\\red1\\green2\\blue3;}X}")
            << "X";
        QTest::newRow("bin in skipped group") << QByteArray("{\\rtf1{\\*\\foo\\bin3 }}{}a}") << "a";
        QTest::newRow("bin outside picture") << QByteArray("{\\rtf1 a\\bin2 }}b}") << "ab";
        QTest::newRow("field result")
            << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}}")
            << "link";
        QTest::newRow("field without star")
            << QByteArray("{\\rtf1{\\field{\\fldinst PAGE}{\\fldrslt 1}}}") << "1";
        QTest::newRow("hidden") << QByteArray("{\\rtf1 a{\\v hidden}b\\v c\\v0 d}") << "abd";
        QTest::newRow("pntext skipped") << QByteArray("{\\rtf1{\\pntext 1.\\tab}a}") << "a";
        QTest::newRow("listtext skipped")
            << QByteArray("{\\rtf1{\\listtext\\pard\\plain 1.\\tab}a}") << "a";
        QTest::newRow("upr") << QByteArray("{\\rtf1{\\upr{\\f0 ansi}{\\*\\ud{\\u233 x}}}}")
                             << QString::fromUtf8("é");
        QTest::newRow("table cells")
            << QByteArray("{\\rtf1\\trowd a\\cell b\\cell\\row c}") << "a\tb\t\nc";
        QTest::newRow("text after the end") << QByteArray("{\\rtf1 a}b") << "a";
        QTest::newRow("leading white space") << QByteArray("\r\n {\\rtf1 a}") << "a";
        QTest::newRow("control characters dropped")
            << QByteArray("{\\rtf1 a\x01\x02 \\'0d\\'00b}") << "a b";
        QTest::newRow("structure characters")
            << QByteArray("{\\rtf1 a\\u8233?\\u-4?\\u-560?\\u-559?b}")
            << QString::fromUtf8("a\n\uFFFD\uFFFD\uFFFDb");
    }

    void text()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(textOf(rtf), text);
    }

    void notRtf()
    {
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("keep"));
        const RtfReader::Result r = RtfReader::read("hello {\\rtf1 x}", doc);
        QCOMPARE(r.error, RtfReader::Error::NotRtf);
        QVERIFY(!r.message.isEmpty());
        QCOMPARE(doc.toPlainText(), QStringLiteral("keep"));
        QVERIFY(!RtfReader::looksLikeRtf(QByteArray()));
        QVERIFY(RtfReader::looksLikeRtf("\xEF\xBB\xBF{\\rtf1}"));
    }

    void characterFormats()
    {
        QTextDocument doc;
        QVERIFY(
            RtfReader::read(
                "{\\rtf1\\deff1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman{\\*\\panose 0}Times "
                "New Roman;}}"
                "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                "d{\\f0\\fs40\\b\\i\\ul\\strike\\cf1\\highlight2 x}{\\ul\\ulnone y}"
                "{\\super p}{\\sub q}{\\super\\nosupersub r}{\\b\\plain s}{\\uldb t}{\\ulc1 u}}",
                doc)
                .ok());
        QCOMPARE(doc.toPlainText(), QStringLiteral("dxypqrstu"));
        const QTextCharFormat d = formatAt(doc, 0);
        QCOMPARE(rtftest::family(d), QStringLiteral("Times New Roman"));
        QCOMPARE(d.fontPointSize(), 12.0);
        QVERIFY(!d.fontUnderline());
        const QTextCharFormat x = formatAt(doc, 1);
        QCOMPARE(rtftest::family(x), QStringLiteral("Arial"));
        QCOMPARE(x.fontPointSize(), 20.0);
        QCOMPARE(x.fontWeight(), int(QFont::Bold));
        QVERIFY(x.fontItalic());
        QVERIFY(x.fontUnderline());
        QVERIFY(x.fontStrikeOut());
        QCOMPARE(x.foreground().color(), QColor(255, 0, 0));
        QCOMPARE(x.background().color(), QColor(0, 0, 255));
        QVERIFY(!formatAt(doc, 2).fontUnderline());
        QCOMPARE(formatAt(doc, 3).verticalAlignment(), QTextCharFormat::AlignSuperScript);
        QCOMPARE(formatAt(doc, 4).verticalAlignment(), QTextCharFormat::AlignSubScript);
        QCOMPARE(formatAt(doc, 5).verticalAlignment(), QTextCharFormat::AlignNormal);
        QCOMPARE(formatAt(doc, 6).fontWeight(), int(QFont::Normal));
        QCOMPARE(rtftest::family(formatAt(doc, 6)), QStringLiteral("Times New Roman"));
        QVERIFY(formatAt(doc, 7).fontUnderline());
        QVERIFY(!formatAt(doc, 8).fontUnderline()); // \ulc is the underline's colour
        QCOMPARE(formatAt(doc, 6).foreground().style(), Qt::NoBrush);
    }

    void fontTableWithoutGroups()
    {
        QTextDocument doc;
        QVERIFY(RtfReader::read("{\\rtf1{\\fonttbl\\f0\\fnil Courier;\\f1\\fnil Helvetica;}\\f1 a}",
                                doc)
                    .ok());
        QCOMPARE(rtftest::family(formatAt(doc, 0)), QStringLiteral("Helvetica"));
    }

    // Family names outside the font's code page come as \u with fallbacks to skip.
    void fontNames_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QString>("family");
        QTest::newRow("\\u") << QByteArray("{\\f0\\fnil\\fcharset0 \\u26126?\\u26397? Mincho;}")
                             << QString::fromUtf8("明朝 Mincho");
        QTest::newRow("\\uc2") << QByteArray("{\\f0\\uc2 \\u1064\\'3f\\'3f-\\u1058??;}")
                               << QString::fromUtf8("Ш-Т");
        QTest::newRow("code page, then \\u")
            << QByteArray("{\\f0\\fcharset204 \\'c0\\u1041? Cyr;}") << QString::fromUtf8("АБ Cyr");
        QTest::newRow("pair") << QByteArray("{\\f0 Face \\u-10179?\\u-8704?;}")
                              << QString::fromUtf8("Face 😀");
    }
    void fontNames()
    {
        QFETCH(QByteArray, table);
        QFETCH(QString, family);
        QTextDocument doc;
        QVERIFY(RtfReader::read("{\\rtf1{\\fonttbl" + table + "}\\f0 a}", doc).ok());
        QCOMPARE(doc.toPlainText(), QStringLiteral("a"));
        QCOMPARE(rtftest::family(formatAt(doc, 0)), family);
    }

    void paragraphFormats()
    {
        QTextDocument doc;
        QVERIFY(RtfReader::read("{\\rtf1\\pard\\qc a\\par\\pard\\qr "
                                "b\\par\\pard\\qj\\li1440\\ri720\\fi-360\\sb150\\sa300 c\\par"
                                "\\pard\\sl360\\slmult1 d\\par\\pard\\sl-300\\slmult0 "
                                "e\\par\\pard\\sl300 f\\par g}",
                                doc)
                    .ok());
        QCOMPARE(doc.blockCount(), 7);
        QCOMPARE(doc.findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
        QCOMPARE(doc.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignRight);
        const QTextBlockFormat c = doc.findBlockByNumber(2).blockFormat();
        QCOMPARE(c.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
        QCOMPARE(c.leftMargin(), 96.0);
        QCOMPARE(c.rightMargin(), 48.0);
        QCOMPARE(c.textIndent(), -24.0);
        QCOMPARE(c.topMargin(), 10.0);
        QCOMPARE(c.bottomMargin(), 20.0);
        const QTextBlockFormat d = doc.findBlockByNumber(3).blockFormat();
        QCOMPARE(d.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
        QCOMPARE(d.lineHeight(), 150.0);
        QCOMPARE(doc.findBlockByNumber(4).blockFormat().lineHeightType(),
                 int(QTextBlockFormat::FixedHeight));
        QCOMPARE(doc.findBlockByNumber(4).blockFormat().lineHeight(), 20.0);
        QCOMPARE(doc.findBlockByNumber(5).blockFormat().lineHeightType(),
                 int(QTextBlockFormat::MinimumHeight));
        // paragraph formats last until \pard
        QCOMPARE(doc.findBlockByNumber(6).blockFormat().lineHeightType(),
                 int(QTextBlockFormat::MinimumHeight));
    }

    void oldStyleLists()
    {
        QTextDocument doc;
        QVERIFY(RtfReader::read("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}"
                                "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{"
                                "\\pntxtb\\'B7}}\\fi-360\\li360 one\\par"
                                "{\\pntext\\f1\\'B7\\tab}two\\par"
                                "\\pard{\\pntext "
                                "1.\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart1\\pnucrm{"
                                "\\pntxta.}}three\\par"
                                "{\\pntext 2.\\tab}four\\par\\pard five\\par}",
                                doc)
                    .ok());
        QCOMPARE(doc.toPlainText(), QStringLiteral("one\ntwo\nthree\nfour\nfive"));
        QTextList *a = doc.findBlockByNumber(0).textList();
        QVERIFY(a);
        QCOMPARE(a->format().style(), QTextListFormat::ListDisc);
        QCOMPARE(doc.findBlockByNumber(1).textList(), a);
        QCOMPARE(doc.findBlockByNumber(0).blockFormat().leftMargin(), 0.0);
        QCOMPARE(doc.findBlockByNumber(0).blockFormat().textIndent(), 0.0);
        QTextList *b = doc.findBlockByNumber(2).textList();
        QVERIFY(b && b != a);
        QCOMPARE(b->format().style(), QTextListFormat::ListUpperRoman);
        QCOMPARE(doc.findBlockByNumber(3).textList(), b);
        QCOMPARE(b->itemText(doc.findBlockByNumber(3)), QStringLiteral("II."));
        QVERIFY(!doc.findBlockByNumber(4).textList());
    }

    void listTable()
    {
        QTextDocument doc;
        QVERIFY(RtfReader::read(
                    "{\\rtf1{\\*\\listtable"
                    "{\\list\\listtemplateid1{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 "
                    "?;}{\\levelnumbers;}}"
                    "{\\listlevel\\levelnfc23{\\leveltext\\'01o;}}{\\listlevel\\levelnfc23{"
                    "\\leveltext\\'01\\u9642 ?;}}\\listid10}"
                    "{\\list{\\listlevel\\levelnfc4{\\leveltext\\'02\\'00);}{\\levelnumbers\\'01;}}"
                    "\\listid20}}"
                    "{\\*\\listoverridetable{\\listoverride\\listid10\\listoverridecount0\\ls1}"
                    "{\\listoverride\\listid20\\ls2}}"
                    "\\pard\\ls1\\ilvl0\\li720\\fi-360{\\listtext\\'95\\tab}a\\par"
                    "\\pard\\ls1\\ilvl1{\\listtext o\\tab}b\\par"
                    "\\pard\\ls1\\ilvl2 c\\par"
                    "\\pard\\ls2 d\\par\\pard\\ls2 e\\par\\pard f\\par\\pard\\ls2 g\\par}",
                    doc)
                    .ok());
        QCOMPARE(doc.toPlainText(), QStringLiteral("a\nb\nc\nd\ne\nf\ng"));
        QTextList *a = doc.findBlockByNumber(0).textList();
        QVERIFY(a);
        QCOMPARE(a->format().style(), QTextListFormat::ListDisc);
        QCOMPARE(a->format().indent(), 1);
        QCOMPARE(doc.findBlockByNumber(0).blockFormat().leftMargin(),
                 8.0); // 720 twips less the 40 px list indent
        QCOMPARE(doc.findBlockByNumber(0).blockFormat().textIndent(), 0.0);
        QCOMPARE(doc.findBlockByNumber(1).textList()->format().style(),
                 QTextListFormat::ListCircle);
        QCOMPARE(doc.findBlockByNumber(1).textList()->format().indent(), 2);
        QCOMPARE(doc.findBlockByNumber(2).textList()->format().style(),
                 QTextListFormat::ListSquare);
        QTextList *d = doc.findBlockByNumber(3).textList();
        QVERIFY(d);
        QCOMPARE(d->format().style(), QTextListFormat::ListLowerAlpha);
        QVERIFY(!doc.findBlockByNumber(5).textList());
        // the same \ls goes on numbering after an interruption
        QCOMPARE(doc.findBlockByNumber(6).textList(), d);
        QCOMPARE(d->itemNumber(doc.findBlockByNumber(6)), 2);
    }

    void pictures()
    {
        const QByteArray png = pngBytes(4, 3, Qt::red);
        QImage jpegImage(5, 6, QImage::Format_RGB32);
        jpegImage.fill(Qt::blue);
        QByteArray jpeg;
        {
            QBuffer b(&jpeg);
            b.open(QIODevice::WriteOnly);
            jpegImage.save(&b, "JPEG");
        }
        QByteArray rtf =
            "{\\rtf1 a{\\*\\shppict{\\pict\\pngblip\\picw4\\pich3\\picwgoal900\\pichgoal450\n" +
            png.toHex() +
            "}}{\\nonshppict{\\pict\\wmetafile8 "
            "0102}}b{\\pict\\jpegblip\\picscalex50\\picscaley50\\picwgoal150\\pichgoal180 " +
            jpeg.toHex() + "}{\\pict\\pngblip\\bin" + QByteArray::number(png.size()) + " " + png +
            "}{\\pict\\emfblip 0102}c}";
        QTextDocument doc;
        QVERIFY(RtfReader::read(rtf, doc).ok());
        const QString text = doc.toPlainText();
        QCOMPARE(text, QStringLiteral("a\uFFFCb\uFFFC\uFFFCc"));
        const QTextImageFormat first = formatAt(doc, 1).toImageFormat();
        QVERIFY(first.isValid());
        QCOMPARE(first.width(), 60.0);
        QCOMPARE(first.height(), 30.0);
        const QImage image =
            doc.resource(QTextDocument::ImageResource, QUrl(first.name())).value<QImage>();
        QCOMPARE(image.size(), QSize(4, 3));
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::red));
        const QTextImageFormat second = formatAt(doc, 3).toImageFormat();
        QCOMPARE(second.width(), 5.0);
        QCOMPARE(second.height(), 6.0);
        const QImage jpegRead =
            doc.resource(QTextDocument::ImageResource, QUrl(second.name())).value<QImage>();
        QCOMPARE(jpegRead.size(), QSize(5, 6));
        const QTextImageFormat third = formatAt(doc, 4).toImageFormat();
        QCOMPARE(
            doc.resource(QTextDocument::ImageResource, QUrl(third.name())).value<QImage>().size(),
            QSize(4, 3));
    }

    void absurdPictureIsLeftOut()
    {
        // A valid PNG header that claims 100000 x 100000 pixels.
        QByteArray png = pngBytes(1, 1, Qt::red);
        png[16] = 0;
        png[17] = 1;
        png[18] = char(0x86);
        png[19] = char(0xA0);
        png[20] = 0;
        png[21] = 1;
        png[22] = char(0x86);
        png[23] = char(0xA0);
        QTextDocument doc;
        QVERIFY(RtfReader::read(
                    "{\\rtf1 a{\\pict\\pngblip " + png.toHex() + "}b{\\pict\\pngblip 00ff}c}", doc)
                    .ok());
        QCOMPARE(doc.toPlainText(), QStringLiteral("abc"));
    }

    void malformed_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("truncated") << QByteArray("{\\rtf1 abc{\\b def") << "abcdef";
        QTest::newRow("truncated in control word") << QByteArray("{\\rtf1 abc\\") << "abc";
        QTest::newRow("truncated hex") << QByteArray("{\\rtf1 abc\\'4") << "abc4";
        QTest::newRow("bad hex") << QByteArray("{\\rtf1 a\\'zzb}") << "azzb";
        QTest::newRow("extra closing braces") << QByteArray("{\\rtf1 a}}}}b") << "a";
        QTest::newRow("empty") << QByteArray("{\\rtf") << "";
        QTest::newRow("huge parameters")
            << QByteArray("{\\rtf1\\fs99999999999999\\uc999999999 \\u99999999999 a\\li-99999999999 "
                          "b\\f-5 c\\cf9999999 d}")
            << QString();
        QTest::newRow("huge bin") << QByteArray("{\\rtf1 a\\bin999999999999 xyz}") << "a";
        QTest::newRow("negative bin") << QByteArray("{\\rtf1 a\\bin-5 b}") << "ab";
        QTest::newRow("long control word")
            << QByteArray("{\\rtf1 a\\") + QByteArray(100000, 'x') + " b}"
            << "ab";
        QTest::newRow("long number")
            << QByteArray("{\\rtf1 a\\fs") + QByteArray(100000, '9') + " b}"
            << "ab";
        QTest::newRow("list override to nothing")
            << QByteArray("{\\rtf1\\ls77\\ilvl99 a\\par}") << "a";
        QTest::newRow("pict without data") << QByteArray("{\\rtf1 a{\\pict\\pngblip}b}") << "ab";
        QTest::newRow("huge tables")
            << QByteArray("{\\rtf1{\\colortbl") + QByteArray(200000, ';') + "}{\\fonttbl" +
                   QByteArray("\\f1 a;").repeated(100000) + "}\\cf150000\\f9 z}"
            << "z";
        QTest::newRow("stray destinations")
            << QByteArray("{\\rtf1 \\fonttbl a\\colortbl b\\pict c\\listtable d}") << "";
    }

    void malformed()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QTextDocument doc;
        QVERIFY(RtfReader::read(rtf, doc).ok());
        if (!text.isNull())
            QCOMPARE(doc.toPlainText(), text);
    }

    // How long these take is bench_rtf's to measure; a reader that hangs meets the test's
    // time limit.
    void deepNesting()
    {
        const int depth = 200000;
        const QByteArray rtf =
            "{\\rtf1 a" + QByteArray(depth, '{') + "x" + QByteArray(depth, '}') + "b}";
        QTextDocument doc;
        QVERIFY(RtfReader::read(rtf, doc).ok());
        QCOMPARE(doc.toPlainText(), QStringLiteral("ab"));
        // unbalanced: never closed
        QVERIFY(RtfReader::read("{\\rtf1 a" + QByteArray(depth, '{') + "x", doc).ok());
        QCOMPARE(doc.toPlainText(), QStringLiteral("a"));
        // nesting just below the limit is read
        const int ok = RtfReader::kMaxDepth - 1;
        QVERIFY(RtfReader::read("{\\rtf1 a" + QByteArray(ok - 1, '{') + "x" +
                                    QByteArray(ok - 1, '}') + "b}",
                                doc)
                    .ok());
        QCOMPARE(doc.toPlainText(), QStringLiteral("axb"));
    }

    void garbage()
    {
        // Pseudo-random bytes after the header, many seeds: no crash.
        quint32 state = 12345;
        for (int round = 0; round < 200; ++round) {
            QTextDocument doc;
            QVERIFY(RtfReader::read(rtftest::randomRtf(state, 2000), doc).ok());
        }
    }

    void undoHistoryCleared()
    {
        QTextDocument doc;
        QTextCursor(&doc).insertText(QStringLiteral("typed"));
        QVERIFY(doc.isUndoAvailable());
        QVERIFY(RtfReader::read("{\\rtf1 loaded}", doc).ok());
        QVERIFY(!doc.isUndoAvailable());
        QVERIFY(doc.isUndoRedoEnabled());
        QCOMPARE(doc.toPlainText(), QStringLiteral("loaded"));
    }

    void emptyParagraphKeepsItsSize()
    {
        QTextDocument doc;
        QVERIFY(RtfReader::read("{\\rtf1\\fs48 a\\par\\fs20\\par b}", doc).ok());
        QCOMPARE(doc.findBlockByNumber(1).charFormat().fontPointSize(), 10.0);
    }
};

QTEST_MAIN(TestRtfReader)
#include "tst_rtf_reader.moc"
