// The preview: captures are fitted to the 407 x 264 area and shown centred.
#include "app/mainunit.h"

#include "capture/PreviewFit.h"

#include <QPixmap>

namespace quorix {

void TMainForm::FitPreview(const QImage &source)
{
    SLIKA->setPixmap(QPixmap::fromImage(fitPreview(source)));
}

bool TMainForm::ResizeBmp(QImage &bitmap, int width, int height)
{
    return resizeBmp(bitmap, width, height);
}

} // namespace quorix
