// The real program under a real X server with a window manager: the window's size,
// place, frame, stacking and shape; moving it by its background; its place kept across
// runs; a message of a hidden window shown above the main window, which stays on top.
#include "core/LineFile.h"
#include "core/WholeFile.h"
#include "slideshow/SlidePage.h"
#include "support/AppFixture.h"
#include "support/ModalAnswerer.h"

#include "support/OutsideWindow.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace quorix;
using quorix::test::kSlowWait;
using quorix::test::toolOutput;
using quorix::test::xdotool;

class TestX11MainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir programDir;
    QTemporaryDir sharedDir;
    QProcess quorix;

    QString start()
    {
        quorix.start(programDir.filePath("quorix"), {});
        if (!quorix.waitForStarted(5000))
            return {};
        QString id;
        for (int i = 0; i < 200 && id.isEmpty(); ++i) {
            id = xdotool({"search", "--onlyvisible", "--name", "^Quorix$"}).section('\n', 0, 0);
            if (id.isEmpty())
                QTest::qWait(50);
        }
        return id;
    }

    QRect geometry(const QString &id) { return quorix::test::windowGeometry(id); }

    QRgb screenPixel(int x, int y)
    {
        return QGuiApplication::primaryScreen()->grabWindow(0, x, y, 1, 1).toImage().pixel(0, 0);
    }

  private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        QVERIFY(QFile::copy(QUORIX_BINARY, programDir.filePath("quorix")));
        QFile::setPermissions(programDir.filePath("quorix"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString shared = sharedDir.path() + '/';
        writeLineFile(shared + "quorix.cfg",
                      {shared + "shar.bmp", "0", "0", "0", "1", "1", "", "0"});
        writeLineFile(programDir.filePath("qx.cfg"), {shared + "quorix.cfg"});
    }

    void firstRunWindowDragAndReturn()
    {
        const QString id = start();
        QVERIFY2(!id.isEmpty(), "the main window did not appear");
        QTRY_COMPARE(geometry(id), QRect(290, 172, 496, 348));

        // The window manager sets these once it has taken the window in: on a busy machine
        // that may come a little after the window is visible.
        QString state;
        QTRY_VERIFY2_WITH_TIMEOUT(
            (state = toolOutput("xprop", {"-id", id, "_NET_WM_STATE", "_NET_FRAME_EXTENTS"}),
             state.contains("_NET_WM_STATE_ABOVE") &&
                 state.contains("_NET_FRAME_EXTENTS(CARDINAL) = 0, 0, 0, 0")),
            qPrintable(state), 10000);

        // Rounded corners: the corner pixel is the desktop's, one step in is the window's.
        const QRgb background = qRgb(56, 63, 90);
        QTRY_COMPARE(screenPixel(290 + 250, 172 + 10), background);
        QVERIFY(screenPixel(290, 172) != background);
        QVERIFY(screenPixel(290 + 495, 172 + 347) != background);
        QCOMPARE(screenPixel(290 + 3, 172 + 3), background);

        // Drag by a bare spot of the background.
        xdotool({"mousemove", "540", "182"});
        xdotool({"mousedown", "1"});
        for (int step = 1; step <= 10; ++step) {
            xdotool(
                {"mousemove", QString::number(540 + step * 10), QString::number(182 + step * 8)});
            QTest::qWait(20);
        }
        xdotool({"mouseup", "1"});
        QTRY_COMPARE(geometry(id).topLeft(), QPoint(390, 252));

        // Close with the close button; the place is stored and restored.
        xdotool({"mousemove", QString::number(390 + 478), QString::number(252 + 15)});
        xdotool({"click", "1"});
        QVERIFY(quorix.waitForFinished(5000));
        QCOMPARE(readWholeFile(programDir.filePath("Progset.cfg")),
                 QByteArray("[Velikost]\r\nLevo=390\r\nGor=252\r\n\r\n"));

        const QString again = start();
        QVERIFY(!again.isEmpty());
        QTRY_COMPARE(geometry(again), QRect(390, 252, 496, 348));
        quorix.terminate();
        quorix.waitForFinished(5000);
    }

    // Presses on controls are not presses on the background: dragging from the label, the
    // preview or the source group leaves the window where it is; a quick tap on a bare
    // spot moves nothing and leaves the window free of the pointer.
    void onlyBareSpotsMoveTheWindow()
    {
        QFile::remove(programDir.filePath("Progset.cfg"));
        QFile::remove(sharedDir.filePath("quorixlog.cfg"));
        const QString id = start();
        QVERIFY2(!id.isEmpty(), "the main window did not appear");
        QTRY_COMPARE(geometry(id), QRect(290, 172, 496, 348));
        QTest::qWait(300);

        const QPoint spots[] = {{150, 30}, {280, 210}, {38, 117}};
        for (const QPoint spot : spots) {
            const int x = 290 + spot.x();
            const int y = 172 + spot.y();
            xdotool({"mousemove", QString::number(x), QString::number(y)});
            xdotool({"mousedown", "1"});
            for (int step = 1; step <= 8; ++step) {
                xdotool(
                    {"mousemove", QString::number(x + step * 10), QString::number(y + step * 8)});
                QTest::qWait(20);
            }
            xdotool({"mouseup", "1"});
            QTest::qWait(300);
            QVERIFY2(geometry(id).topLeft() == QPoint(290, 172),
                     qPrintable(QStringLiteral("a drag from %1,%2 moved the window")
                                    .arg(spot.x())
                                    .arg(spot.y())));
        }
        // Dragging off the label is no click on it: automatic sending stays off.
        QVERIFY(!QFile::exists(sharedDir.filePath("quorixlog.cfg")));

        // Taps far enough apart not to make a double click, which would fold the window.
        for (int tap = 0; tap < 5; ++tap) {
            xdotool({"mousemove", "540", "182", "mousedown", "1", "mouseup", "1"});
            QTest::qWait(100);
            xdotool({"mousemove", "700", "400"});
            QTest::qWait(600);
            const QRect now = geometry(id);
            QVERIFY2(now == QRect(290, 172, 496, 348),
                     qPrintable(QStringLiteral("a tap moved or glued the window: %1,%2 %3x%4")
                                    .arg(now.x())
                                    .arg(now.y())
                                    .arg(now.width())
                                    .arg(now.height())));
        }
        quorix.terminate();
        quorix.waitForFinished(5000);
    }

    // The top-level windows from the bottom of the stacking order up, as the window
    // manager keeps them.
    static QList<WId> stacking()
    {
        QList<WId> ids;
        const QString list = toolOutput("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"});
        for (const QString &id : list.section('#', 1).split(',', Qt::SkipEmptyParts))
            ids << id.trimmed().toULong(nullptr, 16);
        return ids;
    }

    // Show with no show loaded, Yes to "Open Slide Show ?", and a list naming a file that
    // is gone: the message about it comes from the hidden set-up window, and must not end
    // up below the main window, which stays on top of everything else.
    void missingSlideMessageIsAboveTheMainWindow()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        app.main->show();
        QVERIFY(QTest::qWaitForWindowExposed(app.main.get()));
        app.main->selectSlideShowSource();
        const QString list = app.program("show.obl");
        writeWholeFile(list, ("0\r\n1\r\n" + app.program("gone.jpg") + "\r\n").toUtf8());
        // Should a step fail, no window may stay open and hang the test.
        QTimer::singleShot(60000, qApp, [] {
            while (QWidget *w = QApplication::activeModalWidget())
                w->close();
        });

        QList<WId> order;
        bool mainOnTop = false;
        bool boxListed = false;
        QString message;
        answerModal<QMessageBox>(
            [&](QMessageBox *question) {
                answerModal<QFileDialog>(
                    [&](QFileDialog *d) {
                        d->setDirectory(QFileInfo(list).path());
                        d->findChild<QLineEdit *>("fileNameEdit")->setText("show.obl");
                        answerModal<QMessageBox>(
                            [&](QMessageBox *box) {
                                // Once the window manager has taken it in.
                                boxListed = QTest::qWaitFor(
                                    [&] {
                                        order = stacking();
                                        return order.contains(box->winId());
                                    },
                                    kSlowWait);
                                message = box->text();
                                mainOnTop =
                                    order.indexOf(app.main->winId()) > order.indexOf(box->winId());
                                box->accept();
                            },
                            kSlowWait,
                            [](QMessageBox *box) {
                                return box->objectName() == "fileDoesNotExist" &&
                                       box->windowHandle() && box->windowHandle()->isExposed();
                            });
                        static_cast<QDialog *>(d)->done(QDialog::Accepted);
                    },
                    kSlowWait);
                question->button(QMessageBox::Yes)->click();
            },
            kSlowWait);
        // The presenter presses Show.
        QToolButton *show = app.main->slidePage().showButton_;
        const QPoint centre = show->mapToGlobal(show->rect().center());
        xdotool({"mousemove", QString::number(centre.x()), QString::number(centre.y())});
        xdotool({"click", "1"});
        QTRY_VERIFY_WITH_TIMEOUT(!message.isEmpty(), kSlowWait);
        QCOMPARE(message, "File does not exist " + app.program("gone.jpg"));
        QVERIFY2(boxListed, "the window manager never listed the message");
        QVERIFY2(order.contains(app.main->winId()), "the main window is not listed");
        QVERIFY2(!mainOnTop, "the message is below the main window");
        QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), kSlowWait);
    }

    void cleanupTestCase()
    {
        if (quorix.state() != QProcess::NotRunning) {
            quorix.kill();
            quorix.waitForFinished(3000);
        }
    }
};

QTEST_MAIN(TestX11MainWindow)
#include "tst_x11_mainwindow.moc"
