#include "ui/ExitWindows.h"

#include <QLabel>
#include <QPointer>

#include "resources/Pictures.h"
#include "ui/MainForm.h"
#include "ui/PictureLoad.h"
#include "ui/PopupLook.h"

namespace {

QPointer<frmExit> g_exit;
QPointer<frmOtherExit> g_otherExit;
std::function<void()> g_exitOk, g_exitCancel, g_otherOk, g_otherCancel;

void Run(const std::function<void()>& choice)
{
    // A copy: the choice unloads the window that called it.
    if (const std::function<void()> run = choice)
        run();
}

PictureBox* Button(QWidget* parent, const char* name, int picture, QSize size, const std::function<void()>& click)
{
    auto* button = new PictureBox(parent);
    button->setObjectName(QLatin1String(name));
    button->setStretch(true);
    button->setCursor(Qt::PointingHandCursor);
    LoadPictureById(button, Pictures::Tables().DialogButtonPictures[static_cast<size_t>(picture)]);
    button->resize(size);
    QObject::connect(button, &PictureBox::clicked, parent, [click](Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            click();
    });
    return button;
}

QLabel* Text(QWidget* parent, const QString& text, QRect place, int points, const QColor& colour)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(place);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setPointSize(points);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

// A small frameless window over the table with its keyed background picture.
void Prepare(QWidget& window, const char* background, QSize size)
{
    window.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    auto* picture = new PictureBox(&window);
    picture->setStretch(true);
    LoadPictureByKey(picture, QLatin1String(background));
    picture->setGeometry(QRect(QPoint(0, 0), size));
    window.resize(size);
    QFont font = window.font();
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Droid Sans Fallback")});
    window.setFont(font);
    PopupLook::ApplyPopupOpacity(&window);
}

QWidget* TableForm()
{
    return TheMainForm();
}

}  // namespace

frmExit::frmExit(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmExit"));
    setWindowTitle(QStringLiteral("退出"));
    Prepare(*this, Pictures::Key::ExitWindow, QSize(300, 150));
    // Dark text on the light panel under the picture's own title strip.
    Label1 = Text(this, QStringLiteral("您真的要退出吗？"), QRect(20, 38, 260, 26), 12, QColor(0x4a, 0x24, 0x0c));
    Label2 = Text(this, QStringLiteral("游戏正在进行，逃跑会扣分！"), QRect(20, 64, 260, 24), 10,
                  QColor(0xb8, 0x1c, 0x10));
    pbCloseMe = Button(this, "pbCloseMe", 0, QSize(65, 30), [] { Run(g_exitOk); });
    pbCancel = Button(this, "pbCancel", 2, QSize(65, 30), [] { Run(g_exitCancel); });
    pbCloseMe->move(70, 100);
    pbCancel->move(165, 100);
}

frmOtherExit::frmOtherExit(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmOtherExit"));
    setWindowTitle(QStringLiteral("提示"));
    Prepare(*this, Pictures::Key::NoticeWindow, QSize(320, 160));
    Label1 = Text(this, QString(), QRect(20, 36, 280, 70), 11, QColor(0x4a, 0x24, 0x0c));
    imgOK = Button(this, "imgOK", 0, QSize(70, 30), [] { Run(g_otherOk); });
    imgCancel = Button(this, "imgCancel", 2, QSize(70, 30), [] { Run(g_otherCancel); });
    imgOK->move(70, 112);
    imgCancel->move(180, 112);
}

namespace ExitWindows {

frmExit& TheExit()
{
    return PopupLook::LoadPopup<frmExit>(g_exit, TableForm());
}

frmOtherExit& TheOtherExit()
{
    return PopupLook::LoadPopup<frmOtherExit>(g_otherExit, TableForm());
}

bool ExitShowing()
{
    return g_exit && g_exit->isVisible();
}

bool OtherExitShowing()
{
    return g_otherExit && g_otherExit->isVisible();
}

void ShowCentred(QWidget& window)
{
    if (const QWidget* table = TableForm()) {
        const QRect frame = table->frameGeometry();
        window.move(frame.left() + (frame.width() - window.width()) / 2,
                    frame.top() + (frame.height() - window.height()) / 2);
    }
    window.show();
    window.raise();
}

void UnloadExit()
{
    PopupLook::UnloadPopup(g_exit);
}

void UnloadOtherExit()
{
    PopupLook::UnloadPopup(g_otherExit);
}

void SetExitChoices(std::function<void()> ok, std::function<void()> cancel)
{
    g_exitOk = std::move(ok);
    g_exitCancel = std::move(cancel);
}

void SetOtherExitChoices(std::function<void()> ok, std::function<void()> cancel)
{
    g_otherOk = std::move(ok);
    g_otherCancel = std::move(cancel);
}

void Reset()
{
    UnloadExit();
    UnloadOtherExit();
    g_exitOk = g_exitCancel = g_otherOk = g_otherCancel = nullptr;
}

}  // namespace ExitWindows
