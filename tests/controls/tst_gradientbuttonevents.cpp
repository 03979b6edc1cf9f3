// The gradient button's behaviour, driven with real input events: the visual-state machine
// under the pointer, Space and Enter, dialog keys, the accelerator and the modal result.
#include "controls/GradientButton.h"
#include "controls/ModalDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace quorix;

namespace {

// A window with a button at (40, 40) (75 x 25) and a check box, which takes neither Enter
// nor Escape itself.
struct Host
{
    QWidget window;
    GradientButton *button;
    QCheckBox *check;
    QSignalSpy clicks;

    Host()
        : button(new GradientButton(&window)), check(new QCheckBox(&window)),
          clicks(button, &GradientButton::clicked)
    {
        window.resize(300, 200);
        button->move(40, 40);
        check->move(40, 120);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
};

} // namespace

class TestGradientButtonEvents : public QObject
{
    Q_OBJECT

  private slots:
    void hoverAndLeave_data()
    {
        QTest::addColumn<bool>("hotTrack");
        QTest::addColumn<int>("hovered");
        QTest::newRow("hot tracking") << true << int(GradientButton::HotState);
        QTest::newRow("no hot tracking") << false << int(GradientButton::NormalState);
    }

    void hoverAndLeave()
    {
        QFETCH(bool, hotTrack);
        QFETCH(int, hovered);
        Host h;
        h.button->setHotTrack(hotTrack);
        QTest::mouseMove(&h.window, QPoint(5, 5));
        QTest::mouseMove(h.button, QPoint(10, 10));
        QTRY_COMPARE(int(h.button->visualState()), hovered);
        QTest::mouseMove(&h.window, QPoint(5, 5));
        QTRY_COMPARE(h.button->visualState(), GradientButton::NormalState);
    }

    void releaseAt_data()
    {
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("after");
        QTest::newRow("inside") << QPoint(30, 12) << 1 << int(GradientButton::HotState);
        // On the left or top edge: a click, but the normal look rather than the hot one.
        QTest::newRow("left edge") << QPoint(0, 12) << 1 << int(GradientButton::NormalState);
        QTest::newRow("top edge") << QPoint(30, 0) << 1 << int(GradientButton::NormalState);
        QTest::newRow("right of it") << QPoint(75, 12) << 0 << int(GradientButton::NormalState);
        QTest::newRow("below it") << QPoint(30, 25) << 0 << int(GradientButton::NormalState);
        QTest::newRow("far away") << QPoint(200, 100) << 0 << int(GradientButton::NormalState);
    }

    void releaseAt()
    {
        QFETCH(QPoint, release);
        QFETCH(int, clicks);
        QFETCH(int, after);
        Host h;
        GradientButton *b = h.button;
        QTest::mouseMove(b, QPoint(30, 12));
        QTRY_COMPARE(b->visualState(), GradientButton::HotState);
        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(30, 12));
        QCOMPARE(b->visualState(), GradientButton::DownState);
        QTest::mouseMove(b, release);
        QTest::mouseRelease(b, Qt::LeftButton, {}, release);
        QCOMPARE(h.clicks.count(), clicks);
        QCOMPARE(int(b->visualState()), after);
    }

    void leavingAndReturningWhileHeld()
    {
        Host h;
        GradientButton *b = h.button;
        QTest::mouseMove(b, QPoint(30, 12));
        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(30, 12));
        QTest::mouseMove(b, QPoint(120, 12));
        QCOMPARE(b->visualState(), GradientButton::NormalState);
        QTest::mouseMove(b, QPoint(31, 12));
        QCOMPARE(b->visualState(), GradientButton::DownState);
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(31, 12));
        QCOMPARE(h.clicks.count(), 1);
        QCOMPARE(b->visualState(), GradientButton::HotState);
    }

    void otherButtonsDoNotClick()
    {
        Host h;
        QTest::mouseClick(h.button, Qt::RightButton, {}, QPoint(30, 12));
        QTest::mouseClick(h.button, Qt::MiddleButton, {}, QPoint(30, 12));
        QCOMPARE(h.clicks.count(), 0);
        QCOMPARE(h.button->visualState(), GradientButton::HotState);
    }

    void doubleClickClicksOnce()
    {
        Host h;
        // Through the window system, as press, release, press, release: the second press
        // arrives as a double click.
        QTest::mouseDClick(h.window.windowHandle(), Qt::LeftButton, {}, QPoint(70, 52));
        QCOMPARE(h.clicks.count(), 1);
        QCOMPARE(h.button->visualState(), GradientButton::HotState);
    }

    void pressTakesFocusOnlyAsTabStop_data()
    {
        QTest::addColumn<bool>("tabStop");
        QTest::newRow("tab stop") << true;
        QTest::newRow("no tab stop") << false;
    }

    void pressTakesFocusOnlyAsTabStop()
    {
        QFETCH(bool, tabStop);
        Host h;
        h.check->setFocus();
        h.button->setTabStop(tabStop);
        QTest::mouseClick(h.button, Qt::LeftButton, {}, QPoint(30, 12));
        QTRY_COMPARE(h.button->isFocused(), tabStop);
        QCOMPARE(h.button->hasFocus(), tabStop);
    }

    void focusLostEndsThePress()
    {
        Host h;
        GradientButton *b = h.button;
        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(30, 12));
        QTRY_VERIFY(b->isFocused());
        h.check->setFocus();
        QTRY_VERIFY(!b->isFocused());
        QCOMPARE(b->visualState(), GradientButton::NormalState);
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(30, 12));
    }

    void spaceHeldShowsDownAndReleaseClicks()
    {
        Host h;
        GradientButton *b = h.button;
        b->setFocus();
        QTRY_VERIFY(b->isFocused());
        QTest::keyPress(b, Qt::Key_Space);
        QCOMPARE(b->visualState(), GradientButton::DownState);
        QCOMPARE(h.clicks.count(), 0);
        QTest::keyRelease(b, Qt::Key_Space);
        QCOMPARE(h.clicks.count(), 1);
        QCOMPARE(b->visualState(), GradientButton::NormalState);
    }

    void autoRepeatedSpaceClicksOnce()
    {
        Host h;
        h.button->setFocus();
        QTRY_VERIFY(h.button->isFocused());
        QTest::keyPress(h.button, Qt::Key_Space);
        for (int i = 0; i < 3; ++i) {
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier,
                              QStringLiteral(" "), true);
            QApplication::sendEvent(h.button, &release);
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "),
                            true);
            QApplication::sendEvent(h.button, &press);
        }
        QCOMPARE(h.clicks.count(), 0);
        QTest::keyRelease(h.button, Qt::Key_Space);
        QCOMPARE(h.clicks.count(), 1);
    }

    void dialogKeys_data()
    {
        QTest::addColumn<bool>("focusButton"); // else the check box has the focus
        QTest::addColumn<bool>("isDefault");
        QTest::addColumn<bool>("isCancel");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("clicks");
        const int none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
        QTest::newRow("Enter, focused")
            << true << false << false << int(Qt::Key_Return) << none << 1;
        QTest::newRow("keypad Enter, focused")
            << true << false << false << int(Qt::Key_Enter) << none << 1;
        QTest::newRow("Shift+Enter, focused")
            << true << false << false << int(Qt::Key_Return) << shift << 0;
        QTest::newRow("Enter, elsewhere")
            << false << false << false << int(Qt::Key_Return) << none << 0;
        QTest::newRow("Enter, Default")
            << false << true << false << int(Qt::Key_Return) << none << 1;
        QTest::newRow("Shift+Enter, Default")
            << false << true << false << int(Qt::Key_Return) << shift << 1;
        QTest::newRow("Ctrl+Enter, Default focused")
            << true << true << false << int(Qt::Key_Return) << ctrl << 1;
        QTest::newRow("Escape, Cancel")
            << false << false << true << int(Qt::Key_Escape) << none << 1;
        QTest::newRow("Escape, Cancel focused")
            << true << false << true << int(Qt::Key_Escape) << none << 1;
        QTest::newRow("Ctrl+Escape, Cancel")
            << false << false << true << int(Qt::Key_Escape) << ctrl << 0;
        QTest::newRow("Escape, no Cancel")
            << true << true << false << int(Qt::Key_Escape) << none << 0;
        QTest::newRow("Enter, Cancel only")
            << false << false << true << int(Qt::Key_Return) << none << 0;
    }

    void dialogKeys()
    {
        QFETCH(bool, focusButton);
        QFETCH(bool, isDefault);
        QFETCH(bool, isCancel);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, clicks);
        Host h;
        h.button->setDefault(isDefault);
        h.button->setCancel(isCancel);
        QWidget *focus = focusButton ? static_cast<QWidget *>(h.button) : h.check;
        focus->setFocus();
        QTRY_VERIFY(focus->hasFocus());
        QTest::keyClick(focus, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(h.clicks.count(), clicks);
    }

    void hiddenOrDisabledButtonIgnoresDialogKeys()
    {
        Host h;
        h.button->setDefault(true);
        h.check->setFocus();
        h.button->setEnabled(false);
        QTest::keyClick(h.check, Qt::Key_Return);
        h.button->setEnabled(true);
        h.button->hide();
        QTest::keyClick(h.check, Qt::Key_Return);
        QCOMPARE(h.clicks.count(), 0);
    }

    void buttonMovedIntoAnotherWindowAnswersThere()
    {
        Host h;
        QWidget other;
        auto *panel = new QWidget;
        auto *b = new GradientButton(panel);
        b->setDefault(true);
        QSignalSpy clicks(b, &GradientButton::clicked);
        panel->setParent(&other); // the button itself sees no change of parent
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QTest::keyClick(&other, Qt::Key_Return);
        QCOMPARE(clicks.count(), 1);
    }

    void accelerator_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("clicks");
        QTest::newRow("Alt+A") << QStringLiteral("&Add Files") << true << 1;
        QTest::newRow("disabled") << QStringLiteral("&Add Files") << false << 0;
        QTest::newRow("no accelerator") << QStringLiteral("Add Files") << true << 0;
        QTest::newRow("escaped ampersand") << QStringLiteral("&&Add") << true << 0;
    }

    void accelerator()
    {
        QFETCH(QString, caption);
        QFETCH(bool, enabled);
        QFETCH(int, clicks);
        Host h;
        h.button->setCaption(caption);
        h.button->setEnabled(enabled);
        h.check->setFocus();
        QTest::keyClick(h.check, Qt::Key_A, Qt::AltModifier);
        QCOMPARE(h.clicks.count(), clicks);
    }

    void captionChangeMovesTheAccelerator()
    {
        Host h;
        h.button->setCaption(QStringLiteral("&Add"));
        h.button->setCaption(QStringLiteral("&Remove"));
        h.check->setFocus();
        QTest::keyClick(h.check, Qt::Key_A, Qt::AltModifier);
        QCOMPARE(h.clicks.count(), 0);
        QTest::keyClick(h.check, Qt::Key_R, Qt::AltModifier);
        QCOMPARE(h.clicks.count(), 1);
    }

    void modalResultReachesTheFormBeforeClicked_data()
    {
        QTest::addColumn<ModalResult>("result");
        QTest::addColumn<ModalResult>("shown");
        QTest::newRow("OK") << ModalResult::Ok << ModalResult::Ok;
        QTest::newRow("Cancel") << ModalResult::Cancel << ModalResult::Cancel;
    }

    void modalResultReachesTheFormBeforeClicked()
    {
        QFETCH(ModalResult, result);
        QFETCH(ModalResult, shown);
        ModalDialog form;
        auto *b = new GradientButton(&form);
        b->setModalResult(result);
        ModalResult seenInHandler = ModalResult(-1);
        connect(b, &GradientButton::clicked, &form, [&] { seenInHandler = form.modalResult(); });
        QTimer::singleShot(0, b, [b] { b->click(); });
        QCOMPARE(form.showModal(), shown);
        QCOMPARE(seenInHandler, result);
    }

    void modalResultZeroIsHandedOnToo()
    {
        ModalDialog form;
        auto *b = new GradientButton(&form);
        form.setModalResult(ModalResult::Cancel); // not shown: nothing closes
        b->click();
        QCOMPARE(form.modalResult(), ModalResult::None);
    }
};

QTEST_MAIN(TestGradientButtonEvents)
#include "tst_gradientbuttonevents.moc"
