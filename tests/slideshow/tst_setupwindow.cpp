// The set-up window: its list commands, slide-list files through its dialogs, the entry
// preview and Preview with Stop, Close and Esc.
#include "core/WholeFile.h"
#include "presenter/SharedState.h"
#include "slideshow/SetupWindow.h"
#include "slideshow/SlideRows.h"
#include "support/ModalAnswerer.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTreeWidget>
#include <QtTest>

#include <sys/inotify.h>
#include <unistd.h>

using namespace quorix;

namespace {

QStringList names(const QTreeWidget &list)
{
    QStringList out;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        out << list.topLevelItem(i)->text(colName);
    return out;
}

void answerFileDialog(const QString &path)
{
    answerModal<QFileDialog>([path](QFileDialog *d) {
        d->setDirectory(QFileInfo(path).path());
        d->findChild<QLineEdit *>("fileNameEdit")->setText(QFileInfo(path).fileName());
        static_cast<QDialog *>(d)->done(QDialog::Accepted);
    });
}

// Counts how often files in a folder are opened, as the kernel reports it.
class OpenCounter
{
  public:
    explicit OpenCounter(const QString &folder)
        : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
          watch_(inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_OPEN))
    {
    }
    ~OpenCounter() { ::close(fd_); }
    bool ok() const { return fd_ >= 0 && watch_ >= 0; }
    // Opens since the last call; INT_MAX when so many came that the queue overflowed.
    int take()
    {
        int opens = 0;
        alignas(inotify_event) char buffer[64 * 1024];
        for (ssize_t n; (n = ::read(fd_, buffer, sizeof buffer)) > 0;) {
            for (char *p = buffer; p < buffer + n;) {
                const auto *event = reinterpret_cast<const inotify_event *>(p);
                if (event->mask & IN_Q_OVERFLOW)
                    return INT_MAX;
                if (event->mask & IN_OPEN)
                    ++opens;
                p += sizeof(inotify_event) + event->len;
            }
        }
        return opens;
    }

  private:
    int fd_;
    int watch_;
};

// Ends a Preview that runs far longer than any passing run can, so that a fault fails the
// test instead of hanging it: it makes every further wait short and presses Stop.
class PreviewWatchdog
{
  public:
    explicit PreviewWatchdog(SetupWindow &f)
    {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this, &f] {
            fired = true;
            f.durationSlider_->setValue(1);
            f.stopButton_->click();
        });
        timer_.start(20000);
    }
    bool fired = false;

  private:
    QTimer timer_;
};

} // namespace

class TestSetupWindow : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void dialogsAdmitUpperCaseExtensions();
    void saveWritesTheLinesThroughTheDialog();
    void openFillsTheListAndReportsMissingFiles();
    void openWithABadDurationEndsWithTheListShown();
    void droppedFilesAreAddedWhole();
    void headerClicksFlipTheDirection();
    void moveAndRemoveAndSelectAll();
    void entryPreviewFitsOneSelectedPicture();
    void clickOnTheEmptyPartOfTheListClearsThePicture();
    void previewOfAnEmptyListWaitsOnceAndEnds();
    void previewInsidePreviewEndsWithStop();
    void previewPassesOverUnreadableSlides();
    void closeAndEscSetTheSlidePosition();

  private:
    QString file(const QString &name) const { return dir_.filePath(name); }
    QString picture(const QString &name, QSize size);

    QTemporaryDir dir_;
    SharedState state_;
    std::unique_ptr<SetupWindow> setupWindow_;
};

QString TestSetupWindow::picture(const QString &name, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    image.save(file(name));
    return file(name);
}

void TestSetupWindow::initTestCase()
{
    picture("wide.png", {1024, 768});
    picture("tall.bmp", {600, 800});
    writeWholeFile(file("agenda.rtf"), "{\\rtf1 Agenda}");
    writeWholeFile(file("notes.txt"), "plain notes");
}

void TestSetupWindow::init()
{
    setupWindow_ = std::make_unique<SetupWindow>(state_);
    state_.stopFlag = false;
    state_.slidePosition = 0;
}

void TestSetupWindow::dialogsAdmitUpperCaseExtensions()
{
    // Names are case-sensitive here; photos from cameras come as .JPG.
    const QStringList filters = setupWindow_->addFilesDialog_->nameFilters();
    QVERIFY(filters.first().contains("*.jpg *.JPG"));
    QVERIFY(filters.first().contains("*.txt *.TXT"));
    QVERIFY(setupWindow_->openDialog_->nameFilters().first().endsWith("(*.obl *.OBL)"));
}

void TestSetupWindow::saveWritesTheLinesThroughTheDialog()
{
    SetupWindow &f = *setupWindow_;
    answerFileDialog(file("empty.obl"));
    f.saveList();
    QCOMPARE(readWholeFile(file("empty.obl")), QByteArray("0\r\n1\r\n"));

    f.addDroppedFiles({file("wide.png"), file("agenda.rtf")});
    f.loopBox_->setChecked(true);
    f.durationSlider_->setValue(5);
    answerFileDialog(file("two"));
    f.saveList();
    QCOMPARE(readWholeFile(file("two.obl")),
             ("1\r\n5\r\n" + file("wide.png") + "\r\n" + file("agenda.rtf") + "\r\n").toUtf8());
    QCOMPARE(f.lines().size(), 4);
}

void TestSetupWindow::openFillsTheListAndReportsMissingFiles()
{
    SetupWindow &f = *setupWindow_;
    f.addDroppedFiles({file("notes.txt")});
    writeWholeFile(file("show.obl"), ("1\n250\n" + file("wide.png") + "\n" + file("gone.jpg") +
                                      "\n\n" + file("wide.png") + "\n" + file("a.gif") + "\n")
                                         .toUtf8());
    QStringList messages;
    std::function<void(QMessageBox *)> answer = [&](QMessageBox *box) {
        messages << box->windowTitle() + "|" + box->text();
        box->accept();
        if (messages.size() < 3)
            answerModal<QMessageBox>(answer);
    };
    answerModal<QMessageBox>(answer);
    answerFileDialog(file("show.obl"));
    f.openList();
    QCOMPARE(messages, QStringList({"Orbelin|File does not exist " + file("gone.jpg"),
                                    "Orbelin|File does not exist ",
                                    "Orbelin|File does not exist " + file("a.gif")}));
    // The list is replaced; one file named twice gives two rows; a.gif does not exist.
    QCOMPARE(names(*f.slideList_), QStringList({"wide.png", "wide.png"}));
    QVERIFY(f.loopBox_->isChecked());
    QCOMPARE(f.durationSlider_->value(), 100);
    QCOMPARE(f.durationLabel_->text(), QStringLiteral("Slide duration: 100"));
    QCOMPARE(f.lines().size(), 7); // the file as read, missing files included
    QVERIFY(!f.slideList_->isHidden());
    // Adding a listed file by hand adds nothing.
    f.addDroppedFiles({file("wide.png")});
    QCOMPARE(f.slideList_->topLevelItemCount(), 2);
}

void TestSetupWindow::openWithABadDurationEndsWithTheListShown()
{
    SetupWindow &f = *setupWindow_;
    f.loopBox_->setChecked(true);
    f.addDroppedFiles({file("notes.txt")});
    writeWholeFile(file("bad.obl"), ("0\r\nsix\r\n" + file("wide.png") + "\r\n").toUtf8());
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, f.openSlideList(file("bad.obl")));
    QCOMPARE(f.slideList_->topLevelItemCount(), 0);
    QVERIFY(!f.loopBox_->isChecked());
    QCOMPARE(f.lines().size(), 3);
    QVERIFY(!f.slideList_->isHidden());

    writeWholeFile(file("headers.obl"), "0\r\n1\r\n");
    f.openSlideList(file("headers.obl"));
    QCOMPARE(f.slideList_->topLevelItemCount(), 0);
    QVERIFY(!f.slidesPresent());
}

void TestSetupWindow::droppedFilesAreAddedWhole()
{
    SetupWindow &f = *setupWindow_;
    const QString longName = QString(240, QLatin1Char('n')) + ".png";
    QDir(dir_.path()).mkpath(QString(60, QLatin1Char('d')));
    const QString longPath = file(QString(60, QLatin1Char('d')) + "/" + longName);
    QVERIFY(QFile::copy(file("wide.png"), longPath));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(longPath), QUrl::fromLocalFile(dir_.path()),
                  QUrl::fromLocalFile(file("agenda.rtf"))});
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    // Straight to the window's handler: the application routes drops only while a drag
    // is in progress.
    static_cast<QObject *>(&f)->event(&drop);
    QCOMPARE(names(*f.slideList_), QStringList({longName, "agenda.rtf"}));
    QCOMPARE(rowPath(*f.slideList_->topLevelItem(0)), longPath);
}

void TestSetupWindow::headerClicksFlipTheDirection()
{
    SetupWindow &f = *setupWindow_;
    f.addDroppedFiles({file("agenda.rtf"), file("wide.png"), file("notes.txt")});
    f.sortByColumn(colName);
    QCOMPARE(names(*f.slideList_), QStringList({"wide.png", "notes.txt", "agenda.rtf"}));
    f.sortByColumn(colType);
    QCOMPARE(f.slideList_->topLevelItemCount(), 3);
    f.sortByColumn(colName);
    QCOMPARE(names(*f.slideList_), QStringList({"wide.png", "notes.txt", "agenda.rtf"}));
    f.sortByColumn(colName);
    QCOMPARE(names(*f.slideList_), QStringList({"agenda.rtf", "notes.txt", "wide.png"}));
}

void TestSetupWindow::moveAndRemoveAndSelectAll()
{
    SetupWindow &f = *setupWindow_;
    f.addDroppedFiles({file("agenda.rtf"), file("wide.png"), file("notes.txt")});
    f.slideList_->topLevelItem(0)->setSelected(true);
    f.moveUpButton_->click(); // the first row goes to the end
    QCOMPARE(names(*f.slideList_), QStringList({"wide.png", "notes.txt", "agenda.rtf"}));
    f.moveDownButton_->click(); // the last row stays last
    QCOMPARE(names(*f.slideList_), QStringList({"wide.png", "notes.txt", "agenda.rtf"}));
    f.slideList_->clearSelection();
    f.entryPicture_->setPixmap(QPixmap(10, 10));
    f.removeSelected();
    QCOMPARE(f.slideList_->topLevelItemCount(), 3);
    QVERIFY(f.entryPicture_->pixmap().isNull());
    f.selectAllAction_->trigger();
    QCOMPARE(f.slideList_->selectedItems().size(), 3);
    f.slideList_->topLevelItem(1)->setSelected(false);
    f.removeSelected();
    QCOMPARE(names(*f.slideList_), QStringList({"notes.txt"}));
}

void TestSetupWindow::entryPreviewFitsOneSelectedPicture()
{
    SetupWindow &f = *setupWindow_;
    f.addDroppedFiles({file("wide.png"), file("tall.bmp"), file("agenda.rtf")});
    f.slideList_->topLevelItem(0)->setSelected(true);
    f.showSelectedEntry();
    QCOMPARE(f.entryPicture_->pixmap().size(), QSize(209, 156));
    f.slideList_->clearSelection();
    f.slideList_->topLevelItem(1)->setSelected(true);
    f.showSelectedEntry();
    QCOMPARE(f.entryPicture_->pixmap().size(), QSize(156, 209));
    f.slideList_->clearSelection();
    f.slideList_->topLevelItem(2)->setSelected(true);
    f.showSelectedEntry();
    QVERIFY(!f.entryText_->isHidden());
    QCOMPARE(f.entryText_->toPlainText(), QStringLiteral("Agenda"));
    // Two rows: the picture is cleared, the text stays.
    f.slideList_->topLevelItem(0)->setSelected(true);
    f.showSelectedEntry();
    QVERIFY(f.entryPicture_->pixmap().isNull());
    QVERIFY(!f.entryText_->isHidden());
}

void TestSetupWindow::clickOnTheEmptyPartOfTheListClearsThePicture()
{
    SetupWindow &f = *setupWindow_;
    f.addDroppedFiles({file("wide.png"), file("agenda.rtf")});
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QWidget *area = f.slideList_->viewport();
    const auto rowCentre = [&](int row) {
        return f.slideList_->visualItemRect(f.slideList_->topLevelItem(row)).center();
    };
    const QPoint empty(rowCentre(0).x(), area->height() - 5);
    QVERIFY(!f.slideList_->itemAt(empty));

    QTest::mouseClick(area, Qt::LeftButton, {}, rowCentre(0));
    QCOMPARE(f.entryPicture_->pixmap().size(), QSize(209, 156));
    QTest::mouseClick(area, Qt::LeftButton, {}, empty);
    QVERIFY(f.slideList_->selectedItems().isEmpty());
    QTRY_VERIFY(f.entryPicture_->pixmap().isNull());

    // A text the preview shows stays.
    QTest::mouseClick(area, Qt::LeftButton, {}, rowCentre(1));
    QVERIFY(!f.entryText_->isHidden());
    f.entryPicture_->setPixmap(QPixmap(10, 10));
    QTest::mouseClick(area, Qt::LeftButton, {}, empty);
    QVERIFY(f.slideList_->selectedItems().isEmpty());
    QTRY_VERIFY(f.entryPicture_->pixmap().isNull());
    QVERIFY(!f.entryText_->isHidden());
    QCOMPARE(f.entryText_->toPlainText(), QStringLiteral("Agenda"));
}

void TestSetupWindow::previewOfAnEmptyListWaitsOnceAndEnds()
{
    SetupWindow &f = *setupWindow_;
    f.loopBox_->setChecked(true);
    PreviewWatchdog watchdog(f);
    QElapsedTimer clock;
    clock.start();
    f.playPreview();
    // It waited for the duration and ended by itself although Loop is ticked. How long
    // past the duration it ends is a figure of bench_slides, not bounded here.
    QVERIFY(clock.elapsed() >= 1000);
    QVERIFY2(!watchdog.fired, "the Preview of an empty list did not end");
    QVERIFY(f.entryPicture_->pixmap().isNull());
    QVERIFY(f.entryText_->isHidden());
}

void TestSetupWindow::previewInsidePreviewEndsWithStop()
{
    SetupWindow &f = *setupWindow_;
    f.addDroppedFiles({file("wide.png")});
    f.loopBox_->setChecked(true);
    state_.stopFlag = true; // Preview clears it
    PreviewWatchdog watchdog(f);
    bool innerEnded = false;
    bool innerRanUntilStop = false;
    QTimer::singleShot(150, &f, [&] {
        f.playPreview();
        innerEnded = true;
    });
    QTimer::singleShot(1600, &f, [&] {
        innerRanUntilStop = !innerEnded; // one looping slide goes on until Stop
        // From here on every wait would last 100 s: Stop must end both Previews without
        // another one.
        f.durationSlider_->setValue(100);
        f.stopButton_->click();
    });
    QElapsedTimer clock;
    clock.start();
    f.playPreview();
    QVERIFY(innerEnded);
    QVERIFY(innerRanUntilStop);
    QVERIFY(clock.elapsed() >= 1600);
    QVERIFY2(!watchdog.fired, "Stop did not end the Previews at once");
    QCOMPARE(f.entryPicture_->pixmap().size(), QSize(209, 156));
}

void TestSetupWindow::previewPassesOverUnreadableSlides()
{
    SetupWindow &f = *setupWindow_;
    QTemporaryDir broken;
    for (const char *name : {"a.jpg", "b.png", "c.bmp"}) {
        const QString path = broken.filePath(QLatin1String(name));
        writeWholeFile(path, "no picture at all");
        // The row stays, without dimensions.
        QVERIFY_THROWS_EXCEPTION(std::exception, f.addDroppedFiles({path}));
    }
    QCOMPARE(f.slideList_->topLevelItemCount(), 3);
    f.loopBox_->setChecked(true);
    OpenCounter opens(broken.path());
    QVERIFY(opens.ok());
    // Each unreadable slide is passed over at once, but a round in which none could be
    // shown is not started again straight away.
    QTimer::singleShot(1000, &f, [&] { f.stopButton_->click(); });
    QElapsedTimer clock;
    clock.start();
    f.playPreview();
    const qint64 elapsed = clock.elapsed();
    const int opened = opens.take();
    QVERIFY2(opened != INT_MAX, "the slides were opened so often that the count overflowed");
    const int rounds = opened / 3;
    QVERIFY2(rounds >= 1, "no slide was tried");
    QVERIFY2(rounds <= elapsed / 100 + 1,
             qPrintable(QStringLiteral("%1 rounds in %2 ms").arg(rounds).arg(elapsed)));

    // One unreadable slide among readable ones is passed over without its wait: with a
    // wait of 100 s, the next slide shows at once.
    f.addDroppedFiles({file("wide.png")});
    f.durationSlider_->setValue(100);
    PreviewWatchdog watchdog(f);
    QTimer nextSlideShown;
    connect(&nextSlideShown, &QTimer::timeout, &f, [&] {
        if (!f.entryPicture_->pixmap().isNull())
            f.stopButton_->click();
    });
    nextSlideShown.start(10);
    f.playPreview();
    QVERIFY2(!watchdog.fired, "an unreadable slide was waited for");
    QCOMPARE(f.entryPicture_->pixmap().size(), QSize(209, 156));
}

void TestSetupWindow::closeAndEscSetTheSlidePosition()
{
    SetupWindow &f = *setupWindow_;
    QTimer::singleShot(50, &f, [&] { f.closeButton_->click(); });
    QCOMPARE(f.showModal(), ModalResult::Cancel);
    QCOMPARE(state_.slidePosition, 2);
    QVERIFY(state_.stopFlag);

    state_.slidePosition = 7;
    state_.stopFlag = false;
    QTimer::singleShot(50, &f, [&] { QTest::keyClick(&f, Qt::Key_Escape); });
    f.showModal();
    QCOMPARE(state_.slidePosition, 2);
    QVERIFY(state_.stopFlag);

    // The close box only closes.
    state_.slidePosition = 7;
    state_.stopFlag = false;
    QTimer::singleShot(50, &f, [&] { f.close(); });
    f.showModal();
    QCOMPARE(state_.slidePosition, 7);
    QVERIFY(state_.stopFlag);
}

QTEST_MAIN(TestSetupWindow)
#include "tst_setupwindow.moc"
