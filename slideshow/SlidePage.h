#pragma once
// The slide page: the panel `p7` that covers the main window's preview area in the
// slide-show source, and the timer of timed playback. It reaches the main window only
// through the shared state.
#include <QObject>

class QTextEdit;
class QWidget;

namespace quorix {

class SharedState;
class TPanel;
class TTimer;

class SlidePage : public QObject
{
    Q_OBJECT

  public:
    // Builds `p7` inside `area` (the preview frame), hidden. `red` is the text page's
    // rich-text view, which text slides borrow.
    SlidePage(SharedState &state, QWidget *area, QTextEdit *red, QObject *parent = nullptr);

    TPanel *p7 = nullptr;
    TTimer *Timerstep = nullptr;

    // Shows the page; the main window has done the common source-button step.
    void enter();

    // Writes a slide into the shared folder for the viewers.
    void risisliko(const QString &path);
    // Shows a slide on the page.
    void risiprikaz(const QString &path);

  private:
    SharedState &state_;
    QTextEdit *red_;
};

} // namespace quorix
