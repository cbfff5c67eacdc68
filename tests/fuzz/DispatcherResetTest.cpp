// The dispatcher target keeps one table window for the process and loads the table into it
// again for every input. A finding is only worth keeping if it comes back the same way: an
// input must meet the same table whatever ran before it. Every corpus input is run on a new
// window and on the kept window after another input (its neighbour in the corpus, so each
// pair is also run the other way round), and the two must leave the same table record, the
// same controls and pop-ups, and must have sent and shown the same.
#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTextStream>
#include <QTimer>

#include "FuzzTarget.h"
#include "common/doubles/PlatformDoubles.h"
#include "table/TableState.h"
#include "ui/MainForm.h"
#include "ui/PictureBox.h"

namespace {

template <typename Row>
QString Joined(const Row& row)
{
    QStringList parts;
    for (const auto& value : row)
        parts << QString::number(value);
    return parts.join(QLatin1Char(','));
}

void DescribeRecord(QTextStream& out)
{
    const TableStateRecord& t = TableState;
    for (size_t i = 0; i < 4; ++i) {
        const SeatRecord& s = t.Seats[i];
        out << "seat " << i << ' ' << s.seatKey << ' ' << s.seatBit << ' ' << s.playLeft << ' ' << s.playTop << ' '
            << s.playLeft2 << ' ' << s.playTop2 << ' ' << s.CardCount << ' ' << s.finishPlace << " hand";
        for (const HandEntry& e : s.hand)
            out << ' ' << e.value << '/' << e.ImageIndex;
        const PlayerRecord& p = t.Players[i];
        out << "\nplayer " << i << ' ' << p.nickname << ' ' << p.face << ' ' << p.sex << ' ' << p.area << ' '
            << p.points << ' ' << p.credit << ' ' << p.coins << ' ' << p.levelName << ' ' << p.logins << ' '
            << p.disconnects << ' ' << p.wins << ' ' << p.losses << ' ' << p.userKey << ' ' << p.title << ' '
            << p.voiceSet << ' ' << p.voiceId << ' ' << p.voiceKind << ' ' << p.seatValue << '\n';
        out << "cards " << i << ' ' << Joined(t.TableCards[i]) << " / " << Joined(t.PrevTableCards[i]) << '\n';
    }
    const auto play = [&out](const Rules::CurrentPlayRecord& r) {
        out << static_cast<int>(r.type) << ':' << r.count << ':' << Joined(r.cards);
    };
    out << "table " << t.Table.Spectator << t.Table.GameStarted << t.Table.LeaveOnStart << ' ' << t.Table.PlayersKnown
        << ' ' << t.Table.SeatMessages << ' ' << t.Table.RoundCount << ' ' << Joined(t.Table.RunningScore) << ' '
        << t.Table.WebPageAddress << "\nround " << t.Round.RoundRunning << ' ' << t.Round.PlaysThisRound << ' '
        << t.Round.BombsThisRound << ' ' << t.Round.FinishedCount << ' ' << t.Round.LevelRank << ' ';
    play(t.Round.CurrentPlay);
    out << "\nresult " << t.Result.ResultCount;
    for (const auto& packet : t.Result.ResultPackets)
        out << ' ' << qHash(QByteArray(reinterpret_cast<const char*>(packet.data()), static_cast<qsizetype>(packet.size())));
    out << "\nturn " << t.Turn.MyTurn << t.Turn.MyTurnClock << t.Turn.PlayAllowed << t.Turn.TurnActed;
    for (const HandEntry& e : t.Turn.SentPlay)
        out << ' ' << e.value << '/' << e.ImageIndex;
    out << "\nhint " << t.Hint.LeadHintPos << ' ' << t.Hint.Store.HintCount << ' ' << t.Hint.Store.HintNext << ' '
        << t.Hint.CardCount << ' ';
    play(t.Hint.CurrentPlay);
    const ClockRecord& c = t.Clock;
    out << "\nclock " << c.ClockSeconds << ' ' << c.TurnSeconds << ' ' << c.ClockValue << ' ' << c.TimeoutLimit << ' '
        << c.TimeoutCount << ' ' << c.AutoPlay << c.ShortClock << c.Hidden << ' ' << c.BlinkCount;
    out << "\nvoices " << Joined(t.Voice.VoiceTaken) << ' ' << Joined(t.Voice.VoiceTakenW);
    const DisplayRecord& d = t.Display;
    out << "\ndisplay " << d.LayoutScale.h << ' ' << d.LayoutScale.v << ' ' << d.BaseTop << ' ' << d.DealLayoutOffset
        << ' ' << d.HandLeft << ' ' << d.DealFromLeft << ' ' << Joined(d.NextPlayPicture) << ' ' << d.LastSpeaker << ' '
        << d.AltDown << d.CDown << '\n';
}

// A control and everything on it: where it is, whether it shows, what it says or shows. Left
// out is what no logic of the table reads and nobody sees: the stacking order (the controls
// on a control come sorted), and the picture and the enabled state of a hidden control (a
// handler that shows one gives it what it shows; the snapshot after it compares that).
void DescribeWidget(QTextStream& out, const QWidget* w, int depth)
{
    const QRect g = w->geometry();
    out << QString(depth, QLatin1Char(' ')) << w->metaObject()->className() << ' ' << w->objectName() << ' ' << g.x()
        << ',' << g.y() << ' ' << g.width() << 'x' << g.height();
    if (w->isHidden())
        out << " hidden";
    else
        out << (w->isEnabled() ? " shown" : " shown disabled");
    if (w->isWindow())
        out << " state " << static_cast<int>(w->windowState()) << " title " << w->windowTitle();
    if (const auto* box = qobject_cast<const PictureBox*>(w)) {
        if (!w->isHidden())
            out << " picture " << box->pictureId() << box->pictureKey();
    }
    else if (const auto* label = qobject_cast<const QLabel*>(w))
        out << " text " << label->text();
    if (const auto* line = qobject_cast<const QLineEdit*>(w))
        out << " text " << line->text();
    if (const auto* list = qobject_cast<const QListWidget*>(w))
        for (int i = 0; i < list->count(); ++i)
            out << " | " << list->item(i)->text();
    out << '\n';
    QStringList children;
    for (const QObject* child : w->children())
        if (const auto* widget = qobject_cast<const QWidget*>(child)) {
            QString described;
            QTextStream childOut(&described);
            DescribeWidget(childOut, widget, depth + 1);
            children << described;
        }
    children.sort();
    out << children.join(QString());
}

// Where the table stands and what the client did since the input began.
QString Snapshot(const TestDoubles::ClientDoubles& d)
{
    QString text;
    QTextStream out(&text);
    DescribeRecord(out);
    DescribeWidget(out, FuzzSupport::Table(), 0);
    // The window's timers: some handlers ask whether one runs.
    for (const QTimer* timer : FuzzSupport::Table()->findChildren<QTimer*>())
        out << "timer " << timer->objectName() << ' ' << timer->isActive() << ' ' << timer->interval() << '\n';
    // The pop-ups that show (hidden ones wait to be deleted).
    QStringList popups;
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w != FuzzSupport::Table() && w->isVisible()) {
            QString popup;
            QTextStream popupOut(&popup);
            DescribeWidget(popupOut, w, 1);
            popups << popup;
        }
    popups.sort();
    out << "pop-ups\n" << popups.join(QString());
    out << "sent";
    for (const QByteArray& bytes : d.socket->sent)
        out << ' ' << bytes.toHex();
    out << "\nsocket " << d.socket->state << ' ' << d.socket->connectCalls << ' ' << d.socket->closeCalls << "\nhall";
    for (uint32_t number : d.hall->posted)
        out << ' ' << number;
    out << "\nsound " << d.soundDevice->calls.join(QLatin1Char(';')) << "\nboxes";
    const TestDoubles::Record& seen = TestDoubles::Seen();
    for (const auto& box : seen.messageBoxes)
        out << ' ' << box.text << '/' << box.title;
    for (const auto& box : seen.okCancelBoxes)
        out << ' ' << box.text << '/' << box.title;
    out << "\nends " << seen.endCalls << ' ' << seen.lastExitCode << " shell " << seen.shellOpened.size()
        << " programs " << seen.programsStarted.size() << '\n';
    return text;
}

struct Input {
    QString name;
    QByteArray bytes;
};

std::vector<Input> Corpus()
{
    const QDir dir(QStringLiteral(QUELLOR_FUZZ_CORPUS));
    std::vector<Input> inputs;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            inputs.push_back({name, file.readAll()});
    }
    return inputs;
}

// Runs an input the way the fuzzer does and takes the snapshot. The doubles are the ones the
// input's client installed, which it leaves in place for the snapshot.
QString RunInput(const Input& input)
{
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.bytes.constData()),
                           static_cast<size_t>(input.bytes.size()));
    return Snapshot(FuzzSupport::LastDoubles());
}

// The lines of each snapshot that the other lacks, for the failure message.
std::string Difference(const QString& fresh, const QString& kept)
{
    QStringList onlyFresh = fresh.split(QLatin1Char('\n'));
    QStringList onlyKept = kept.split(QLatin1Char('\n'));
    for (qsizetype i = onlyFresh.size() - 1; i >= 0; --i)
        if (onlyKept.removeOne(onlyFresh[i]))
            onlyFresh.removeAt(i);
    return ("new window:\n" + onlyFresh.join(QLatin1Char('\n')) + "\nkept window:\n" + onlyKept.join(QLatin1Char('\n')))
        .toStdString();
}

}  // namespace

TEST(DispatcherReset, EveryInputMeetsTheTableOfANewWindowWhateverRanBefore)
{
    const std::vector<Input> inputs = Corpus();
    ASSERT_GE(inputs.size(), 2u);
    std::vector<QString> fresh;
    FuzzSupport::LoadNewTableEachInput(true);
    for (const Input& input : inputs)
        fresh.push_back(RunInput(input));
    FuzzSupport::LoadNewTableEachInput(false);

    // Each input after its neighbour, then after the neighbour on the other side.
    for (size_t i = 0; i < inputs.size(); ++i) {
        for (const size_t before : {(i + 1) % inputs.size(), (i + inputs.size() - 1) % inputs.size()}) {
            RunInput(inputs[before]);
            const QString kept = RunInput(inputs[i]);
            EXPECT_TRUE(kept == fresh[i]) << inputs[i].name.toStdString() << " after " << inputs[before].name.toStdString()
                                      << ":\n" << Difference(fresh[i], kept);
        }
    }
}
