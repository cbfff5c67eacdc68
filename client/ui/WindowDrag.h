#pragma once
// Drags a window by its body: a left press on the window or on one of the given controls
// (pictures that would take the press themselves) lets the window system move it when it can,
// otherwise the mouse moves it, as the table's title strip does.
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <initializer_list>

class QWidget;

class WindowDrag : public QObject {
public:
    // Owned by the window.
    WindowDrag(QWidget* window, std::initializer_list<QWidget*> handles = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    bool m_dragging = false;
    QPoint m_offset;
};
