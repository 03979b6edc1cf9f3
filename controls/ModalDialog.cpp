#include "controls/ModalDialog.h"

namespace quorix {

ModalResult ModalDialog::showModal()
{
    modalResult_ = ModalResult::None;
    exec();
    if (modalResult_ == ModalResult::None)
        modalResult_ = ModalResult::Cancel;
    return modalResult_;
}

void ModalDialog::setModalResult(ModalResult result)
{
    modalResult_ = result;
    if (result != ModalResult::None && isVisible())
        QDialog::done(result == ModalResult::Ok ? Accepted : Rejected);
}

void ModalDialog::done(int r)
{
    if (modalResult_ == ModalResult::None)
        modalResult_ = r == Accepted ? ModalResult::Ok : ModalResult::Cancel;
    QDialog::done(r);
}

void ModalDialog::reject()
{
    modalResult_ = ModalResult::Cancel;
    QDialog::done(Rejected);
}

} // namespace quorix
