// Times the RTF reader and writer on two documents of about 2 MB — one generated here
// (many paragraphs, mixed character formats, lists, non-ASCII text) and one written by
// LibreOffice (bench/data/libreoffice-2mb.rtf.gz) — and compares the read time with
// `unrtf --text` on the same file, in the same run. For each it also times opening the
// file in the text editor: loading it into the editor's document and its first paint.
//
// Then it times the hostile inputs that the reader's tests only check for results: deep
// nesting, pseudo-random bytes, and the slowest file of the fuzz corpus.
//
//   build/bench_rtf [rounds]        (default 5 rounds; the median is reported)
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"
#include "tests/support/RtfDescription.h"
#include "text/RichTextView.h"
#include "text/TextEditor.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

QByteArray generate(qsizetype targetBytes)
{
    QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\n"
        "{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}{\\f1\\fswiss\\fcharset0 Arial;}"
        "{\\f2\\fmodern\\fcharset0 Courier New;}{\\f3\\fnil\\fcharset204 Arial Cyr;}}\n"
        "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue0;\\red0\\green0\\blue255;}\n"
        "{\\stylesheet{\\s0 Normal;}{\\s1 Heading 1;}}\n"
        "{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}}\\listid1}"
        "{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid2}}\n"
        "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}{\\listoverride\\listid2\\ls2}}\n"
        "{\\info{\\title Benchmark}}\n";
    static const char *words[] = {"presenter", "shared",    "folder", "viewer", "slide",  "text",
                                  "format",    "paragraph", "quorix", "screen", "window", "send"};
    quint32 seed = 2024;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    int paragraph = 0;
    while (rtf.size() < targetBytes) {
        ++paragraph;
        rtf.append("\\pard\\plain");
        switch (paragraph % 10) {
        case 0:
            rtf.append("\\qc\\sb120\\sa120");
            break;
        case 1:
            rtf.append("\\qj\\li720\\ri360\\fi-360");
            break;
        case 2:
            rtf.append("\\ls1\\ilvl0\\li720\\fi-360{\\listtext\\'95\\tab}");
            break;
        case 3:
            rtf.append("\\ls2\\ilvl0\\li720\\fi-360{\\listtext 1.\\tab}");
            break;
        case 4:
            rtf.append("\\qr\\sl360\\slmult1");
            break;
        default:
            break;
        }
        rtf.append(' ');
        const int runs = 4 + int(next() % 8);
        for (int r = 0; r < runs; ++r) {
            const quint32 kind = next() % 9;
            switch (kind) {
            case 0:
                rtf.append("{\\b ");
                break;
            case 1:
                rtf.append("{\\i ");
                break;
            case 2:
                rtf.append("{\\ul ");
                break;
            case 3:
                rtf.append("{\\f1\\fs28\\cf1 ");
                break;
            case 4:
                rtf.append("{\\f2\\fs20\\highlight3 ");
                break;
            case 5:
                rtf.append("{\\f3 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 ");
                break;
            case 6:
                rtf.append("{\\super ");
                break;
            default:
                rtf.append("{");
                break;
            }
            const int n = 3 + int(next() % 10);
            for (int w = 0; w < n; ++w) {
                rtf.append(words[next() % (sizeof words / sizeof *words)]);
                if (next() % 17 == 0)
                    rtf.append(" caf\\'e9 \\u8364?");
                rtf.append(' ');
            }
            rtf.append("}");
        }
        rtf.append("\\par\n");
    }
    rtf.append("}\n");
    return rtf;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double timeMs(const std::function<void()> &f)
{
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

// Wall time of a program on the file, output discarded; negative when it cannot run.
double processMs(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return -1;
    return t.nsecsElapsed() / 1e6;
}

// The LibreOffice document, unpacked; empty when the file is missing.
QByteArray libreOfficeDocument()
{
    QByteArray rtf;
    gzFile in = gzopen(QUORIX_BENCH_DATA "/libreoffice-2mb.rtf.gz", "rb");
    if (!in)
        return rtf;
    char buffer[65536];
    int n = 0;
    while ((n = gzread(in, buffer, sizeof buffer)) > 0)
        rtf.append(buffer, n);
    gzclose(in);
    return rtf;
}

void run(const char *name, const QByteArray &rtf, int rounds, const QString &folder)
{
    const QString path = folder + QStringLiteral("/bench.rtf");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(rtf) != rtf.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return;
        }
    }

    std::vector<double> reads, writes, unrtfs, rtfcats, opens;
    QByteArray written;
    int blocks = 0;
    const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
    const QString rtfcat = QCoreApplication::applicationDirPath() + QStringLiteral("/rtfcat");
    for (int i = 0; i < rounds; ++i) {
        QTextDocument doc;
        reads.push_back(timeMs([&] { quorix::RtfReader::read(rtf, doc); }));
        blocks = doc.blockCount();
        writes.push_back(timeMs([&] { written = quorix::RtfWriter::write(doc); }));
        if (!unrtf.isEmpty())
            unrtfs.push_back(processMs(unrtf, {QStringLiteral("--text"), path}));
        if (QFile::exists(rtfcat))
            rtfcats.push_back(processMs(rtfcat, {path}));
        quorix::TextEditor editor(folder);
        editor.show();
        editor.grab();
        opens.push_back(timeMs([&] {
            quorix::loadRichTextView(*editor.textEdit_, path);
            editor.grab(); // the first paint with the text
        }));
    }

    std::printf("%s: %.2f MB input, %d paragraphs, median of %d rounds\n", name,
                rtf.size() / 1048576.0, blocks, rounds);
    const double read = median(reads);
    std::printf("  read  (RtfReader::read)        %8.1f ms  %6.1f MB/s\n", read,
                rtf.size() / 1048576.0 / (read / 1000));
    std::printf("  write (RtfWriter::write)       %8.1f ms  (%.2f MB out)\n", median(writes),
                written.size() / 1048576.0);
    std::printf("  open in the editor, first paint %7.1f ms\n", median(opens));
    if (!rtfcats.empty() && median(rtfcats) >= 0)
        std::printf("  build/rtfcat FILE (process)    %8.1f ms\n", median(rtfcats));
    if (!unrtfs.empty() && median(unrtfs) > 0) {
        const double u = median(unrtfs);
        std::printf("  unrtf --text FILE (process)    %8.1f ms\n", u);
        std::printf("  ratio read / unrtf             %8.2f  (below 1: the reader is faster)\n",
                    read / u);
        if (!rtfcats.empty() && median(rtfcats) > 0)
            std::printf("  ratio rtfcat / unrtf           %8.2f  (both whole processes)\n",
                        median(rtfcats) / u);
    } else {
        std::printf("  unrtf not found: no comparison (apt-get install unrtf)\n");
    }
}

// The reader on input meant to hurt it, as tests/tst_rtf_reader.cpp and tst_rtf_corpus.cpp
// feed it.
void hostile(int rounds)
{
    std::printf("Hostile input, median of %d rounds\n", rounds);
    const int depth = 200000;
    const QByteArray nested =
        "{\\rtf1 a" + QByteArray(depth, '{') + "x" + QByteArray(depth, '}') + "b}";
    const QByteArray unclosed = "{\\rtf1 a" + QByteArray(depth, '{') + "x";
    std::vector<double> deep, garbage;
    for (int i = 0; i < rounds; ++i) {
        deep.push_back(timeMs([&] {
            QTextDocument doc;
            quorix::RtfReader::read(nested, doc);
            quorix::RtfReader::read(unclosed, doc);
        }));
        garbage.push_back(timeMs([] {
            quint32 state = 12345;
            for (int round = 0; round < 200; ++round) {
                QTextDocument doc;
                quorix::RtfReader::read(rtftest::randomRtf(state, 2000), doc);
            }
        }));
    }
    std::printf("  %-50s %8.1f ms\n",
                qPrintable(QStringLiteral("%1 levels of groups, closed and unclosed").arg(depth)),
                median(deep));
    std::printf("  %-50s %8.1f ms\n", "200 documents of 2000 random bytes", median(garbage));

    double slowest = 0;
    QString slowestName;
    int files = 0;
    QDirIterator it(QStringLiteral(QUORIX_FUZZ_CORPUS), QDir::Files);
    while (it.hasNext()) {
        QFile f(it.next());
        if (!f.open(QIODevice::ReadOnly))
            continue;
        QByteArray bytes = f.readAll();
        if (!quorix::RtfReader::looksLikeRtf(bytes))
            bytes.prepend("{\\rtf1 ");
        ++files;
        // Read, write and read again, as the corpus test does.
        const double ms = timeMs([&] {
            QTextDocument doc;
            quorix::RtfReader::read(bytes, doc);
            QTextDocument again;
            quorix::RtfReader::read(quorix::RtfWriter::write(doc), again);
        });
        if (ms > slowest) {
            slowest = ms;
            slowestName = it.fileName();
        }
    }
    if (files == 0)
        std::printf("  fuzz corpus: %s is empty or missing\n", QUORIX_FUZZ_CORPUS);
    else
        std::printf("  %-50s %8.1f ms (%s)\n",
                    qPrintable(QStringLiteral("slowest of %1 fuzz corpus files").arg(files)),
                    slowest, qPrintable(slowestName));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = std::max(1, argc > 1 ? std::atoi(argv[1]) : 5);
    QTemporaryDir dir;
    // The editor keeps its custom colours in the settings: keep them out of the user's.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());

    run("Generated RTF", generate(2 * 1024 * 1024), rounds, dir.path());
    const QByteArray libreOffice = libreOfficeDocument();
    if (libreOffice.isEmpty())
        std::printf("LibreOffice RTF: %s/libreoffice-2mb.rtf.gz is missing\n", QUORIX_BENCH_DATA);
    else
        run("LibreOffice RTF", libreOffice, rounds, dir.path());
    hostile(rounds);
    return 0;
}
