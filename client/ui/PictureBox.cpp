#include "ui/PictureBox.h"

#include <QMouseEvent>

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
