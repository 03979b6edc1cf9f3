#include "controls/ModalDialog.h"

namespace quorix {

int ModalDialog::ShowModal()
{
    modalResult_ = mrNone;
    exec();
    if (modalResult_ == mrNone)
        modalResult_ = mrCancel;
    return modalResult_;
}

void ModalDialog::setModalResult(int result)
{
    modalResult_ = result;
    if (result != mrNone && isVisible())
        QDialog::done(result == mrOk ? Accepted : Rejected);
}

void ModalDialog::done(int r)
{
    if (modalResult_ == mrNone)
        modalResult_ = r == Accepted ? mrOk : mrCancel;
    QDialog::done(r);
}

void ModalDialog::reject()
{
    modalResult_ = mrCancel;
    QDialog::done(Rejected);
}

} // namespace quorix
