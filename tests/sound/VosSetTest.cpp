#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QWindow>
#include <algorithm>
#include <QMouseEvent>

#include "common/ClientFixture.h"
#include "resources/Pictures.h"
#include "sound/Mod_Sound.h"
#include "sound/VosSet.h"
#include "table/TableState.h"
#include "ui/MainForm.h"
#include "ui/PictureBox.h"

using namespace Mod_Sound;

namespace {

constexpr int SoundOn = 174, SoundOff = 175, BackgroundOff = 176, BackgroundOn = 177;

bool Shows(const PictureBox* control, const char* key)
{
    const QImage wanted = Pictures::PictureByKey(QString::fromLatin1(key)).toImage();
    return !wanted.isNull() && control->pixmap().toImage() == wanted;
}

QColor Mean(const QImage& image, const QRect& area)
{
    double r = 0, g = 0, b = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            r += c.red();
            g += c.green();
            b += c.blue();
        }
    const double n = double(area.width()) * area.height();
    return QColor(qRound(r / n), qRound(g / n), qRound(b / n));
}

// The largest difference of one colour channel between two pixels of the area.
int Spread(const QImage& image, const QRect& area)
{
    int low[3] = {255, 255, 255}, high[3] = {0, 0, 0};
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int v[3] = {c.red(), c.green(), c.blue()};
            for (int k = 0; k < 3; ++k) {
                low[k] = std::min(low[k], v[k]);
                high[k] = std::max(high[k], v[k]);
            }
        }
    return std::max({high[0] - low[0], high[1] - low[1], high[2] - low[2]});
}

int HueDistance(const QColor& a, const QColor& b)
{
    const int d = std::abs(a.hsvHue() - b.hsvHue());
    return std::min(d, 360 - d);
}

// The cloth of a felt between its middle and its edge, clear of the rings and the suits.
QColor FeltColour(const char* key)
{
    const QImage felt = Pictures::PictureByKey(QString::fromLatin1(key)).toImage();
    return Mean(felt, QRect(felt.width() * 3 / 10 - 10, felt.height() * 47 / 100 - 10, 20, 20));
}

}  // namespace

class VosSetTest : public TestDoubles::ClientFixture {
protected:
    void SetUp() override
    {
        ClientFixture::SetUp();
        VosSetState.AltBackground = false;
        Pictures::BuildPictureTables(TableState.Display.LayoutScale);
        StartSound(nullptr);
        table = new PictureBox(&tableWindow);
        table->setGeometry(0, 0, 1024, 768);
        // Something else on the table, drawn above the felt.
        other = new PictureBox(&tableWindow);
        soundDevice->calls.clear();
    }
    void TearDown() override
    {
        UnloadVosSet();
        VosSetState.AltBackground = false;
        ClientFixture::TearDown();
    }

    // Loaded like the toolbar does it: a fresh window for this test.
    VosSet& Window()
    {
        if (!window) {
            window = new VosSet(&tableWindow, table);
            window->show();
        }
        return *window;
    }

    QWidget tableWindow;
    PictureBox* table = nullptr;
    PictureBox* other = nullptr;
    VosSet* window = nullptr;
};

TEST_F(VosSetTest, LoadingLaysOutTheButtonsAndShowsTheSwitchesAsTheyAre)
{
    VosSet& w = Window();
    EXPECT_EQ(w.windowTitle(), "音效设置");
    EXPECT_NEAR(w.windowOpacity(), 200.0 / 255.0, 0.01);
    EXPECT_EQ(w.Command1[0]->pictureId(), 170);
    EXPECT_EQ(w.Command1[1]->pictureId(), 172);
    EXPECT_EQ(w.Command1[0]->geometry(), QRect(28, 264, 65, 30));
    EXPECT_EQ(w.Command1[1]->geometry(), QRect(119, 264, 65, 30));   // 28 + 1.4 x 65
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const QRect label = w.Image1[i]->geometry();
        EXPECT_EQ(w.Command2[i]->geometry(), QRect(label.right() + 1 + 20, label.top() + 3, 65, 30));
        EXPECT_TRUE(w.Command2[i]->isVisible());
        EXPECT_FALSE(w.ChangedSinceOpen[i]);
    }
    EXPECT_EQ(w.Command2[0]->pictureId(), SoundOn);
    EXPECT_EQ(w.Command2[1]->pictureId(), SoundOn);
    EXPECT_EQ(w.Command2[2]->pictureId(), SoundOn);
    EXPECT_EQ(w.Command2[3]->pictureId(), BackgroundOff);
    EXPECT_EQ(TheVosSet(), &w);
}

TEST_F(VosSetTest, AWindowLoadedLaterShowsTheSwitchesOfThatMoment)
{
    State.EffectsOn = false;
    State.WarningSoundOn = false;
    VosSetState.AltBackground = true;
    VosSet& w = Window();
    EXPECT_EQ(w.Command2[0]->pictureId(), SoundOn);
    EXPECT_EQ(w.Command2[1]->pictureId(), SoundOff);
    EXPECT_EQ(w.Command2[2]->pictureId(), SoundOff);
    EXPECT_EQ(w.Command2[3]->pictureId(), BackgroundOn);
    EXPECT_EQ(w.Current[0]->text(), "已开");
    EXPECT_EQ(w.Current[1]->text(), "已关");
    EXPECT_EQ(w.Current[3]->text(), "蓝色");
}

// Beside each option's name stands what it is now; its button says what a click does.
TEST_F(VosSetTest, EachOptionSaysWhatItIsNow)
{
    VosSet& w = Window();
    struct Case {
        int option;
        const char* now;
        const char* switched;
    } cases[] = {{0, "已开", "已关"}, {1, "已开", "已关"}, {2, "已开", "已关"}, {3, "绿色", "蓝色"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        const QLabel* current = w.Current[static_cast<size_t>(c.option)];
        EXPECT_EQ(current->text(), QString::fromUtf8(c.now));
        EXPECT_TRUE(current->isVisible());
        w.Command2Click(c.option);
        EXPECT_EQ(current->text(), QString::fromUtf8(c.switched));
        w.Command1Click(1);
        EXPECT_EQ(current->text(), QString::fromUtf8(c.now)) << "after Cancel";
        w.show();
    }
}

// The background button is a swatch of the felt a click puts on the table: one even colour
// of that cloth, not a button face.
TEST_F(VosSetTest, TheBackgroundButtonIsASwatchOfTheOtherFelt)
{
    VosSet& w = Window();
    const QColor own = FeltColour(Pictures::Key::Pic3), alternative = FeltColour(Pictures::Key::Pic4);
    ASSERT_GT(HueDistance(own, alternative), 40);
    for (const QColor& offered : {alternative, own}) {
        const QImage swatch = w.Command2[3]->grab().toImage();
        const QRect inside = swatch.rect().adjusted(4, 4, -4, -4);
        const QColor shown = Mean(swatch, inside);
        EXPECT_LE(HueDistance(shown, offered), 12) << shown.name().toStdString() << " for " << offered.name().toStdString();
        EXPECT_LE(Spread(swatch, inside), 10);
        w.Command2Click(3);
    }
}

// The title bar's close keeps the switches as OK does: a later Cancel takes back only what
// changed after it.
TEST_F(VosSetTest, ClosingByTheTitleBarKeepsTheSwitches)
{
    VosSet& w = Window();
    w.Command2Click(1);
    ASSERT_NE(w.windowHandle(), nullptr);
    w.windowHandle()->close();
    EXPECT_FALSE(w.isVisible());
    for (bool changed : w.ChangedSinceOpen)
        EXPECT_FALSE(changed);

    w.show();
    w.Command2Click(2);
    w.Command1Click(1);
    EXPECT_FALSE(State.EffectsOn) << "kept by the close";
    EXPECT_TRUE(State.WarningSoundOn);
}

TEST_F(VosSetTest, SwitchingTheMusicStopsItAndStartsItAgainFromTheBeginning)
{
    VosSet& w = Window();
    w.Command2Click(0);
    EXPECT_FALSE(State.MusicOn);
    EXPECT_EQ(w.Command2[0]->pictureId(), SoundOff);
    EXPECT_EQ(soundDevice->calls, QStringList{"stop"});
    EXPECT_FALSE(soundDevice->playing);

    soundDevice->calls.clear();
    w.Command2Click(0);
    EXPECT_TRUE(State.MusicOn);
    EXPECT_EQ(w.Command2[0]->pictureId(), SoundOn);
    // A fresh load plays from the start, looping, at full volume.
    EXPECT_EQ(soundDevice->calls,
              (QStringList{"stop", "release", "load " + State.SoundFiles[1], "play loop", "volume 0"}));
    EXPECT_FALSE(w.ChangedSinceOpen[0]);
}

TEST_F(VosSetTest, CuesAndWarningSwitchAtOnce)
{
    VosSet& w = Window();
    struct Case {
        int option;
        bool* flag;
    };
    for (const Case& c : {Case{1, &State.EffectsOn}, Case{2, &State.WarningSoundOn}}) {
        SCOPED_TRACE(c.option);
        const size_t i = static_cast<size_t>(c.option);
        w.Command2Click(c.option);
        EXPECT_FALSE(*c.flag);
        EXPECT_EQ(w.Command2[i]->pictureId(), SoundOff);
        EXPECT_TRUE(w.ChangedSinceOpen[i]);
        w.Command2Click(c.option);
        EXPECT_TRUE(*c.flag);
        EXPECT_EQ(w.Command2[i]->pictureId(), SoundOn);
        EXPECT_FALSE(w.ChangedSinceOpen[i]);
    }
    EXPECT_TRUE(soundDevice->calls.isEmpty()) << "only the music touches the sound";
}

TEST_F(VosSetTest, CancelSwitchesBackWhatChangedAndRestartsTheTune)
{
    VosSet& w = Window();
    w.Command2Click(0);   // music off
    w.Command2Click(1);   // cues off
    w.Command2Click(2);   // warning off ...
    w.Command2Click(2);   // ... and on again: nothing to take back
    soundDevice->calls.clear();

    w.Command1Click(1);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(State.MusicOn);
    EXPECT_TRUE(State.EffectsOn);
    EXPECT_TRUE(State.WarningSoundOn);
    EXPECT_EQ(soundDevice->calls,
              (QStringList{"stop", "release", "load " + State.SoundFiles[1], "play loop", "volume 0"}));
    EXPECT_EQ(w.Command2[0]->pictureId(), SoundOn);
    EXPECT_EQ(w.Command2[1]->pictureId(), SoundOn);
    EXPECT_EQ(w.Command2[2]->pictureId(), SoundOn);
    for (bool changed : w.ChangedSinceOpen)
        EXPECT_FALSE(changed);
}

TEST_F(VosSetTest, OkKeepsTheSwitchesAndALaterCancelTakesBackOnlyNewChanges)
{
    VosSet& w = Window();
    w.Command2Click(1);
    w.Command1Click(0);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(State.EffectsOn);
    EXPECT_FALSE(w.ChangedSinceOpen[1]);

    w.show();
    w.Command2Click(2);
    w.Command1Click(1);
    EXPECT_FALSE(State.EffectsOn) << "kept by the earlier OK";
    EXPECT_TRUE(State.WarningSoundOn);

    // Cancel with nothing changed does nothing at all.
    soundDevice->calls.clear();
    w.show();
    w.Command1Click(1);
    EXPECT_TRUE(soundDevice->calls.isEmpty());
    EXPECT_FALSE(State.EffectsOn);
}

TEST_F(VosSetTest, TheBackgroundOptionPaintsTheFeltAtFullScale)
{
    VosSet& w = Window();
    w.Command2Click(3);
    EXPECT_TRUE(VosSetState.AltBackground);
    EXPECT_TRUE(Shows(table, Pictures::Key::Pic4));
    EXPECT_EQ(w.Command2[3]->pictureId(), BackgroundOn);
    EXPECT_EQ(tableWindow.children().first(), table) << "the felt goes to the back";

    w.Command1Click(1);
    EXPECT_FALSE(VosSetState.AltBackground);
    EXPECT_TRUE(Shows(table, Pictures::Key::Pic3));
    EXPECT_EQ(w.Command2[3]->pictureId(), BackgroundOff);
}

TEST_F(VosSetTest, InTheSmallLayoutTheBackgroundOptionOnlyNotesTheClick)
{
    TableState.Display.LayoutScale = {0.78125, 0.78125};
    Pictures::BuildPictureTables(TableState.Display.LayoutScale);
    VosSet& w = Window();
    w.Command2Click(3);
    EXPECT_FALSE(VosSetState.AltBackground);
    EXPECT_TRUE(w.ChangedSinceOpen[3]);
    EXPECT_TRUE(table->pixmap().isNull());
    EXPECT_EQ(w.Command2[3]->pictureId(), BackgroundOff);

    w.Command1Click(1);
    EXPECT_FALSE(VosSetState.AltBackground);
    EXPECT_TRUE(table->pixmap().isNull()) << "Cancel leaves the background alone";
    EXPECT_FALSE(w.ChangedSinceOpen[3]);
}

TEST_F(VosSetTest, ButtonsAnswerTheLeftMouseButtonAndBadIndexesNothing)
{
    VosSet& w = Window();
    const QPointF inside(5, 5);
    QMouseEvent right(QEvent::MouseButtonPress, inside, w.Command2[1]->mapToGlobal(inside), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(w.Command2[1], &right);
    EXPECT_TRUE(State.EffectsOn);
    QMouseEvent left(QEvent::MouseButtonPress, inside, w.Command2[1]->mapToGlobal(inside), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.Command2[1], &left);
    EXPECT_FALSE(State.EffectsOn);
    QApplication::sendEvent(w.Command1[1], &left);
    EXPECT_TRUE(State.EffectsOn) << "Cancel by mouse";
    EXPECT_FALSE(w.isVisible());

    w.Command2Click(-1);
    w.Command2Click(4);
    w.Command1Click(2);
    EXPECT_TRUE(State.MusicOn);
    EXPECT_TRUE(State.EffectsOn);
    EXPECT_TRUE(State.WarningSoundOn);
    EXPECT_FALSE(VosSetState.AltBackground);
}

TEST_F(VosSetTest, ThePlaceOverTheTable)
{
    // top = 40 + 768 - 1.35 x 310 + 15 = 404.5, left = 100 + 1024 - 1.1 x 250 = 849
    EXPECT_EQ(VosSetPlace(QRect(100, 40, 1040, 796), QSize(1024, 768), QSize(250, 310)), QPoint(849, 405));
}

TEST_F(VosSetTest, TheToolbarTogglesOneWindowOverTheTable)
{
    MainForm form;
    form.setGeometry(0, 0, 1040, 796);
    form.Pic1->setGeometry(8, 20, 1024, 768);
    UnloadVosSet();
    ToggleVosSet(form);
    VosSet* w = TheVosSet();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->parent(), &form);
    // top = 0 + 768 - 1.35 x 310 + 15, left = 0 + 1024 - 1.1 x 250
    EXPECT_EQ(w->pos(), QPoint(749, 365));
    ToggleVosSet(form);
    EXPECT_FALSE(w->isVisible());
    ToggleVosSet(form);
    EXPECT_EQ(TheVosSet(), w);
    EXPECT_TRUE(w->isVisible());
    UnloadVosSet();
    EXPECT_EQ(TheVosSet(), nullptr);
}
