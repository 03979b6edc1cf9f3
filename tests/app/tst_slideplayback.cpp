// Playing a show from the main window's slide page: timed playback's order and end, the
// step buttons, what is written for the viewers with automatic sending on and off, the
// Show command without a show, and a broken slide during playback.
#include "support/AppFixture.h"
#include "support/ModalAnswerer.h"
#include "support/TestFiles.h"

#include "controls/ColourPanel.h"
#include "controls/ErrorReport.h"
#include "imaging/BmpFile.h"
#include "imaging/ImageDecoder.h"
#include "slideshow/SlidePage.h"
#include "slideshow/SlideRows.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using namespace quorix;

namespace {

// What the page shows: the picture's size, or "text" while the text view fills the frame.
QString shown(SlidePage &page)
{
    if (page.slidePicture_->isHidden())
        return QStringLiteral("text");
    const QSize s = page.slidePicture_->pixmap().size();
    return QStringLiteral("%1x%2").arg(s.width()).arg(s.height());
}

} // namespace

class TestSlidePlayback : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase();
    void selectingTheSlideShowShowsThePage();
    void timedPlaybackShowsEachSlideOnceAndEnds();
    void loopStartsAgainAndStopEndsIt();
    void stepButtonsMoveThePosition();
    void autoSendDecidesWhichFilesAreWritten();
    void redIsBorrowedAndGivenBack();
    void durationFieldSetsTheInterval();
    void showWithoutAShowOpensAListThroughTheQuestion();
    void showWithoutAShowAndNoListOpensTheSetUpWindow();
    void brokenSlideIsReportedOnEveryRoundAndPassedOver();

  private:
    struct Show
    {
        AppFixture app;
        SlidePage &page() { return app.main->slidePage(); }
        SetupWindow &setupWindow() { return *app.setupWindow; }
        SharedState &state() { return app.main->state(); }
    };
    std::unique_ptr<Show> start(const QStringList &slides, bool loop = false);
    QString file(const QString &name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
};

void TestSlidePlayback::initTestCase()
{
    QImage wide(1024, 768, QImage::Format_RGB32);
    wide.fill(Qt::darkGreen);
    wide.save(file("wide.png"));
    QImage tall(600, 800, QImage::Format_RGB32);
    tall.fill(Qt::darkRed);
    tall.save(file("tall.bmp"));
    writeWholeFile(file("agenda.rtf"), "{\\rtf1 Agenda}");
    writeWholeFile(file("notes.txt"), "plain notes");
    writeWholeFile(file("broken.jpg"), readWholeFile(sample("baseline.jpg")).chopped(40));
}

std::unique_ptr<TestSlidePlayback::Show> TestSlidePlayback::start(const QStringList &slides,
                                                                  bool loop)
{
    auto show = std::make_unique<Show>();
    show->app.configure();
    show->app.main->startUp();
    show->app.main->selectSlideShowSource();
    show->setupWindow().addDroppedFiles(slides);
    show->setupWindow().rebuildLines();
    show->page().loopBox_->setChecked(loop);
    return show;
}

void TestSlidePlayback::selectingTheSlideShowShowsThePage()
{
    auto show = start({});
    MainWindow &m = *show->app.main;
    SlidePage &page = show->page();
    QCOMPARE(m.sourceMode(), int(smSlideShow));
    QVERIFY(!page.panel_->isHidden());
    page.durationField_->setValue(4);
    m.slideTimer_->setInterval(1);
    m.selectSlideShowSource(); // selecting the mode plays nothing, but takes the field's duration
    QCOMPARE(m.slideTimer_->interval(), 4000);
    QVERIFY(!m.slideTimer_->enabled());
    QCOMPARE(show->state().slidePosition, 0);
}

void TestSlidePlayback::timedPlaybackShowsEachSlideOnceAndEnds()
{
    auto show = start({file("wide.png"), file("agenda.rtf"), file("tall.bmp")});
    SlidePage &page = show->page();
    show->state().slidePosition = 2;
    QStringList seen;
    connect(page.slideTimer_, &RestartOnChangeTimer::timeout, this, [&] { seen << shown(page); });
    page.showButton_->click();
    QCOMPARE(shown(page), QStringLiteral("233x174")); // slide 1 at once
    QCOMPARE(page.slideTimer_->interval(), 6000);
    QVERIFY(page.slideTimer_->enabled());
    page.slideTimer_->setInterval(60);
    QTRY_VERIFY(!page.slideTimer_->enabled());
    QCOMPARE(seen, QStringList({"text", "132x177"}));
    QCOMPARE(show->state().slidePosition, 5);
}

void TestSlidePlayback::loopStartsAgainAndStopEndsIt()
{
    auto show = start({file("wide.png"), file("tall.bmp")}, true);
    SlidePage &page = show->page();
    QStringList seen;
    connect(page.slideTimer_, &RestartOnChangeTimer::timeout, this, [&] { seen << shown(page); });
    show->state().slidePosition = 2;
    page.showButton_->click();
    page.slideTimer_->setInterval(40);
    QTRY_VERIFY(seen.size() >= 3);
    QCOMPARE(seen.mid(0, 3), QStringList({"132x177", "233x174", "132x177"}));
    // A stop asked for elsewhere (another source button) ends playback after one more slide.
    show->state().stopFlag = true;
    const qsizetype before = seen.size();
    QTRY_VERIFY(!page.slideTimer_->enabled());
    QCOMPARE(seen.size(), before + 1);
}

void TestSlidePlayback::stepButtonsMoveThePosition()
{
    auto show = start({file("wide.png"), file("agenda.rtf"), file("tall.bmp")});
    SlidePage &page = show->page();
    SharedState &state = show->state();
    page.firstButton_->click();
    QCOMPARE(state.slidePosition, 2);
    QVERIFY(state.stopFlag);
    QCOMPARE(shown(page), QStringLiteral("233x174"));
    page.previousButton_->click(); // Previous: below the first slide nothing is shown
    QCOMPARE(state.slidePosition, 1);
    QCOMPARE(shown(page), QStringLiteral("233x174"));
    page.nextButton_->click();
    page.nextButton_->click();
    QCOMPARE(state.slidePosition, 3);
    QCOMPARE(shown(page), QStringLiteral("text"));
    page.lastButton_->click(); // the position stays
    QCOMPARE(shown(page), QStringLiteral("132x177"));
    QCOMPARE(state.slidePosition, 3);
    // Show resumes at the position: the text slide again, at once.
    page.showButton_->click();
    QCOMPARE(shown(page), QStringLiteral("text"));
    QCOMPARE(state.slidePosition, 4);
    QVERIFY(page.slideTimer_->enabled());
    page.stopButton_->click();
    QVERIFY(!page.slideTimer_->enabled());
    QVERIFY(state.stopFlag);
    QCOMPARE(state.slidePosition, 4);
}

void TestSlidePlayback::autoSendDecidesWhichFilesAreWritten()
{
    auto show = start({});
    SlidePage &page = show->page();
    MainWindow &m = *show->app.main;
    const QString bmp = show->app.shared() + "shar.bmp";
    const QString rtf = show->app.shared() + "shar.rtf";

    page.showSlide(sample("baseline.jpg"));
    page.showSlide(file("wide.png"));
    QVERIFY(!fileExists(bmp));
    page.showSlide(file("agenda.rtf"));
    QVERIFY(readWholeFile(rtf).contains("Agenda"));

    m.autoSendBox_->click();
    QVERIFY(show->state().autoSend);
    page.showSlide(sample("baseline.jpg"));
    const QByteArray jpeg = readWholeFile(bmp);
    QCOMPARE(jpeg.mid(28, 2), QByteArray("\x18\x00", 2)); // 24 bits per pixel
    QCOMPARE(QImage::fromData(jpeg, "BMP").size(), QSize(40, 30));
    QVERIFY(m.currentBitmap().isNull()); // JPEG and PNG slides leave it as it was
    page.showSlide(file("wide.png"));
    QCOMPARE(QImage::fromData(readWholeFile(bmp), "BMP").size(), QSize(1024, 768));
    QVERIFY(m.currentBitmap().isNull());
    page.showSlide(file("tall.bmp"));
    QCOMPARE(m.currentBitmap().size(), QSize(600, 800));
    QCOMPARE(readWholeFile(bmp), encodeBmp(m.currentBitmap()));
    page.showSlide(file("notes.txt"));
    QVERIFY(readWholeFile(rtf).contains("plain notes"));
}

void TestSlidePlayback::redIsBorrowedAndGivenBack()
{
    auto show = start({});
    SlidePage &page = show->page();
    MainWindow &m = *show->app.main;
    const QRect home = m.textView_->geometry();
    page.showSlideOnPage(file("agenda.rtf"));
    QCOMPARE(m.textView_->parentWidget(), page.slideFrame_);
    QCOMPARE(m.textView_->geometry(), QRect(0, 0, 289, 201));
    QCOMPARE(m.textView_->toPlainText(), QStringLiteral("Agenda"));
    page.showSlideOnPage(file("wide.png"));
    QCOMPARE(m.textView_->parentWidget(), m.textPanel_);
    QCOMPARE(m.textView_->geometry(), home);
}

void TestSlidePlayback::durationFieldSetsTheInterval()
{
    auto show = start({});
    SlidePage &page = show->page();
    page.durationField_->setValue(2);
    QCOMPARE(page.slideTimer_->interval(), 2000);
    page.durationField_->findChild<QLineEdit *>()->setText(QStringLiteral("0"));
    QCOMPARE(page.slideTimer_->interval(), 0);
    page.durationField_->findChild<QLineEdit *>()->setText(QString());
    QCOMPARE(page.slideTimer_->interval(), 1000);
}

void TestSlidePlayback::showWithoutAShowOpensAListThroughTheQuestion()
{
    auto show = start({});
    SlidePage &page = show->page();
    show->app.main->autoSendBox_->click();
    const QString list = file("show.obl");
    writeWholeFile(
        list, ("0\r\n3\r\n" + file("agenda.rtf") + "\r\n" + file("wide.png") + "\r\n").toUtf8());
    QString question;
    answerModal<QMessageBox>([&](QMessageBox *box) {
        question = box->windowTitle() + "|" + box->text();
        answerModal<QFileDialog>([list](QFileDialog *d) {
            d->setDirectory(QFileInfo(list).path());
            d->findChild<QLineEdit *>("fileNameEdit")->setText(QFileInfo(list).fileName());
            static_cast<QDialog *>(d)->done(QDialog::Accepted);
        });
        box->button(QMessageBox::Yes)->click();
    });
    page.showButton_->click();
    QCOMPARE(question, QStringLiteral("Quorix|Open Slide Show ?"));
    QCOMPARE(show->setupWindow().slideList_->topLevelItemCount(), 2);
    QCOMPARE(shown(page), QStringLiteral("text"));
    QVERIFY(readWholeFile(show->app.shared() + "shar.rtf").contains("Agenda"));
    QCOMPARE(show->state().slidePosition, 3);
    QVERIFY(page.slideTimer_->enabled());
    QCOMPARE(page.slideTimer_->interval(), 6000); // the page's own duration, not the list's
    page.slideTimer_->setInterval(30);
    QTRY_VERIFY(fileExists(show->app.shared() + "shar.bmp"));
    QTRY_VERIFY(!page.slideTimer_->enabled());
}

void TestSlidePlayback::showWithoutAShowAndNoListOpensTheSetUpWindow()
{
    auto show = start({});
    SlidePage &page = show->page();
    bool setUpShown = false;
    answerModal<QMessageBox>([&](QMessageBox *box) {
        answerModal<SetupWindow>([&](SetupWindow *f) {
            setUpShown = true;
            f->onCloseClicked();
        });
        box->button(QMessageBox::No)->click();
    });
    page.showButton_->click();
    QVERIFY(setUpShown);
    QVERIFY(!page.slideTimer_->enabled());
    QCOMPARE(show->state().slidePosition, 2);

    // Built and closed in the set-up window: slide 1 at once, slide 2 at the next step,
    // then playback stops, because Close asked it to.
    answerModal<QMessageBox>([&](QMessageBox *box) { box->button(QMessageBox::No)->click(); },
                             10000);
    answerModal<SetupWindow>([&](SetupWindow *f) {
        f->addDroppedFiles({file("wide.png"), file("tall.bmp"), file("agenda.rtf")});
        f->rebuildLines(); // as Save Files List does
        f->onCloseClicked();
    });
    page.showButton_->click();
    QCOMPARE(shown(page), QStringLiteral("233x174"));
    page.slideTimer_->setInterval(30);
    QTRY_VERIFY(!page.slideTimer_->enabled());
    QCOMPARE(shown(page), QStringLiteral("132x177"));
}

void TestSlidePlayback::brokenSlideIsReportedOnEveryRoundAndPassedOver()
{
    auto show = start({file("broken.jpg"), file("wide.png")}, true);
    SlidePage &page = show->page();
    show->app.main->autoSendBox_->click();
    int ticks = 0;
    connect(page.slideTimer_, &RestartOnChangeTimer::timeout, this, [&] { ++ticks; });
    // Per report: the ticks and the position change while it is open, and what the page
    // showed when it opened.
    QList<int> ticksWhileOpen;
    QList<int> movesWhileOpen;
    QStringList shownAtReport;
    std::function<void(QMessageBox *)> answer = [&](QMessageBox *box) {
        QCOMPARE(box->objectName(), QStringLiteral("errorReport"));
        QVERIFY(box->text().contains("broken.jpg"));
        shownAtReport << shown(page);
        const int ticksAtOpen = ticks;
        const int positionAtOpen = show->state().slidePosition;
        QTimer::singleShot(300, box, [&, box, ticksAtOpen, positionAtOpen] {
            ticksWhileOpen << ticks - ticksAtOpen;
            movesWhileOpen << show->state().slidePosition - positionAtOpen;
            if (shownAtReport.size() == 2)
                page.stopButton_->click();
            else
                answerModal<QMessageBox>(answer);
            box->accept();
        });
    };
    answerModal<QMessageBox>(answer);
    show->state().slidePosition = 2;
    page.showButton_->click(); // Show fails silently on the broken slide
    QVERIFY(!page.slideTimer_->enabled());
    show->state().stopFlag = false;
    page.slideTimer_->setEnabled(true);
    page.slideTimer_->setInterval(40);
    // Once on every round: playback waits while the report is open, then goes on.
    QTRY_COMPARE_WITH_TIMEOUT(ticksWhileOpen.size(), 2, 20000);
    QCOMPARE(ticksWhileOpen, QList<int>({0, 0}));
    QCOMPARE(movesWhileOpen, QList<int>({0, 0}));
    QCOMPARE(shownAtReport.last(), QStringLiteral("233x174"));
    QVERIFY(!page.slideTimer_->enabled());
}

QTEST_MAIN(TestSlidePlayback)
#include "tst_slideplayback.moc"
