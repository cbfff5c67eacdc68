#include "Catalog.h"

PictureList Catalog()
{
    PictureList list;
    AddCardPictures(list);
    AddButtonPictures(list);
    AddPortraitPictures(list);
    AddTablePictures(list);
    return list;
}
