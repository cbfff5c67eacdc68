#include "ui/PictureBox.h"

#include <algorithm>
#include <QMouseEvent>

#include "resources/Pictures.h"

PictureBox::PictureBox(QWidget* parent) : QLabel(parent)
{
    setMouseTracking(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void PictureBox::setPicture(int id, const QPixmap& pixmap)
{
    m_pictureId = id;
    ++m_pictureLoads;
    m_pictureKey.clear();
    // Made for the ratio the control had when it was loaded: the first paint checks it.
    m_pictureRatio = 0;
    setPixmap(pixmap);
    if (!hasScaledContents() && !pixmap.isNull())
        resize(pixmap.deviceIndependentSize().toSize());
}

void PictureBox::clearPicture()
{
    m_pictureId = 0;
    m_pictureKey.clear();
    clear();
}

void PictureBox::copyPicture(const PictureBox& from)
{
    setPicture(from.m_pictureId, from.pixmap());
    m_pictureKey = from.m_pictureKey;
    m_pictureRatio = from.m_pictureRatio;
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    const qreal ratio = devicePixelRatioF();
    if (ratio != m_pictureRatio) {
        // A picture loaded since the last paint was made for the control's ratio then, which
        // its own ratio tells; otherwise it is loaded again, once per change of ratio, whether
        // or not the set has it drawn for the new one.
        const bool madeForIt = m_pictureRatio == 0 && pixmap().devicePixelRatio() == std::max<qreal>(ratio, 1);
        m_pictureRatio = ratio;
        const QPixmap redrawn = madeForIt                 ? QPixmap()
                                : m_pictureId > 0         ? Pictures::PictureById(m_pictureId, ratio)
                                : !m_pictureKey.isEmpty() ? Pictures::PictureByKey(m_pictureKey, ratio)
                                                          : QPixmap();
        if (!redrawn.isNull())
            setPixmap(redrawn);
    }
    QLabel::paintEvent(event);
}

void PictureBox::setStretch(bool stretch)
{
    setScaledContents(stretch);
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    emit clicked(event->button());
    event->accept();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    emit released(event->button(), rect().contains(event->position().toPoint()));
    event->accept();
}

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    emit hovered();
    event->accept();
}

void PictureBox::leaveEvent(QEvent* event)
{
    emit left();
    QLabel::leaveEvent(event);
}
