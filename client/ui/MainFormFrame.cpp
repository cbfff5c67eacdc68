#include "ui/MainForm.h"

#include <QCloseEvent>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "resources/Pictures.h"
#include "session/HallLink.h"
#include "session/Platform.h"
#include "session/SiteConfig.h"
#include "ui/Frame.h"

// The drawn frame of the large window: its pieces, the title strip that drags the window, and
// the close and minimise buttons.

void MainForm::ConnectFrameButtons()
{
    connect(this, &QWidget::windowTitleChanged, this, [this] { UpdateTitleStrip(); });
    for (const bool close : {true, false}) {
        PictureBox* button = close ? ImgClose[0] : ImgMin[0];
        connect(button, &PictureBox::hovered, this, [this, close] { FrameButtonHover(close); });
        connect(button, &PictureBox::clicked, this, [this, close](Qt::MouseButton) { FrameButtonDown(close); });
        connect(button, &PictureBox::released, this, [this, close](Qt::MouseButton b, bool inside) {
            FrameButtonUp(close, inside && b == Qt::LeftButton);
        });
    }
}

void MainForm::PaintFrame()
{
    Framed = true;
    m_skinRatio = 0;   // the skin is loaded for the window's ratio when the frame is painted
    const QSizeF inner = Frame::ToTwips(QSizeF(size()));
    auto place = [](QWidget* control, const QRectF& twips) {
        const QRectF px = Frame::ToPixels(twips);
        control->setGeometry(qRound(px.left()), qRound(px.top()), qRound(px.width()), qRound(px.height()));
    };
    place(LbMove, Frame::TitleStrip(inner));
    UpdateTitleStrip();
    LbMove->show();

    if (!windowIcon().isNull()) {
        place(ImgIcon, Frame::IconPlace());
        const QRect icon = ImgIcon->geometry();
        ImgIcon->setPicture(0, windowIcon().pixmap(icon.size()));
        ImgIcon->show();
    }

    ImgClose[0]->copyPicture(*ImgClose[1]);
    ImgMin[0]->copyPicture(*ImgMin[1]);
    const QRectF close = Frame::ClosePlace(inner, Frame::ToTwips(ImgClose[1]->pixmap().deviceIndependentSize()));
    place(ImgClose[0], close);
    place(ImgMin[0], Frame::MinimisePlace(close, Frame::ToTwips(ImgMin[1]->pixmap().deviceIndependentSize())));
    FrameButtonsNormal = true;
    ImgMin[0]->show();
    ImgClose[0]->show();
    ImgMin[0]->raise();
    ImgClose[0]->raise();
    update();
}

void MainForm::UpdateTitleStrip()
{
    LbMove->setText(windowTitle() + QStringLiteral("  ·  ") + SiteConfig::SiteName + QStringLiteral("  ")
                    + SiteConfig::WebHost);
}

void MainForm::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (!Framed)
        return;
    // Loaded when the frame is first painted, and again on a screen of another ratio (the window
    // moved, or the screen's ratio changed).
    if (devicePixelRatioF() != m_skinRatio) {
        m_skinRatio = devicePixelRatioF();
        m_skin = Pictures::PictureByKey(QLatin1String(Pictures::Key::Skin), m_skinRatio);
    }
    if (m_skin.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // Pieces are cut in the skin's logical pixels; its own pixels may be finer.
    const qreal finer = m_skin.devicePixelRatio();
    for (const Frame::Piece& piece : Frame::Pieces(Frame::ToTwips(QSizeF(size())))) {
        const QRectF source = Frame::ToPixels(piece.source);
        painter.drawPixmap(Frame::ToPixels(piece.destination), m_skin,
                           QRectF(source.topLeft() * finer, source.size() * finer));
    }
}

void MainForm::mouseMoveEvent(QMouseEvent* event)
{
    FrameBackgroundHover();
    QWidget::mouseMoveEvent(event);
}

bool MainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != LbMove)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton)
            TitleStripPressed(mouse);
        return true;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_dragging && (mouse->buttons() & Qt::LeftButton)) {
            move(mouse->globalPosition().toPoint() - m_dragOffset);
        } else {
            LbMove->setCursor(Qt::ArrowCursor);
            FrameBackgroundHover();
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        LbMove->setCursor(Qt::ArrowCursor);
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void MainForm::TitleStripPressed(QMouseEvent* event)
{
    if (Talk)
        Talk->hide();
    if (huifu)
        huifu->hide();
    LbMove->setCursor(Qt::SizeAllCursor);
    // The window system moves the window when it can; otherwise the strip drags it.
    QWindow* window = windowHandle();
    if (window != nullptr && window->startSystemMove()) {
        m_dragging = false;
        return;
    }
    m_dragging = true;
    m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void MainForm::FrameButtonHover(bool close)
{
    if (!FrameButtonsNormal)
        return;
    const auto& button = close ? ImgClose : ImgMin;
    button[0]->copyPicture(*button[2]);
    FrameButtonsNormal = false;
}

void MainForm::FrameBackgroundHover()
{
    if (FrameButtonsNormal)
        return;
    ImgClose[0]->copyPicture(*ImgClose[1]);
    ImgMin[0]->copyPicture(*ImgMin[1]);
    FrameButtonsNormal = true;
}

void MainForm::FrameButtonDown(bool close)
{
    const auto& button = close ? ImgClose : ImgMin;
    button[0]->copyPicture(*button[3]);
}

void MainForm::FrameButtonUp(bool close, bool clicked)
{
    const auto& button = close ? ImgClose : ImgMin;
    button[0]->copyPicture(*button[2]);
    if (!clicked)
        return;
    if (close)
        ExitAction();
    else
        showMinimized();
}

void MainForm::closeEvent(QCloseEvent* event)
{
    // The window stays; what happens next is the confirmation's choice.
    event->ignore();
    ExitAction();
}

void MainForm::ExitAction()
{
    if (const std::function<void()> request = m_exitRequest) {
        request();
        return;
    }
    HallLink::ReturnToHall();
    Platform::EndProgram(0);
}
