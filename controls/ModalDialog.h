#pragma once
// A window shown modally that ends with an integer modal result: 1 (OK) or 2 (Cancel,
// Escape, close box); 0 before its first showing. Setting a result other than 0 closes it.
#include <QDialog>

namespace quorix {

constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

class ModalDialog : public QDialog
{
    Q_OBJECT

  public:
    using QDialog::QDialog;

    int ShowModal();
    int modalResult() const { return modalResult_; }
    void setModalResult(int result);

  protected:
    void done(int r) override;
    void reject() override;

  private:
    int modalResult_ = mrNone;
};

} // namespace quorix
