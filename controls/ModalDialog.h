#pragma once
// A window shown modally that ends with a modal result: OK or Cancel (Escape, close box);
// None before its first showing. Setting a result other than None closes it.
#include <QDialog>

namespace quorix {

enum class ModalResult : int
{
    None = 0,
    Ok = 1,
    Cancel = 2,
};

class ModalDialog : public QDialog
{
    Q_OBJECT

  public:
    using QDialog::QDialog;

    ModalResult showModal();
    ModalResult modalResult() const { return modalResult_; }
    void setModalResult(ModalResult result);

  protected:
    void done(int r) override;
    void reject() override;

  private:
    ModalResult modalResult_ = ModalResult::None;
};

} // namespace quorix
