#pragma once
// Answers modal windows from inside their own event loops: answerModal<QMessageBox>(f)
// waits for the next visible modal window of that type and hands it to f.
#include <functional>
#include <memory>
#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

// `ready`, when given, must hold before the window is answered: polling goes on until it
// does, so an answer never runs nested inside the window's own activation work.
template <class Window>
void answerModal(std::function<void(Window *)> answer, int giveUpAfterMs = 10000,
                 std::function<bool(Window *)> ready = {})
{
    auto *timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, answer, clock, giveUpAfterMs, ready] {
        if (clock->elapsed() > giveUpAfterMs) {
            timer->stop();
            timer->deleteLater();
            return;
        }
        auto *w = qobject_cast<Window *>(QApplication::activeModalWidget());
        if (!w || !w->isVisible() || (ready && !ready(w)))
            return;
        timer->stop();
        timer->deleteLater();
        answer(w);
    });
    timer->start();
}
