#pragma once
// The About box: the maker, the product, the version and a link to the maker's page.
#include "controls/ModalDialog.h"

class QLabel;
class QPushButton;

namespace quorix {

class AboutBox : public ModalDialog
{
    Q_OBJECT

  public:
    explicit AboutBox(QWidget *parent = nullptr);

    static QString webAddress();
    void openWebPage();

  protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

  private:
    QLabel *logo_ = nullptr;
    QLabel *webLink_ = nullptr;
    QPushButton *okButton_ = nullptr;
};

} // namespace quorix
