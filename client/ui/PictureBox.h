#pragma once
// A picture control that remembers the numeric id of the picture it shows, so hover
// logic and tests can ask which picture is up.
#include <QLabel>
#include <QPixmap>

class PictureBox : public QLabel {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Id of the picture shown; 0 when none was loaded or when it came by key.
    int pictureId() const { return m_pictureId; }
    // Key of a keyed picture (see setPictureKey); empty for pictures by id.
    const QString& pictureKey() const { return m_pictureKey; }
    void setPicture(int id, const QPixmap& pixmap);
    // How many pictures were put into the control so far.
    int pictureLoads() const { return m_pictureLoads; }
    // Records the key of the keyed picture just loaded.
    void setPictureKey(const QString& key) { m_pictureKey = key; }
    void clearPicture();
    // Shows the same picture as another control, id and key included.
    void copyPicture(const PictureBox& from);

    // Stretch the picture to the control's size (image controls), or show it at its own size,
    // in which case the control takes the picture's size whenever one is loaded.
    void setStretch(bool stretch);
    bool stretch() const { return hasScaledContents(); }

signals:
    // Mouse button down on the control.
    void clicked(Qt::MouseButton button);
    // Mouse button up; inside tells whether the pointer was still over the control.
    void released(Qt::MouseButton button, bool inside);
    void hovered();
    // The pointer has left the control, however fast it went.
    void left();

protected:
    // A picture of the set is loaded again, drawn for the new ratio, when the control is painted
    // on a screen of another device pixel ratio than the one it was loaded for (the window moved
    // to another screen, or the screen's ratio changed); its logical size stays.
    void paintEvent(QPaintEvent* event) override;
    // The control under the mouse takes the event; its parent does not see it as well.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int m_pictureId = 0;
    int m_pictureLoads = 0;
    // The device pixel ratio the picture was made for; 0 until the first paint checks it.
    qreal m_pictureRatio = 1;
    QString m_pictureKey;
};
