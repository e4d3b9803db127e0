#include "platform/image_file.h"

#include <QString>

#include "platform/gdi_qt.h"

bool SaveBitmapPng(const CBitmap& bitmap, const std::string& path)
{
    const QImage* image = BitmapImage(&bitmap);
    if (!image || image->isNull()) return false;
    return image->save(QString::fromStdString(path), "PNG");
}
