#pragma once
// A picture control that remembers the numeric id of the picture it shows, so hover
// logic and tests can ask which picture is up.
#include <QLabel>
#include <QPixmap>

class PictureBox : public QLabel {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Id of the picture shown; 0 when none was loaded.
    int pictureId() const { return m_pictureId; }
    void setPicture(int id, const QPixmap& pixmap);
    void clearPicture();

    // Stretch the picture to the control's size (image controls) or show it at its own size.
    void setStretch(bool stretch);

signals:
    void clicked(Qt::MouseButton button);
    void hovered();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    int m_pictureId = 0;
};
