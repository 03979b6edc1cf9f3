#pragma once
// What the viewer shows before the presenter starts: a calm dark screen with one line,
// and the folder it watches in small print beneath.
#include <QWidget>

namespace quorix {

class WaitingScreen : public QWidget
{
    Q_OBJECT

  public:
    explicit WaitingScreen(const QString &folder, QWidget *parent = nullptr);

    static QColor background() { return {29, 36, 48}; }

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    QString folder_;
};

} // namespace quorix
