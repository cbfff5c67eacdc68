#include "ui/PictureLoad.h"

#include "resources/Pictures.h"
#include "ui/PictureBox.h"

bool LoadPictureById(PictureBox* control, int id)
{
    if (control == nullptr)
        return false;
    const QPixmap pixmap = Pictures::PictureById(id, control->devicePixelRatioF());
    if (pixmap.isNull())
        return false;
    control->setPicture(id, pixmap);
    return true;
}

bool LoadPictureByKey(PictureBox* control, const QString& key)
{
    if (control == nullptr)
        return false;
    const QPixmap pixmap = Pictures::PictureByKey(key, control->devicePixelRatioF());
    if (pixmap.isNull())
        return false;
    control->setPicture(0, pixmap);
    control->setPictureKey(key);
    return true;
}
