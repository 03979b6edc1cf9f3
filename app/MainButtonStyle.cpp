#include "app/MainButtonStyle.h"

#include "controls/XiButton.h"

namespace quorix {

void applyMainButtonStyle(TXiButton *, MainButton)
{
}

} // namespace quorix
