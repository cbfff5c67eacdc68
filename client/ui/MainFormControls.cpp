#include "ui/MainForm.h"

#include <QPalette>

#include "resources/Pictures.h"
#include "ui/PictureLoad.h"

// Control creation, group by group. Stacking follows creation: felt, bars and plates,
// portraits and video, labels, cards, marks, buttons, clock and captions, message area and
// chat; the frame on top.

namespace {

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
    LoadPictureByKey(box, QLatin1String(key));
}

QString Indexed(const char* name, int i)
{
    return QStringLiteral("%1%2").arg(QLatin1String(name)).arg(i);
}

}  // namespace

void MainForm::CreateControls()
{
    CreateTableControls();
    CreateSeatControls();
    CreateCardControls();
    CreateButtons();
    CreateClockAndCaptions();
    CreateMessageArea();
    CreateVideoControls();
    CreateFrameControls();
}

// The felt, the bars and the plates.
void MainForm::CreateTableControls()
{
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
}

// Portraits with their video places, and the name, coin and level labels.
void MainForm::CreateSeatControls()
{
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
}

// The hands and the card-back fans.
void MainForm::CreateCardControls()
{
    for (int i = 0; i < 3; ++i) {
        shanImage[i] = NewPicture(Pic1, Indexed("shanImage", i), false);
        shanImage[i]->setStretch(false);
    }
    std::array<std::array<PictureBox*, 14>*, 4> hands = {&cardImage1, &cardImage2, &cardImage3, &cardImage0};
    const char* handNames[4] = {"cardImage1_", "cardImage2_", "cardImage3_", "cardImage0_"};
    for (int h = 0; h < 4; ++h)
        for (int k = 0; k < 14; ++k)
            (*hands[h])[k] = NewPicture(Pic1, Indexed(handNames[h], k), false);
}

// Marks and bubbles per position, the play and toolbar buttons, the phrase buttons.
void MainForm::CreateButtons()
{
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
}

// The clock and the level captions.
void MainForm::CreateClockAndCaptions()
{
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
}

// The message lines, the chat line and its caption, the location.
void MainForm::CreateMessageArea()
{
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
}

// The video command bars and the tip.
void MainForm::CreateVideoControls()
{
    for (int p = 0; p < 4; ++p) {
        ImgShow[p] = NewPicture(Pic1, Indexed("ImgShow", p), false);
        PicLocal[p] = new QWidget(Pic1);
        PicLocal[p]->setObjectName(Indexed("PicLocal", p));
        PicLocal[p]->setVisible(false);
        for (int b = 0; b < 4; ++b) {
            // The fourth button of the other players' bars has no duty: not offered.
            PictureBox* button = NewPicture(PicLocal[p], Indexed("ImCmd", 4 * p + b), p == 0 || b != 3);
            button->setCursor(Qt::PointingHandCursor);
            ImCmd[4 * p + b] = button;
        }
    }
    Tiplbl = NewLabel(Pic1, QStringLiteral("Tiplbl"), QColor(0x20, 0x20, 0x20), false);
    Tiplbl->setAutoFillBackground(true);
    QPalette tip = Tiplbl->palette();
    tip.setColor(QPalette::Window, QColor(0xff, 0xf6, 0xd0));
    Tiplbl->setPalette(tip);
}

// The title strip, the icon and the frame buttons, shown only once the frame is painted.
void MainForm::CreateFrameControls()
{
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
