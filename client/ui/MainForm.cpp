#include "ui/MainForm.h"

#include <algorithm>

#include <QIcon>
#include <QPalette>

#include "resources/Pictures.h"
#include "session/SiteConfig.h"
#include "session/Transport.h"

namespace {

MainForm* g_mainForm = nullptr;

const QColor kFrameColour(0x10, 0x38, 0x22);

}  // namespace

MainForm::MainForm(QWidget* parent) : QWidget(parent)
{
    g_mainForm = this;
    SetTableWindow(this);
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
    ConnectFrameButtons();

    TimerBong = new QTimer(this);
    TimerBong->setObjectName(QStringLiteral("TimerBong"));
    TimerBong->setInterval(50);
    connect(TimerBong, &QTimer::timeout, this, [] { Transport::TimerBongTick(); });
    Transport::RegisterTimerBong(TimerBong);

    // Its duty is given by the clocks at start-up.
    TimerKeepAlive = new QTimer(this);
    TimerKeepAlive->setObjectName(QStringLiteral("TimerKeepAlive"));
    TimerKeepAlive->setInterval(5000);

    // Its duty is given by the chat.
    TimerChat = new QTimer(this);
    TimerChat->setObjectName(QStringLiteral("TimerChat"));
    TimerChat->setInterval(800);

    SetWebBrowser(WebPage::MakeView(Pic1));
}

MainForm::~MainForm()
{
    Transport::RegisterTimerBong(nullptr);
    // The page's widget is a child of Pic1; the layer goes first so it can take it away.
    WebBrowser1.reset();
    if (g_mainForm == this)
        g_mainForm = nullptr;
    if (TheTableWindow() == this)
        SetTableWindow(nullptr);
}

// --- the message area and the window for the floors below ----------------------------------

void MainForm::ClearMessageLine(int index)
{
    Sysmsg[static_cast<size_t>(index)]->clear();
}

void MainForm::AddMessageLine(int index, const QString& line)
{
    Sysmsg[static_cast<size_t>(index)]->addItem(line);
}

QStringList MainForm::MessageLines(int index) const
{
    const QListWidget* list = Sysmsg[static_cast<size_t>(index)];
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

void MainForm::MinimizeWindow()
{
    showMinimized();
}

void MainForm::CloseOperations(int from, int to)
{
    for (int i = std::max(from, 0); i <= to && i < int(Operation.size()); ++i) {
        Operation[static_cast<size_t>(i)]->setEnabled(false);
        Operation[static_cast<size_t>(i)]->hide();
    }
}

void MainForm::ClearSeat(int position)
{
    if (position < 0 || position > 3)
        return;
    const auto p = static_cast<size_t>(position);
    OK[p]->hide();
    Tou[p]->clearPicture();
    Nid[p]->clear();
    Cash[p]->clear();
    Level[p]->clear();
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

MainForm* TheMainForm()
{
    return g_mainForm;
}

void ShowTableWebPage(const QString& address)
{
    if (g_mainForm)
        g_mainForm->NavigateWebBrowser(address);
}
