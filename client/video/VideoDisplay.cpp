#include "video/VideoDisplay.h"

#include <QLabel>
#include <QPainter>

#include "ui/MainForm.h"
#include "ui/PictureBox.h"

namespace VideoDisplay {

bool ValidFrame(const QByteArray& frame, QPixmap* picture)
{
    if (frame.size() < 54 || frame.size() > MaxFrameBytes || !frame.startsWith("BM"))
        return false;
    QPixmap decoded;
    if (!decoded.loadFromData(frame, "BMP") || decoded.width() > 1280 || decoded.height() > 1024)
        return false;
    if (picture != nullptr)
        *picture = decoded;
    return true;
}

void ShowFrame(QLabel* display, const QByteArray& frame)
{
    QPixmap picture;
    if (display == nullptr || !ValidFrame(frame, &picture))
        return;
    display->setScaledContents(true);
    display->setPixmap(picture);
}

QPixmap FramePicture(QSize size)
{
    QPixmap pixmap(size.expandedTo({4, 4}));
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xe0, 0xb0, 0x40), 2));
    p.drawRoundedRect(QRectF(1, 1, pixmap.width() - 2, pixmap.height() - 2), 3, 3);
    return pixmap;
}

void ShowVideoFrame(MainForm& form, int position)
{
    PictureBox* frame = form.ImgKuang[static_cast<size_t>(position)];
    // Drawn at the size the layout gave, which the scale decides.
    if (frame->pixmap().size() != frame->size())
        frame->setPicture(0, FramePicture(frame->size()));
    frame->show();
}

}  // namespace VideoDisplay
