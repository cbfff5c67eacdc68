#include "sound/VosSet.h"

#include <cmath>
#include <QCloseEvent>
#include <QLabel>
#include <QPalette>

#include "resources/Pictures.h"
#include "sound/Mod_Sound.h"
#include "table/TableState.h"
#include "ui/MainForm.h"
#include "ui/PictureBox.h"
#include "ui/PictureLoad.h"
#include "ui/PopupLook.h"

namespace {

QPointer<VosSet> g_vosSet;

// Entries of the dialog button table.
constexpr int OkPicture = 0;
constexpr int CancelPicture = 2;
constexpr int SoundOnPicture = 4;        // shows "关闭": the sound is on
constexpr int SoundOffPicture = 5;       // shows "打开": the sound is off
constexpr int BackgroundOffPicture = 6;
constexpr int BackgroundOnPicture = 7;

constexpr int ButtonWidth = 65;
constexpr int ButtonHeight = 30;
// The state beside an option's name, at the right of its label.
constexpr int CurrentWidth = 36;

// The felts of pic3 and pic4, as the background option names them.
const char* const FeltNames[2] = {"绿色", "蓝色"};

void ShowDialogPicture(PictureBox* control, int entry)
{
    LoadPictureById(control, Pictures::Tables().DialogButtonPictures[static_cast<size_t>(entry)]);
}

bool FullScale()
{
    return TableState.Display.LayoutScale.h == 1.0 && TableState.Display.LayoutScale.v == 1.0;
}

}  // namespace

VosSet::VosSet(QWidget* parent, PictureBox* tablePicture)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_tablePicture(tablePicture)
{
    g_vosSet = this;
    setObjectName(QStringLiteral("VosSet"));
    setWindowTitle(QStringLiteral("音效设置"));
    setFixedSize(250, 310);
    PopupLook::ApplyPopupOpacity(this);
    setAutoFillBackground(true);
    QPalette panel = palette();
    panel.setColor(QPalette::Window, QColor(0x1c, 0x3a, 0x5c));
    setPalette(panel);

    static const char* const labels[4] = {"背景音乐", "游戏音效", "时钟提示", "桌面背景"};
    for (size_t i = 0; i < 4; ++i) {
        auto* label = new PictureBox(this);
        label->setObjectName(QStringLiteral("Image1_%1").arg(i));
        label->setText(QString::fromUtf8(labels[i]));
        label->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
        label->setStyleSheet(QStringLiteral("color: #f4e6b4; font-size: 15px;"));
        label->setGeometry(30, 40 + 50 * static_cast<int>(i), 110, 36);
        Image1[i] = label;
        auto* current = new QLabel(label);
        current->setObjectName(QStringLiteral("Current_%1").arg(i));
        current->setAlignment(Qt::AlignVCenter | Qt::AlignRight);
        current->setGeometry(label->width() - CurrentWidth, 0, CurrentWidth, label->height());
        Current[i] = current;
    }

    for (size_t k = 0; k < 2; ++k) {
        auto* button = new PictureBox(this);
        button->setObjectName(QStringLiteral("Command1_%1").arg(k));
        button->setStretch(true);
        button->setCursor(Qt::PointingHandCursor);
        connect(button, &PictureBox::clicked, this, [this, k](Qt::MouseButton b) {
            if (b == Qt::LeftButton)
                Command1Click(static_cast<int>(k));
        });
        Command1[k] = button;
    }
    Command1[0]->setGeometry(28, 264, ButtonWidth, ButtonHeight);
    Command1[1]->setGeometry(Command1[0]->x() + static_cast<int>(std::lround(1.4 * Command1[0]->width())), 264,
                             ButtonWidth, ButtonHeight);
    ShowDialogPicture(Command1[0], OkPicture);
    ShowDialogPicture(Command1[1], CancelPicture);

    for (size_t i = 0; i < 4; ++i) {
        auto* button = new PictureBox(this);
        button->setObjectName(QStringLiteral("Command2_%1").arg(i));
        button->setStretch(true);
        button->setCursor(Qt::PointingHandCursor);
        connect(button, &PictureBox::clicked, this, [this, i](Qt::MouseButton b) {
            if (b == Qt::LeftButton)
                Command2Click(static_cast<int>(i));
        });
        const PictureBox* label = Image1[i];
        button->setGeometry(label->x() + label->width() + 20, label->y() + 3, ButtonWidth, ButtonHeight);
        button->show();
        Command2[i] = button;
        ChangedSinceOpen[i] = false;
        // Every button shows the state its switch is in now, also when the window is loaded
        // again later in the run.
        ShowOption(static_cast<int>(i));
    }
}

VosSet::~VosSet() = default;

void VosSet::Command2Click(int index)
{
    if (index < 0 || index > 3)
        return;
    SwitchOption(index);
}

void VosSet::Command1Click(int index)
{
    if (index < 0 || index > 1)
        return;
    hide();
    if (index == 1) {
        for (int i = 0; i < 4; ++i)
            if (ChangedSinceOpen[static_cast<size_t>(i)])
                SwitchOption(i);
    }
    ChangedSinceOpen.fill(false);
}

void VosSet::closeEvent(QCloseEvent* event)
{
    ChangedSinceOpen.fill(false);
    QWidget::closeEvent(event);
}

void VosSet::SwitchOption(int index)
{
    bool& changed = ChangedSinceOpen[static_cast<size_t>(index)];
    changed = !changed;
    switch (index) {
    case 0:
        if (Mod_Sound::State.MusicOn) {
            Mod_Sound::State.MusicOn = false;
            Mod_Sound::StopSound();
        } else {
            Mod_Sound::State.MusicOn = true;
            Mod_Sound::PlaySound(Mod_Sound::State.SoundFiles[1], true);
            Mod_Sound::SetSoundVolume(Mod_Sound::FullVolume);
        }
        break;
    case 1:
        Mod_Sound::State.EffectsOn = !Mod_Sound::State.EffectsOn;
        break;
    case 2:
        Mod_Sound::State.WarningSoundOn = !Mod_Sound::State.WarningSoundOn;
        break;
    case 3: {
        // The felts are drawn for the large table only.
        if (!FullScale())
            return;
        VosSetState.AltBackground = !VosSetState.AltBackground;
        if (PictureBox* table = TablePicture()) {
            LoadPictureByKey(table, QString::fromLatin1(VosSetState.AltBackground ? Pictures::Key::Pic4
                                                                                : Pictures::Key::Pic3));
            table->lower();
        }
        break;
    }
    default:
        return;
    }
    ShowOption(index);
}

void VosSet::ShowOption(int index)
{
    const auto i = static_cast<size_t>(index);
    if (index == 3) {
        const bool alt = VosSetState.AltBackground;
        ShowDialogPicture(Command2[i], alt ? BackgroundOnPicture : BackgroundOffPicture);
        Current[i]->setText(QString::fromUtf8(FeltNames[alt ? 1 : 0]));
        Command2[i]->setToolTip(QStringLiteral("换成%1桌面").arg(QString::fromUtf8(FeltNames[alt ? 0 : 1])));
        Current[i]->setStyleSheet(QStringLiteral("color: #f4e6b4; font-size: 12px;"));
        return;
    }
    const bool on = index == 0 ? Mod_Sound::State.MusicOn
                    : index == 1 ? Mod_Sound::State.EffectsOn
                                 : Mod_Sound::State.WarningSoundOn;
    ShowDialogPicture(Command2[i], on ? SoundOnPicture : SoundOffPicture);
    Current[i]->setText(on ? QStringLiteral("已开") : QStringLiteral("已关"));
    Current[i]->setStyleSheet(on ? QStringLiteral("color: #8ce68c; font-size: 12px; font-weight: bold;")
                                 : QStringLiteral("color: #a8b0b8; font-size: 12px;"));
}

PictureBox* VosSet::TablePicture() const
{
    if (m_tablePicture)
        return m_tablePicture;
    MainForm* form = TheMainForm();
    return form ? form->Pic1 : nullptr;
}

VosSet* TheVosSet()
{
    return g_vosSet;
}

QPoint VosSetPlace(const QRect& table, const QSize& pic1, const QSize& own)
{
    const double top = table.top() + pic1.height() - 1.35 * own.height() + 15;
    const double left = table.left() + pic1.width() - 1.1 * own.width();
    return QPoint(static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top)));
}

void ToggleVosSet(MainForm& form)
{
    VosSet* window = g_vosSet;
    if (window && window->isVisible()) {
        window->hide();
        return;
    }
    if (!window)
        window = new VosSet(&form);
    const QSize pic1 = form.Pic1 ? form.Pic1->size() : form.size();
    window->move(VosSetPlace(form.frameGeometry(), pic1, window->frameGeometry().size()));
    window->show();
    window->raise();
}

void HideVosSet()
{
    PopupLook::HidePopup(g_vosSet);
}

void UnloadVosSet()
{
    PopupLook::UnloadPopup(g_vosSet);
}

void ResetVosSet()
{
    UnloadVosSet();
    VosSetState = VosSetRecord{};
}
