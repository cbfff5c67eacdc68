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
    setPixmap(pixmap);
}

void PictureBox::clearPicture()
{
    m_pictureId = 0;
    clear();
}

void PictureBox::setStretch(bool stretch)
{
    setScaledContents(stretch);
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    emit clicked(event->button());
    QLabel::mousePressEvent(event);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    emit hovered();
    QLabel::mouseMoveEvent(event);
}
