// Playing a show from the main window's slide page: timed playback's order and end, the
// step buttons, what is written for the viewers with automatic sending on and off, the
// Show command without a show, a broken slide during playback, and slidecat's bytes.
#include "AppFixture.h"
#include "ModalAnswerer.h"

#include "controls/ColourPanel.h"
#include "controls/ErrorReport.h"
#include "platform/BmpFile.h"
#include "platform/ImageDecoder.h"
#include "slideshow/SlidePage.h"
#include "slideshow/SlideRows.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using namespace quorix;

namespace {

QString sample(const char *name)
{
    return QStringLiteral(QUORIX_TEST_DATA "/slides/") + QLatin1String(name);
}

// What the page shows: the picture's size, or "text" while `red` fills the frame.
QString shown(SlidePage &page)
{
    if (page.slika2->isHidden())
        return QStringLiteral("text");
    const QSize s = page.slika2->pixmap().size();
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
    void slidecatWritesWhatPlaybackWrites_data();
    void slidecatWritesWhatPlaybackWrites();

  private:
    struct Show
    {
        AppFixture app;
        SlidePage &page() { return app.main->slidePage(); }
        Tfss &fss() { return *app.fss; }
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
    show->fss().aceptFiles(slides);
    show->fss().Button1Click();
    show->page().cbloop->setChecked(loop);
    return show;
}

void TestSlidePlayback::selectingTheSlideShowShowsThePage()
{
    auto show = start({});
    MainWindow &m = *show->app.main;
    SlidePage &page = show->page();
    QCOMPARE(m.sourceMode(), int(smSlideShow));
    QVERIFY(!page.p7->isHidden());
    page.tbr->setValue(4);
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
    connect(page.Timerstep, &RestartOnChangeTimer::OnTimer, this, [&] { seen << shown(page); });
    page.SpeedButtonPlayForward->click();
    QCOMPARE(shown(page), QStringLiteral("233x174")); // slide 1 at once
    QCOMPARE(page.Timerstep->interval(), 6000);
    QVERIFY(page.Timerstep->enabled());
    page.Timerstep->setInterval(60);
    QTRY_VERIFY(!page.Timerstep->enabled());
    QCOMPARE(seen, QStringList({"text", "132x177"}));
    QCOMPARE(show->state().slidePosition, 5);
}

void TestSlidePlayback::loopStartsAgainAndStopEndsIt()
{
    auto show = start({file("wide.png"), file("tall.bmp")}, true);
    SlidePage &page = show->page();
    QStringList seen;
    connect(page.Timerstep, &RestartOnChangeTimer::OnTimer, this, [&] { seen << shown(page); });
    show->state().slidePosition = 2;
    page.SpeedButtonPlayForward->click();
    page.Timerstep->setInterval(40);
    QTRY_VERIFY(seen.size() >= 3);
    QCOMPARE(seen.mid(0, 3), QStringList({"132x177", "233x174", "132x177"}));
    // A stop asked for elsewhere (another source button) ends playback after one more slide.
    show->state().stopFlag = true;
    const qsizetype before = seen.size();
    QTRY_VERIFY(!page.Timerstep->enabled());
    QCOMPARE(seen.size(), before + 1);
}

void TestSlidePlayback::stepButtonsMoveThePosition()
{
    auto show = start({file("wide.png"), file("agenda.rtf"), file("tall.bmp")});
    SlidePage &page = show->page();
    SharedState &state = show->state();
    page.SpeedButtonFirstOne->click();
    QCOMPARE(state.slidePosition, 2);
    QVERIFY(state.stopFlag);
    QCOMPARE(shown(page), QStringLiteral("233x174"));
    page.SpeedButton2->click(); // Previous: below the first slide nothing is shown
    QCOMPARE(state.slidePosition, 1);
    QCOMPARE(shown(page), QStringLiteral("233x174"));
    page.SpeedButton3->click();
    page.SpeedButton3->click();
    QCOMPARE(state.slidePosition, 3);
    QCOMPARE(shown(page), QStringLiteral("text"));
    page.SpeedButtonLastOne->click(); // the position stays
    QCOMPARE(shown(page), QStringLiteral("132x177"));
    QCOMPARE(state.slidePosition, 3);
    // Show resumes at the position: the text slide again, at once.
    page.SpeedButtonPlayForward->click();
    QCOMPARE(shown(page), QStringLiteral("text"));
    QCOMPARE(state.slidePosition, 4);
    QVERIFY(page.Timerstep->enabled());
    page.SpeedButtonPause->click();
    QVERIFY(!page.Timerstep->enabled());
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

    page.ShowSlide(sample("baseline.jpg"));
    page.ShowSlide(file("wide.png"));
    QVERIFY(!fileExists(bmp));
    page.ShowSlide(file("agenda.rtf"));
    QVERIFY(readWholeFile(rtf).contains("Agenda"));

    m.autoSendBox_->click();
    QVERIFY(show->state().autoSend);
    page.ShowSlide(sample("baseline.jpg"));
    const QByteArray jpeg = readWholeFile(bmp);
    QCOMPARE(jpeg.mid(28, 2), QByteArray("\x18\x00", 2)); // 24 bits per pixel
    QCOMPARE(QImage::fromData(jpeg, "BMP").size(), QSize(40, 30));
    QVERIFY(m.currentBitmap().isNull()); // JPEG and PNG slides leave it as it was
    page.ShowSlide(file("wide.png"));
    QCOMPARE(QImage::fromData(readWholeFile(bmp), "BMP").size(), QSize(1024, 768));
    QVERIFY(m.currentBitmap().isNull());
    page.ShowSlide(file("tall.bmp"));
    QCOMPARE(m.currentBitmap().size(), QSize(600, 800));
    QCOMPARE(readWholeFile(bmp), encodeBmp(m.currentBitmap()));
    page.ShowSlide(file("notes.txt"));
    QVERIFY(readWholeFile(rtf).contains("plain notes"));
}

void TestSlidePlayback::redIsBorrowedAndGivenBack()
{
    auto show = start({});
    SlidePage &page = show->page();
    MainWindow &m = *show->app.main;
    const QRect home = m.textView_->geometry();
    page.risiprikaz(file("agenda.rtf"));
    QCOMPARE(m.textView_->parentWidget(), page.Panel3);
    QCOMPARE(m.textView_->geometry(), QRect(0, 0, 289, 201));
    QCOMPARE(m.textView_->toPlainText(), QStringLiteral("Agenda"));
    page.risiprikaz(file("wide.png"));
    QCOMPARE(m.textView_->parentWidget(), m.textPanel_);
    QCOMPARE(m.textView_->geometry(), home);
}

void TestSlidePlayback::durationFieldSetsTheInterval()
{
    auto show = start({});
    SlidePage &page = show->page();
    page.tbr->setValue(2);
    QCOMPARE(page.Timerstep->interval(), 2000);
    page.tbr->findChild<QLineEdit *>()->setText(QStringLiteral("0"));
    QCOMPARE(page.Timerstep->interval(), 0);
    page.tbr->findChild<QLineEdit *>()->setText(QString());
    QCOMPARE(page.Timerstep->interval(), 1000);
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
    page.SpeedButtonPlayForward->click();
    QCOMPARE(question, QStringLiteral("Quorix|Open Slide Show ?"));
    QCOMPARE(show->fss().tabela->topLevelItemCount(), 2);
    QCOMPARE(shown(page), QStringLiteral("text"));
    QVERIFY(readWholeFile(show->app.shared() + "shar.rtf").contains("Agenda"));
    QCOMPARE(show->state().slidePosition, 3);
    QVERIFY(page.Timerstep->enabled());
    QCOMPARE(page.Timerstep->interval(), 6000); // the page's own duration, not the list's
    page.Timerstep->setInterval(30);
    QTRY_VERIFY(fileExists(show->app.shared() + "shar.bmp"));
    QTRY_VERIFY(!page.Timerstep->enabled());
}

void TestSlidePlayback::showWithoutAShowAndNoListOpensTheSetUpWindow()
{
    auto show = start({});
    SlidePage &page = show->page();
    bool setUpShown = false;
    answerModal<QMessageBox>([&](QMessageBox *box) {
        answerModal<Tfss>([&](Tfss *f) {
            setUpShown = true;
            f->BitBtn2Click();
        });
        box->button(QMessageBox::No)->click();
    });
    page.SpeedButtonPlayForward->click();
    QVERIFY(setUpShown);
    QVERIFY(!page.Timerstep->enabled());
    QCOMPARE(show->state().slidePosition, 2);

    // Built and closed in the set-up window: slide 1 at once, slide 2 at the next step,
    // then playback stops, because Close asked it to.
    answerModal<QMessageBox>([&](QMessageBox *box) { box->button(QMessageBox::No)->click(); },
                             10000);
    answerModal<Tfss>([&](Tfss *f) {
        f->aceptFiles({file("wide.png"), file("tall.bmp"), file("agenda.rtf")});
        f->Button1Click(); // as Save Files List does
        f->BitBtn2Click();
    });
    page.SpeedButtonPlayForward->click();
    QCOMPARE(shown(page), QStringLiteral("233x174"));
    page.Timerstep->setInterval(30);
    QTRY_VERIFY(!page.Timerstep->enabled());
    QCOMPARE(shown(page), QStringLiteral("132x177"));
}

void TestSlidePlayback::brokenSlideIsReportedOnEveryRoundAndPassedOver()
{
    auto show = start({file("broken.jpg"), file("wide.png")}, true);
    SlidePage &page = show->page();
    show->app.main->autoSendBox_->click();
    int ticks = 0;
    connect(page.Timerstep, &RestartOnChangeTimer::OnTimer, this, [&] { ++ticks; });
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
                page.SpeedButtonPause->click();
            else
                answerModal<QMessageBox>(answer);
            box->accept();
        });
    };
    answerModal<QMessageBox>(answer);
    show->state().slidePosition = 2;
    page.SpeedButtonPlayForward->click(); // Show fails silently on the broken slide
    QVERIFY(!page.Timerstep->enabled());
    show->state().stopFlag = false;
    page.Timerstep->setEnabled(true);
    page.Timerstep->setInterval(40);
    // Once on every round: playback waits while the report is open, then goes on.
    QTRY_COMPARE_WITH_TIMEOUT(ticksWhileOpen.size(), 2, 20000);
    QCOMPARE(ticksWhileOpen, QList<int>({0, 0}));
    QCOMPARE(movesWhileOpen, QList<int>({0, 0}));
    QCOMPARE(shownAtReport.last(), QStringLiteral("233x174"));
    QVERIFY(!page.Timerstep->enabled());
}

void TestSlidePlayback::slidecatWritesWhatPlaybackWrites_data()
{
    QTest::addColumn<QString>("slide");
    QTest::addColumn<QString>("written");
    QTest::newRow("jpeg") << sample("progressive.jpg") << "shar.bmp";
    QTest::newRow("png") << sample("alpha.png") << "shar.bmp";
    QTest::newRow("bmp") << sample("rle8.bmp") << "shar.bmp";
    QTest::newRow("rtf") << file("agenda.rtf") << "shar.rtf";
    QTest::newRow("txt") << file("notes.txt") << "shar.rtf";
}

void TestSlidePlayback::slidecatWritesWhatPlaybackWrites()
{
    QFETCH(QString, slide);
    QFETCH(QString, written);
    auto show = start({});
    show->app.main->autoSendBox_->click();
    show->page().risisliko(slide);
    const QString out = file("slidecat.out");
    QProcess cat;
    cat.start(QStringLiteral(QUORIX_SLIDECAT), {"--shar", out, slide});
    QVERIFY(cat.waitForFinished(20000));
    QCOMPARE(cat.exitCode(), 0);
    QCOMPARE(readWholeFile(out), readWholeFile(show->app.shared() + written));
}

QTEST_MAIN(TestSlidePlayback)
#include "tst_slideplayback.moc"
