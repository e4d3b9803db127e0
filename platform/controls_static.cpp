// Static controls over QLabel: the pictures of SS_ICON and SS_BITMAP.
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include "platform/controls.h"
#include "platform/controls_qt.h"

void SetupStaticImage(WndCore* c, int imageId)
{
    auto* label = qobject_cast<QLabel*>(c->widget);
    if (!label || imageId == 0) return;
    const DWORD type = c->style & SS_TYPEMASK;
    QImage image;
    if (type == SS_ICON) image = LoadIconImage(imageId);
    else if (type == SS_BITMAP) image = LoadBitmapImage(imageId);
    if (!image.isNull()) label->setPixmap(QPixmap::fromImage(image));
}
