// The clipboard notifier against a real X server, the clipboard filled by outside
// programs (xclip).
#include "controls/ClipboardWatcher.h"
#include "support/OutsideWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace quorix;
using quorix::test::kSlowWait;
using quorix::test::runTool;

class TestClipboardWatcher : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;

    void copyText(const QString &text)
    {
        const QString file = dir_.filePath(QStringLiteral("text.txt"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
        f.close();
        QCOMPARE(runTool(QStringLiteral("xclip"), {"-selection", "clipboard", "-i", file}), 0);
    }

    void copyImage(QRgb colour)
    {
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(colour);
        const QString file = dir_.filePath(QStringLiteral("image.png"));
        QVERIFY(image.save(file));
        QCOMPARE(runTool(QStringLiteral("xclip"),
                         {"-selection", "clipboard", "-t", "image/png", "-i", file}),
                 0);
    }

  private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty())
            QSKIP("xclip is not installed");
    }

    void raisedOnceAfterCreationUnlessTurnedOff_data()
    {
        QTest::addColumn<bool>("trigger");
        QTest::addColumn<int>("events");
        QTest::newRow("default") << true << 1;
        QTest::newRow("TriggerOnCreation off") << false << 0;
    }

    void raisedOnceAfterCreationUnlessTurnedOff()
    {
        QFETCH(bool, trigger);
        QFETCH(int, events);
        ClipboardWatcher watcher;
        QVERIFY(watcher.triggersOnCreation());
        QVERIFY(watcher.isEnabled());
        watcher.setTriggerOnCreation(trigger);
        QSignalSpy spy(&watcher, &ClipboardWatcher::changed);
        QTest::qWait(100);
        QCOMPARE(spy.count(), events);
        watcher.finishLoading(); // a second time does nothing
        QCOMPARE(spy.count(), events);
    }

    void oneEventPerCopyByAnOutsideProgram()
    {
        ClipboardWatcher watcher;
        watcher.setTriggerOnCreation(false);
        QSignalSpy spy(&watcher, &ClipboardWatcher::changed);
        copyImage(qRgb(200, 10, 10));
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, kSlowWait);
        QCOMPARE(spy.at(0).at(0).value<QObject *>(), &watcher);
        QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::clipboard()->mimeData()->hasImage(), kSlowWait);
        QCOMPARE(qvariant_cast<QImage>(QGuiApplication::clipboard()->mimeData()->imageData())
                     .pixel(3, 3),
                 qRgb(200, 10, 10));
        copyText(QStringLiteral("plain words"));
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, kSlowWait);
        QTest::qWait(300);
        QCOMPARE(spy.count(), 2);
        QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasImage());
    }

    void disabledViewerStaysSilent()
    {
        ClipboardWatcher watcher;
        watcher.setTriggerOnCreation(false);
        watcher.setEnabled(false);
        QSignalSpy spy(&watcher, &ClipboardWatcher::changed);
        copyImage(qRgb(10, 200, 10));
        QTest::qWait(300);
        QCOMPARE(spy.count(), 0);
        watcher.setEnabled(true);
        copyText(QStringLiteral("again"));
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, kSlowWait);
    }
};

QTEST_MAIN(TestClipboardWatcher)
#include "tst_clipboardwatcher.moc"
