// quellor-showcase: the table window loaded as start-up loads it, optionally filled with sample
// players, cards and marks, saved as a picture; for looking at the layout of both scales.
//
//   quellor-showcase --scale 1 --out table.png             the empty table (1280 x 1024 screen)
//   quellor-showcase --scale 0.78125 --round --out r.png   a round in play (800 x 600 screen)
//   quellor-showcase --all --out all.png                   every control shown at once
//   quellor-showcase --round --chat --out c.png            with chat lines and the history open
//   quellor-showcase --round --video --out v.png           video at every seat, zoom windows open
//
// With --all every control is shown, also those that take turns in one place (a fan and the
// badge that replaces it, a play and a pass bubble); the overlaps among shown controls are
// listed on standard output.
#include <QApplication>
#include <QCommandLineParser>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QSet>
#include <QTextStream>
#include <QTimer>

#include "chat/ChatInput.h"
#include "chat/Talk.h"
#include "resources/Pictures.h"
#include "session/Connection.h"
#include "session/Platform.h"
#include "session/Transport.h"
#include "table/TableState.h"
#include "ui/Popups.h"
#include "video/VCap.h"
#include "video/VideoBars.h"
#include "video/VideoDisplay.h"
#include "video/VideoLinks.h"
#include "video/ZoomWindows.h"
#include "wire/Commands.h"
#include "wire/Fields.h"
#include "wire/Gbk.h"
#include "Startup.h"
#include "ui/Layout.h"
#include "ui/MainForm.h"
#include "ui/PictureLoad.h"
#include "ui/WebPage.h"

namespace {

// A stand-in camera picture: a head and shoulders against a coloured wall.
QPixmap CameraFrame(QSize size, QColor wall)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, wall.lighter(130));
    g.setColorAt(1, wall.darker(140));
    p.fillRect(image.rect(), g);
    const double w = size.width(), h = size.height();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 48, 70));
    p.drawEllipse(QRectF(w * 0.18, h * 0.72, w * 0.64, h * 0.6));
    p.setBrush(QColor(236, 196, 160));
    p.drawEllipse(QRectF(w * 0.36, h * 0.22, w * 0.28, h * 0.5));
    p.setBrush(QColor(50, 36, 28));
    p.drawChord(QRectF(w * 0.35, h * 0.18, w * 0.3, h * 0.34), 0, 180 * 16);
    return QPixmap::fromImage(image);
}

// A stand-in web page when no browser is shown: a small advertising plate.
class SamplePage : public WebPageView {
public:
    explicit SamplePage(QWidget* parent) : m_label(new QLabel(parent))
    {
        m_label->setObjectName(QStringLiteral("WebBrowser1"));
        m_label->setAlignment(Qt::AlignCenter);
        m_label->setWordWrap(true);
        m_label->setText(QStringLiteral("<b>奎乐棋牌</b><br><small>周末比赛<br>报名中</small>"));
        m_label->setStyleSheet(QStringLiteral("background: #fff6d8; color: #7a3b10; border-radius: 3px;"));
        m_label->hide();
    }
    void Navigate(const QString&) override {}
    void SetGeometry(const QRect& rect) override { m_label->setGeometry(rect); }
    QRect Geometry() const override { return m_label->geometry(); }
    void SetVisible(bool visible) override { m_label->setVisible(visible); }
    bool IsVisible() const override { return m_label->isVisible(); }
    void Raise() override { m_label->raise(); }

private:
    QLabel* m_label;
};

struct Sample {
    QString title, nickname, coins, level;
    int portrait;
};

const Sample kPlayers[4] = {
    {QStringLiteral("棋圣"), QStringLiteral("小明同学"), QStringLiteral("128600金币"), QStringLiteral("第十二级"), 3},
    {QStringLiteral("新手"), QStringLiteral("东方不败"), QStringLiteral("5200金币"), QStringLiteral("第二级"), 12},
    {QStringLiteral("高手"), QStringLiteral("大海"), QStringLiteral("64000金币"), QStringLiteral("第二十级"), 7},
    {QStringLiteral("名家"), QStringLiteral("一二三四五六七八"), QStringLiteral("31500金币"), QStringLiteral("第九级"), 15},
};

void Players(MainForm& f)
{
    for (int p = 0; p < 4; ++p) {
        const Sample& s = kPlayers[p];
        f.Nid[p]->setText(QStringLiteral("[%1] %2").arg(s.title, s.nickname));
        f.Cash[p]->setText(s.coins);
        f.Level[p]->setText(s.level);
        LoadPictureById(f.Tou[p], Pictures::Tables().PortraitPictures[s.portrait]);
    }
}

// Places a played card as the play display does: around the position's anchor.
void ShowPlayed(std::array<PictureBox*, 14>& cards, int position, const std::vector<int>& codes)
{
    const LayoutScaleFactors& s = TableState.Display.LayoutScale;
    const bool small = s.h < 1;
    const int n = static_cast<int>(codes.size());
    const double anchorLeft = PlayAnchors[static_cast<size_t>(position)].left * s.h;
    const double anchorTop = PlayAnchors[static_cast<size_t>(position)].top * s.v;
    for (int j = 0; j < n; ++j) {
        PictureBox* card = cards[j];
        LoadPictureById(card, Pictures::Tables().CardPictureIds[codes[j]]);
        const double left = anchorLeft - (n * 0.11 + 0.39) * 90 * s.h + j * (small ? 0.3 : 0.22) * cards[0]->width() * s.h;
        card->setGeometry(qRound(left), qRound(anchorTop), qRound(80 * s.h), qRound(108 * s.v));
        card->show();
        card->raise();
    }
}

void Fan(MainForm& f, int index, int count)
{
    const LayoutScaleFactors& s = TableState.Display.LayoutScale;
    PictureBox* fan = f.shanImage[index];
    LoadPictureById(fan, Pictures::Tables().FanPictures[index][count - 1]);
    if (s.h < 1) {
        const QSize own = Pictures::PictureById(Pictures::Tables().FanPictures[index][count - 1]).size();
        fan->resize(qRound(own.width() * s.h), qRound(own.height() * s.v));
    }
    fan->show();
}

void Round(MainForm& f, bool everything)
{
    const LayoutScaleFactors& s = TableState.Display.LayoutScale;
    Players(f);
    // The user's hand, two cards raised.
    const int hand[14] = {3, 19, 35, 5, 21, 55, 8, 40, 26, 11, 59, 13, 46, 17};
    for (int k = 0; k < 14; ++k) {
        PictureBox* card = f.cardImage0[k];
        LoadPictureById(card, Pictures::Tables().CardPictureIds[hand[k]]);
        card->show();
        card->raise();
        if (k == 5 || k == 6)
            card->move(card->x(), card->y() - card->height() / 5);
    }
    // Left passed, top played a straight, right played out with a triple.
    ShowPlayed(f.cardImage2, 2, {6, 23, 40, 57, 10});
    ShowPlayed(f.cardImage3, 3, {12, 28, 44});
    if (everything)
        ShowPlayed(f.cardImage1, 1, {9, 25});
    Fan(f, 0, 11);
    Fan(f, 1, 9);
    if (everything)
        Fan(f, 2, 4);
    LoadPictureById(f.first[3], Pictures::Tables().PlaceMarkPictures[0]);
    f.first[3]->show();
    f.Speak[1]->show();

    for (PictureBox* b : {f.Operation[0], f.Operation[1], f.Operation[2], f.Operation[6]})
        b->show();
    f.Operation[6]->setEnabled(true);

    f.Label4->setText(QStringLiteral("本方打：K"));
    f.Label3->setText(QStringLiteral("对方打：2"));
    f.lblJiValue->setText(QStringLiteral("A"));
    for (QWidget* w : {static_cast<QWidget*>(f.Label2), static_cast<QWidget*>(f.lblJiValue),
                       static_cast<QWidget*>(f.Label3), static_cast<QWidget*>(f.Label4)})
        w->show();
    // The first-player mark beside the top player, as the deal places it.
    if (s.h >= 1)
        f.Image1->move(352, 108);
    else
        f.Image1->move(f.Tou[2]->x() - 10, f.Tou[2]->y() + f.Tou[2]->height() + 25);
    f.Image1->show();

    // The user's turn: the clock where the user's turn puts it.
    f.Time_Img->move(qRound(750 * s.h), qRound(600 * s.v));
    f.Number->move(f.Time_Img->x() + qRound(48 * s.h), f.Time_Img->y() + qRound(5 * s.v));
    f.Number->setText(QStringLiteral("4"));
    QPalette red = f.Number->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    f.Number->setPalette(red);
    f.Time_Img->show();
    f.Number->show();
    f.Time_Img->raise();
    f.Number->raise();

    SysmsgClear(0);
    SysmsgClear(1);
    SysmsgAdd(0, QStringLiteral("东方不败说道： 快点吧，等得花都谢了"));
    SysmsgAdd(1, QStringLiteral("你对大海说道： 好牌！"));
    f.Chat->setText(QStringLiteral("这把稳了"));
}

void Video(MainForm& f)
{
    const QColor walls[4] = {QColor(120, 150, 190), QColor(190, 150, 110), QColor(120, 170, 130), QColor(170, 130, 170)};
    f.vcap1->setPicture(0, CameraFrame(f.vcap1->size(), walls[0]));
    f.vcap1->show();
    f.PicLocal[0]->show();
    for (int p = 1; p < 4; ++p) {
        f.ImgKuang[p]->setPicture(0, VideoDisplay::FramePicture(f.ImgKuang[p]->size()));
        f.ImgKuang[p]->show();
        f.vshow1[p]->setPicture(0, CameraFrame(f.vshow1[p]->size(), walls[p]));
        f.vshow1[p]->show();
        f.PicLocal[p]->show();
        LoadPictureById(f.ImgShow[p], Pictures::Tables().VideoCommandPictures[1]);
        f.ImgShow[p]->show();
    }
}

void Everything(MainForm& f)
{
    Round(f, true);
    Video(f);
    for (int p = 0; p < 4; ++p) {
        LoadPictureById(f.OK[p], Pictures::Tables().ReadyMarkPictures[p % 3]);
        f.OK[p]->show();
        LoadPictureById(f.first[p], Pictures::Tables().PlaceMarkPictures[p % 3]);
        f.first[p]->show();
        f.Speak[p]->show();
        f.btnJiaofen[p]->show();
        f.vshow1[p]->raise();
    }
    for (PictureBox* b : f.Operation)
        b->show();
    f.Tiplbl->setText(QStringLiteral("像册"));
    const QRect tipButton = f.ImCmd[0]->geometry().translated(f.PicLocal[0]->pos());
    f.Tiplbl->move(tipButton.right() + 1, f.PicLocal[0]->y() + qRound(10 * TableState.Display.LayoutScale.v));
    f.Tiplbl->show();
    f.Tiplbl->raise();
}

// Chat lines as the server sends them, through the client's own handling: the server's
// notice, public lines, private remarks to and from the user and between two others, a
// filtered line and a long one; then a remark being typed and the history window opened.
void ChatLines(MainForm& f)
{
    const uint8_t bits[4] = {1, 2, 4, 8};
    for (size_t p = 0; p < 4; ++p) {
        TableState.Seats[p].seatBit = bits[p];
        TableState.Players[p].nickname = kPlayers[p].nickname;
    }
    Connection::Link.EntryOk = true;
    const auto deliver = [](uint8_t sender, uint8_t to, const QString& text) {
        Packet p = Wire::NewPacket(Command::Chat);
        p[Field::Seat] = sender;
        p[Field::Chat::Whisper] = to;
        const QByteArray bytes = Gbk::Encode(text);
        for (int i = 0; i < bytes.size() && Field::Chat::Text + i <= Field::Chat::TextLast; ++i)
            p[static_cast<size_t>(Field::Chat::Text + i)] = static_cast<uint8_t>(bytes[i]);
        Transport::DeliverPacket(p);
    };
    deliver(0, 0, QStringLiteral("系统消息：欢迎来到一号桌，请文明聊天！"));
    deliver(2, 0, QStringLiteral("东方不败说道： 大家好！"));
    deliver(1, 0, QStringLiteral("小明同学说道： 你好，合作愉快！"));
    deliver(4, 1, QStringLiteral("快点出牌啊，等得花都谢了"));
    deliver(1, 8, QStringLiteral("这把稳了"));
    deliver(4, 2, QStringLiteral("小心他的炸弹"));
    deliver(2, 0, QStringLiteral("东方不败说道： 你这个混蛋，打得真好"));
    deliver(8, 0, QStringLiteral("一二三四五六七八说道： 这一局我们一定要赢回来，大家加油，下一局再战到天亮！"));
    f.Chat->clear();
    ChatInput::PortraitClick(2);
    f.Chat->insert(QStringLiteral("好的"));
    Popups::Toggle(Popup::Talk);
}

// The table with the history window drawn where it stands over it.
QPixmap TableWithHistory(MainForm& f)
{
    QPixmap picture = f.grab();
    Talk* talk = TalkWindow::Loaded();
    if (talk != nullptr && talk->isVisible()) {
        QPainter painter(&picture);
        painter.setOpacity(0.9);
        painter.drawPixmap(talk->frameGeometry().topLeft() - f.frameGeometry().topLeft(), talk->grab());
    }
    // Zoom windows are windows of their own: drawn where they stand over the table.
    for (int zoom = 0; zoom < 4; ++zoom)
        if (ZoomWindows::ZoomShowing(zoom)) {
            QPainter painter(&picture);
            const frmZoom* window = ZoomWindows::Zoom(zoom);
            painter.drawPixmap(window->frameGeometry().topLeft() - f.frameGeometry().topLeft(),
                               const_cast<frmZoom*>(window)->grab());
        }
    return picture;
}

// Video at every seat: the test picture as the own camera, pictures at the other three, and
// zoom windows open in each size.
void LiveVideo(MainForm& f)
{
    using VideoLinks::Video;
    for (int p = 0; p < 4; ++p)
        Video.LastFrame[static_cast<size_t>(p)] = VideoPictures::TestPicture(700 * p + 300);
    VideoLinks::Video.CameraOn = true;
    VideoDisplay::ShowFrame(f.vcap1, Video.LastFrame[0]);
    f.vcap1->show();
    f.vcap1->raise();
    f.PicLocal[0]->show();
    for (size_t p = 1; p <= 3; ++p) {
        VideoDisplay::ShowVideoFrame(f, static_cast<int>(p));
        f.PicLocal[p]->show();
        f.vshow1[p]->show();
        f.vshow1[p]->raise();
        VideoDisplay::ShowFrame(f.vshow1[p], Video.LastFrame[p]);
    }
    // Position 3 closed by the user: its reopen button shows instead.
    VideoBars::CommandClick(12);
    ZoomWindows::ToggleZoom(0);  // medium
    ZoomWindows::ToggleZoom(1);
    ZoomWindows::ZoomButton(1, 2);  // small
    ZoomWindows::ToggleZoom(2);
    ZoomWindows::ZoomButton(2, 1);  // large
    for (int zoom = 0; zoom < 3; ++zoom)
        VideoDisplay::ShowFrame(ZoomWindows::Zoom(zoom)->vshow1, Video.LastFrame[static_cast<size_t>(zoom)]);
}

// Two controls of one family (the cards of a hand, fanned on purpose) or a control and what it
// is drawn on by design.
bool MeantToOverlap(const QString& a, const QString& b)
{
    static const QRegularExpression tail(QStringLiteral("_?\\d+$"));
    QString familyA = a, familyB = b;
    familyA.remove(tail);
    familyB.remove(tail);
    if (familyA == familyB)
        return true;
    const QString pair = a < b ? a + QLatin1Char(' ') + b : b + QLatin1Char(' ') + a;
    static const QSet<QString> designed = {
        QStringLiteral("Number Time_Img"), QStringLiteral("Tou0 vcap1"), QStringLiteral("ImgKuang1 vshow11"),
        QStringLiteral("ImgKuang2 vshow12"), QStringLiteral("ImgKuang3 vshow13")};
    return designed.contains(pair);
}

// Overlaps among the shown controls on the table, not counting the plates they sit on.
void ListOverlaps(MainForm& f, QTextStream& out)
{
    const QSet<QString> plates = {QStringLiteral("imgDilan"), QStringLiteral("imgDinglan"),
                                  QStringLiteral("imgLocation"), QStringLiteral("Bird")};
    QList<QWidget*> shown;
    for (QObject* child : f.Pic1->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w != nullptr && w->isVisible() && !plates.contains(w->objectName()))
            shown << w;
    }
    int count = 0;
    for (int i = 0; i < shown.size(); ++i)
        for (int j = i + 1; j < shown.size(); ++j) {
            const QString a = shown[i]->objectName(), b = shown[j]->objectName();
            if (shown[i]->geometry().intersects(shown[j]->geometry()) && !MeantToOverlap(a, b)) {
                out << "overlap: " << a << " " << b << "\n";
                ++count;
            }
        }
    out << "overlaps: " << count << "\n";
}

}  // namespace

int main(int argc, char** argv)
{
    WebPage::PrepareEnvironment();
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The table window, laid out, as a picture."));
    parser.addHelpOption();
    const QCommandLineOption scale(QStringLiteral("scale"), QStringLiteral("1 or 0.78125."), QStringLiteral("factor"),
                                   QStringLiteral("1"));
    const QCommandLineOption all(QStringLiteral("all"), QStringLiteral("Show every control."));
    const QCommandLineOption round(QStringLiteral("round"), QStringLiteral("Show a round in play."));
    const QCommandLineOption web(QStringLiteral("web"), QStringLiteral("Navigate the real web page to this address."),
                                 QStringLiteral("address"));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Picture file to write."), QStringLiteral("file"),
                                 QStringLiteral("showcase.png"));
    const QCommandLineOption chat(QStringLiteral("chat"), QStringLiteral("Chat lines and the history window."));
    const QCommandLineOption video(QStringLiteral("video"), QStringLiteral("Video at every seat and zoom windows."));
    parser.addOptions({scale, all, round, web, out, chat, video});
    parser.process(app);

    const bool small = parser.value(scale).toDouble() < 1.0;
    const QSize screen = small ? QSize(800, 600) : QSize(1280, 1024);
    Platform::SetInstanceCheck([] { return false; });
    if (!parser.isSet(web))
        WebPage::SetFactory([](QWidget* parent) { return std::make_unique<SamplePage>(parent); });

    MainForm form;
    // Proxy type 9: the table opens and connects nowhere.
    const QString line = QStringLiteral("showcase$pw$127.0.0.1$1$一号桌 · 本地服务器$9$$0$$$0$$$");
    if (!Startup::LoadMainForm(form, {QStringLiteral("quellor-showcase"), line}, screen))
        return 1;

    SysmsgClear(0);
    SysmsgClear(1);
    SysmsgAdd(0, QStringLiteral("连接服务器成功！"));
    SysmsgAdd(1, QStringLiteral("欢迎进入奎乐棋牌"));
    if (parser.isSet(all))
        Everything(form);
    else if (parser.isSet(round))
        Round(form, false);
    if (parser.isSet(chat))
        ChatLines(form);
    if (parser.isSet(video))
        LiveVideo(form);
    if (parser.isSet(all) || parser.isSet(round)) {
        form.NavigateWebBrowser(parser.isSet(web) ? parser.value(web) : QStringLiteral("sample"));
        if (!parser.isSet(web))
            form.WebDocumentComplete();
    }

    QTextStream stdOut(stdout);
    // Give a real page time to load, then take the picture.
    const int wait = parser.isSet(web) ? 4000 : 200;
    QTimer::singleShot(wait, &app, [&] {
        const QString file = parser.value(out);
        const bool saved = TableWithHistory(form).save(file);
        stdOut << (saved ? "saved " : "could not save ") << file << "\n";
        if (parser.isSet(all))
            ListOverlaps(form, stdOut);
        stdOut.flush();
        app.exit(saved ? 0 : 1);
    });
    return app.exec();
}
