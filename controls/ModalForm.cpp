#include "controls/ModalForm.h"

namespace quorix {

int TModalForm::ShowModal()
{
    modalResult_ = mrNone;
    exec();
    if (modalResult_ == mrNone)
        modalResult_ = mrCancel;
    return modalResult_;
}

void TModalForm::setModalResult(int result)
{
    modalResult_ = result;
    if (result != mrNone && isVisible())
        QDialog::done(result == mrOk ? Accepted : Rejected);
}

void TModalForm::done(int r)
{
    if (modalResult_ == mrNone)
        modalResult_ = r == Accepted ? mrOk : mrCancel;
    QDialog::done(r);
}

void TModalForm::reject()
{
    modalResult_ = mrCancel;
    QDialog::done(Rejected);
}

} // namespace quorix
