#include "ui/MainForm.h"

#include <QEvent>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QWindow>

#include "protocol/TableState.h"
#include "session/HallLink.h"
#include "session/Pictures.h"
#include "session/Platform.h"
#include "session/Transport.h"
#include "ui/Frame.h"
#include "ui/Layout.h"
#include "ui/SiteConfig.h"
#include "ui/VosSet.h"

namespace {

MainForm* g_mainForm = nullptr;

const QColor kFrameColour(0x10, 0x38, 0x22);
const QColor kFeltColour(22, 96, 56);
const QColor kNameColour(0xff, 0xe3, 0x8a);
const QColor kCoinColour(0xf4, 0xf0, 0xd8);
const QColor kLevelColour(0x9c, 0xe6, 0xb4);
const QColor kCaptionColour(0xff, 0xf3, 0xc4);

PictureBox* NewPicture(QWidget* parent, const QString& name, bool visible)
{
    auto* box = new PictureBox(parent);
    box->setObjectName(name);
    box->setStretch(true);
    box->setVisible(visible);
    return box;
}

QLabel* NewLabel(QWidget* parent, const QString& name, const QColor& colour, bool visible)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
    label->setVisible(visible);
    return label;
}

void LoadKeyed(PictureBox* box, const char* key)
{
    if (Pictures::LoadPictureByKey(box, QLatin1String(key)))
        box->setPictureKey(QLatin1String(key));
}

QString Indexed(const char* name, int i)
{
    return QStringLiteral("%1%2").arg(QLatin1String(name)).arg(i);
}

}  // namespace

MainForm::MainForm(QWidget* parent) : QWidget(parent)
{
    g_mainForm = this;
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(SiteConfig::ProgramTitle);
    // The table paints its own frame.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAutoFillBackground(true);
    QPalette frame = palette();
    frame.setColor(QPalette::Window, kFrameColour);
    setPalette(frame);
    setMouseTracking(true);
    QFont type = font();
    type.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Droid Sans Fallback"),
                      QStringLiteral("DejaVu Sans")});
    type.setPointSize(9);
    setFont(type);

    // A card back is the table's icon unless the program was given one.
    if (windowIcon().isNull())
        setWindowIcon(QIcon(Pictures::PictureById(18)));

    CreateControls();
    ConnectHover();

    TimerBong = new QTimer(this);
    TimerBong->setObjectName(QStringLiteral("TimerBong"));
    TimerBong->setInterval(50);
    connect(TimerBong, &QTimer::timeout, this, [] { Transport::TimerBongTick(); });
    Transport::RegisterTimerBong(TimerBong);

    TimerKeepAlive = new QTimer(this);
    TimerKeepAlive->setObjectName(QStringLiteral("TimerKeepAlive"));
    TimerKeepAlive->setInterval(5000);
    connect(TimerKeepAlive, &QTimer::timeout, this, [this] { SendKeepAlive(); });

    // Their duties belong to chat and video; here they only exist, stopped.
    TimerChat = new QTimer(this);
    TimerChat->setObjectName(QStringLiteral("TimerChat"));
    TimerChat->setInterval(800);
    Timer_Zoom = new QTimer(this);
    Timer_Zoom->setObjectName(QStringLiteral("Timer_Zoom"));
    Timer_Zoom->setInterval(100);
    Timer_Vshow1 = new QTimer(this);
    Timer_Vshow1->setObjectName(QStringLiteral("Timer_Vshow1"));
    Timer_Vshow1->setInterval(30);

    SetWebBrowser(WebPage::MakeView(Pic1));
}

MainForm::~MainForm()
{
    Transport::RegisterTimerBong(nullptr);
    // The page's widget is a child of Pic1; the layer goes first so it can take it away.
    WebBrowser1.reset();
    if (g_mainForm == this)
        g_mainForm = nullptr;
}

void MainForm::CreateControls()
{
    // Stacking follows creation: felt, bars and plates, portraits and video, labels, cards,
    // marks, buttons, clock and captions, message area and chat; the frame on top.
    Pic2 = NewPicture(this, QStringLiteral("Pic2"), false);
    Pic2->setStretch(false);
    LoadKeyed(Pic2, Pictures::Key::Background);

    Pic1 = NewPicture(this, QStringLiteral("Pic1"), true);
    Pic1->setAutoFillBackground(true);
    QPalette felt = Pic1->palette();
    felt.setColor(QPalette::Window, kFeltColour);
    Pic1->setPalette(felt);
    Pic1->copyPicture(*Pic2);

    imgDinglan = NewPicture(Pic1, QStringLiteral("imgDinglan"), true);
    LoadKeyed(imgDinglan, Pictures::Key::TopBar);
    imgDilan = NewPicture(Pic1, QStringLiteral("imgDilan"), true);
    LoadKeyed(imgDilan, Pictures::Key::BottomBar);
    imgLocation = NewPicture(Pic1, QStringLiteral("imgLocation"), true);
    LoadKeyed(imgLocation, Pictures::Key::LocationPlate);
    Bird = NewPicture(Pic1, QStringLiteral("Bird"), true);
    LoadKeyed(Bird, Pictures::Key::WebPlace);

    for (int i = 0; i < 4; ++i) {
        ImgKuang[i] = NewPicture(Pic1, Indexed("ImgKuang", i), false);
        vshow1[i] = NewPicture(Pic1, Indexed("vshow1", i), false);
    }
    for (int i = 0; i < 4; ++i)
        Tou[i] = NewPicture(Pic1, Indexed("Tou", i), true);
    // The others' seats are framed like the user's, which the bottom bar frames itself; an
    // empty seat shows its frame.
    for (int i = 1; i < 4; ++i)
        Tou[i]->setStyleSheet(QStringLiteral(
            "PictureBox { border: 1px solid rgba(224, 176, 64, 170); border-radius: 4px;"
            " background: rgba(0, 0, 0, 60); }"));
    vcap1 = NewPicture(Pic1, QStringLiteral("vcap1"), false);

    for (int i = 0; i < 4; ++i) {
        Nid[i] = NewLabel(Pic1, Indexed("Nid", i), kNameColour, true);
        Cash[i] = NewLabel(Pic1, Indexed("Cash", i), kCoinColour, true);
        Level[i] = NewLabel(Pic1, Indexed("Level", i), kLevelColour, true);
    }

    for (int i = 0; i < 3; ++i) {
        shanImage[i] = NewPicture(Pic1, Indexed("shanImage", i), false);
        shanImage[i]->setStretch(false);
    }
    std::array<std::array<PictureBox*, 14>*, 4> hands = {&cardImage1, &cardImage2, &cardImage3, &cardImage0};
    const char* handNames[4] = {"cardImage1_", "cardImage2_", "cardImage3_", "cardImage0_"};
    for (int h = 0; h < 4; ++h)
        for (int k = 0; k < 14; ++k)
            (*hands[h])[k] = NewPicture(Pic1, Indexed(handNames[h], k), false);

    for (int i = 0; i < 4; ++i) {
        OK[i] = NewPicture(Pic1, Indexed("OK", i), false);
        first[i] = NewPicture(Pic1, Indexed("first", i), false);
        Speak[i] = NewPicture(Pic1, Indexed("Speak", i), false);
        btnJiaofen[i] = new QPushButton(QStringLiteral("叫分"), Pic1);
        btnJiaofen[i]->setObjectName(Indexed("btnJiaofen", i));
        btnJiaofen[i]->setEnabled(false);
        btnJiaofen[i]->setVisible(false);
    }
    Image1 = NewPicture(Pic1, QStringLiteral("Image1"), false);
    LoadKeyed(Image1, Pictures::Key::FirstPlayer);

    for (int i = 0; i < 7; ++i)
        Operation[i] = NewPicture(Pic1, Indexed("Operation", i), false);
    for (int i = 0; i < 9; ++i) {
        AnNiu[i] = NewPicture(Pic1, Indexed("AnNiu", i), true);
        AnNiu[i]->setCursor(Qt::PointingHandCursor);
    }
    imgword1 = NewPicture(Pic1, QStringLiteral("imgword1"), true);
    imgword2 = NewPicture(Pic1, QStringLiteral("imgword2"), true);
    imgword1->setCursor(Qt::PointingHandCursor);
    imgword2->setCursor(Qt::PointingHandCursor);

    Time_Img = NewPicture(Pic1, QStringLiteral("Time_Img"), false);
    LoadKeyed(Time_Img, Pictures::Key::Clock);
    Number = NewLabel(Pic1, QStringLiteral("Number"), QColor(0, 255, 0), false);
    Number->setAlignment(Qt::AlignCenter);
    QFont clockType = Number->font();
    clockType.setBold(true);
    clockType.setPointSize(14);
    Number->setFont(clockType);

    Label2 = NewLabel(Pic1, QStringLiteral("Label2"), kCaptionColour, false);
    Label2->setText(QStringLiteral("当前级牌为："));
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblJiValue = NewLabel(Pic1, QStringLiteral("lblJiValue"), kNameColour, false);
    lblJiValue->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont rankType = lblJiValue->font();
    rankType.setBold(true);
    rankType.setPointSize(18);
    lblJiValue->setFont(rankType);
    Label4 = NewLabel(Pic1, QStringLiteral("Label4"), kCaptionColour, false);
    Label3 = NewLabel(Pic1, QStringLiteral("Label3"), kCaptionColour, false);

    for (int i = 0; i < 2; ++i) {
        auto* list = new QListWidget(Pic1);
        list->setObjectName(Indexed("Sysmsg", i));
        list->setFrameShape(QFrame::NoFrame);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setFocusPolicy(Qt::NoFocus);
        list->setSelectionMode(QAbstractItemView::NoSelection);
        list->setStyleSheet(QStringLiteral(
            "QListWidget { background: rgba(0,0,0,90); color: #fff3c4; border-radius: 3px; }"));
        Sysmsg[static_cast<size_t>(i)] = list;
    }

    Lbchat = NewPicture(Pic1, QStringLiteral("Lbchat"), true);
    Lbchat->setStretch(false);
    Lbchat->setText(QStringLiteral("聊天"));
    Lbchat->setAlignment(Qt::AlignCenter);
    Lbchat->setCursor(Qt::PointingHandCursor);
    QPalette captionPalette = Lbchat->palette();
    captionPalette.setColor(QPalette::WindowText, kNameColour);
    Lbchat->setPalette(captionPalette);

    Chat = new QLineEdit(Pic1);
    Chat->setObjectName(QStringLiteral("Chat"));
    Chat->setStyleSheet(QStringLiteral(
        "QLineEdit { background: rgba(0,0,0,120); color: #fff8e0; border: 1px solid #b8902c;"
        " border-radius: 3px; padding: 0 4px; selection-background-color: #b8902c; }"));

    Location = NewLabel(Pic1, QStringLiteral("Location"), QColor(0xff, 0xe9, 0xa8), true);
    QFont font = Location->font();
    font.setPointSize(LocationPointSize);
    Location->setFont(font);

    for (int p = 0; p < 4; ++p) {
        ImgShow[p] = NewPicture(Pic1, Indexed("ImgShow", p), false);
        PicLocal[p] = new QWidget(Pic1);
        PicLocal[p]->setObjectName(Indexed("PicLocal", p));
        PicLocal[p]->setVisible(false);
        for (int b = 0; b < 4; ++b) {
            PictureBox* button = NewPicture(PicLocal[p], Indexed("ImCmd", 4 * p + b), true);
            button->setCursor(Qt::PointingHandCursor);
            ImCmd[4 * p + b] = button;
        }
    }
    Tiplbl = NewLabel(Pic1, QStringLiteral("Tiplbl"), QColor(0x20, 0x20, 0x20), false);
    Tiplbl->setAutoFillBackground(true);
    QPalette tip = Tiplbl->palette();
    tip.setColor(QPalette::Window, QColor(0xff, 0xf6, 0xd0));
    Tiplbl->setPalette(tip);

    // The frame: title strip, icon and buttons, shown only once the frame is painted.
    LbMove = new QLabel(this);
    LbMove->setObjectName(QStringLiteral("LbMove"));
    LbMove->setMouseTracking(true);
    LbMove->setVisible(false);
    LbMove->installEventFilter(this);
    QPalette strip = LbMove->palette();
    strip.setColor(QPalette::WindowText, kNameColour);
    LbMove->setPalette(strip);
    LbMove->setAlignment(Qt::AlignCenter);
    ImgIcon = NewPicture(this, QStringLiteral("ImgIcon"), false);
    for (int i = 0; i < 4; ++i) {
        ImgMin[i] = NewPicture(this, Indexed("ImgMin", i), false);
        ImgClose[i] = NewPicture(this, Indexed("ImgClose", i), false);
    }
    LoadKeyed(ImgClose[1], Pictures::Key::CloseNormal);
    LoadKeyed(ImgClose[2], Pictures::Key::CloseHover);
    LoadKeyed(ImgClose[3], Pictures::Key::ClosePressed);
    LoadKeyed(ImgMin[1], Pictures::Key::MinNormal);
    LoadKeyed(ImgMin[2], Pictures::Key::MinHover);
    LoadKeyed(ImgMin[3], Pictures::Key::MinPressed);
    ImgClose[0]->copyPicture(*ImgClose[1]);
    ImgMin[0]->copyPicture(*ImgMin[1]);
}

void MainForm::ConnectHover()
{
    for (int i = 0; i < 9; ++i)
        connect(AnNiu[i], &PictureBox::hovered, this, [this, i] { AnNiuHover(i); });
    for (int i = 0; i < 7; ++i)
        connect(Operation[i], &PictureBox::hovered, this, [this, i] { OperationHover(i); });
    connect(imgword1, &PictureBox::hovered, this, [this] { WordHover(0); });
    connect(imgword2, &PictureBox::hovered, this, [this] { WordHover(1); });
    connect(Pic1, &PictureBox::hovered, this, [this] { TableHover(); });
    connect(imgDilan, &PictureBox::hovered, this, [this] { TableHover(); });
    connect(imgLocation, &PictureBox::hovered, this, [this] { LocationHover(); });
    connect(imgDinglan, &PictureBox::hovered, this, [this] { TopBarHover(); });

    // The settings button opens and closes the sound settings.
    connect(AnNiu[3], &PictureBox::clicked, this, [this](Qt::MouseButton button) {
        if (button == Qt::LeftButton)
            ToggleVosSet(*this);
    });
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

void MainForm::SendKeepAlive()
{
    Packet p = Wire::NewPacket(24);
    p[6] = TableState.Seats[0].seatBit;
    Transport::SendPacket(p);
}

// --- frame -----------------------------------------------------------------------------------

void MainForm::PaintFrame()
{
    Framed = true;
    m_skin = Pictures::PictureByKey(QLatin1String(Pictures::Key::Skin));
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
    const QRectF close = Frame::ClosePlace(inner, Frame::ToTwips(QSizeF(ImgClose[1]->pixmap().size())));
    place(ImgClose[0], close);
    place(ImgMin[0], Frame::MinimisePlace(close, Frame::ToTwips(QSizeF(ImgMin[1]->pixmap().size()))));
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
    if (!Framed || m_skin.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (const Frame::Piece& piece : Frame::Pieces(Frame::ToTwips(QSizeF(size()))))
        painter.drawPixmap(Frame::ToPixels(piece.destination), m_skin, Frame::ToPixels(piece.source));
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

void MainForm::ExitAction()
{
    HallLink::ReturnToHall();
    Platform::EndProgram(0);
}

// --- minimise, restore, activation -------------------------------------------------------

void MainForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange) {
        if (windowState() & Qt::WindowMinimized) {
            // Zoomed video windows do not outlive a minimised table.
            for (QWidget* zoom : ZoomWindows)
                if (zoom != nullptr && zoom->isVisible())
                    zoom->close();
        } else if (isVisible()) {
            WindowRestored();
        }
    } else if (event->type() == QEvent::ActivationChange && isActiveWindow() && Chat != nullptr) {
        Chat->setFocus(Qt::ActiveWindowFocusReason);
    }
    QWidget::changeEvent(event);
}

void MainForm::WindowRestored()
{
    // In front of the other windows without staying on top of them.
    raise();
    activateWindow();
    // The table coming up puts the hall aside, so exactly one of the two is in front.
    HallLink::HallAside();
    // Back from the F1 state: the user plays again.
    if (TableState.AutoPlay) {
        TableState.ShortClock = false;
        TableState.AutoPlay = false;
        TableState.Hidden = false;
        TableState.TurnSeconds = 1;
    }
    TableState.TimeoutCount = 0;
}

// --- hover pictures --------------------------------------------------------------------------

void MainForm::AnNiuHover(int index)
{
    if (index < 0 || index >= int(AnNiu.size()) || AnNiuHighlighted[index])
        return;
    const int entry = Layout::AnNiuEntry(index, true, StartButtonContinues);
    Pictures::LoadPictureById(AnNiu[index], Pictures::ToolbarButtonPictures[entry]);
    AnNiuHighlighted[index] = true;
}

void MainForm::OperationHover(int index)
{
    if (index < 0 || index >= int(Operation.size()) || OperationHighlighted[index])
        return;
    const int entry = Layout::OperationEntry(index, true);
    Pictures::LoadPictureById(Operation[index], Pictures::PlayButtonPictures[entry]);
    OperationHighlighted[index] = true;
}

void MainForm::WordHover(int index)
{
    if (index < 0 || index > 1 || WordHighlighted[index])
        return;
    Pictures::LoadPictureById(index == 0 ? imgword1 : imgword2, 518 + index);
    WordHighlighted[index] = true;
}

void MainForm::TableHover()
{
    for (int i = 0; i < int(AnNiu.size()); ++i) {
        if (!AnNiuHighlighted[i])
            continue;
        const int entry = Layout::AnNiuEntry(i, false, StartButtonContinues);
        Pictures::LoadPictureById(AnNiu[i], Pictures::ToolbarButtonPictures[entry]);
        AnNiuHighlighted[i] = false;
    }
    for (int i = 0; i < int(Operation.size()); ++i) {
        if (!OperationHighlighted[i])
            continue;
        const int entry = Layout::OperationEntry(i, false);
        Pictures::LoadPictureById(Operation[i], Pictures::PlayButtonPictures[entry]);
        OperationHighlighted[i] = false;
    }
}

void MainForm::LocationHover()
{
    for (int i = 0; i < 2; ++i) {
        if (!WordHighlighted[i])
            continue;
        Pictures::LoadPictureById(i == 0 ? imgword1 : imgword2, 516 + i);
        WordHighlighted[i] = false;
    }
}

void MainForm::TopBarHover()
{
    if (Information != nullptr && Information->isVisible())
        Information->hide();
}

void MainForm::ShowStartButton(bool continues)
{
    StartButtonContinues = continues;
    AnNiuHighlighted[2] = false;
    Pictures::LoadPictureById(AnNiu[2], Pictures::ToolbarButtonPictures[Layout::AnNiuEntry(2, false, continues)]);
}

// --- web page ----------------------------------------------------------------------------------

void MainForm::SetWebBrowser(std::unique_ptr<WebPageView> view)
{
    const QRect place = WebBrowser1 ? WebBrowser1->Geometry() : QRect();
    WebBrowser1 = std::move(view);
    if (!WebBrowser1)
        return;
    if (place.isValid())
        WebBrowser1->SetGeometry(place);
    WebBrowser1->DocumentComplete = [this] { WebDocumentComplete(); };
    WebBrowser1->NavigateError = [this] { WebNavigateError(); };
}

void MainForm::NavigateWebBrowser(const QString& address)
{
    if (!WebBrowser1 || address.isEmpty())
        return;
    WebBrowser1->Navigate(address);
    // A page that failed once stays away.
    if (!WebPageFailed)
        WebBrowser1->SetVisible(true);
}

void MainForm::WebDocumentComplete()
{
    if (WebPageFailed || !WebBrowser1)
        return;
    QRect place = WebBrowser1->Geometry();
    place.moveTopLeft(Bird->geometry().topLeft() + QPoint(2, 2));
    WebBrowser1->SetGeometry(place);
    WebBrowser1->SetVisible(true);
    WebBrowser1->Raise();
}

void MainForm::WebNavigateError()
{
    if (WebBrowser1)
        WebBrowser1->SetVisible(false);
    WebPageFailed = true;
}

// --- helpers for code without a window ------------------------------------------------------

MainForm* TheMainForm()
{
    return g_mainForm;
}

void SysmsgClear(int index)
{
    if (g_mainForm && index >= 0 && index < 2)
        g_mainForm->Sysmsg[static_cast<size_t>(index)]->clear();
}

void SysmsgAdd(int index, const QString& line)
{
    if (g_mainForm && index >= 0 && index < 2)
        g_mainForm->Sysmsg[static_cast<size_t>(index)]->addItem(line);
}

QString SysmsgText(int index)
{
    if (!g_mainForm || index < 0 || index > 1)
        return {};
    QListWidget* list = g_mainForm->Sysmsg[static_cast<size_t>(index)];
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines.join(QLatin1Char('\n'));
}

void MinimizeMainForm()
{
    if (g_mainForm)
        g_mainForm->showMinimized();
}

void ShowTableWebPage(const QString& address)
{
    if (g_mainForm)
        g_mainForm->NavigateWebBrowser(address);
}
