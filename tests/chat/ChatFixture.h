#pragma once
// A seated table for the chat: the user 甲 at seat bit 1, 乙, 丙 and 丁 at 2, 4 and 8 (positions
// 1, 2, 3), the program folder in a temporary directory; chat packets as the server sends
// them, keys into the chat box, and the chat lines the client queued.
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>

#include "chat/ChatDisplay.h"
#include "chat/ChatInput.h"
#include "chat/Talk.h"
#include "play/PlayFixture.h"
#include "wire/Gbk.h"

namespace ChatTest {

// A chat packet from the server: sender seat bit, addressee seat bit, and the text bytes.
inline Packet ChatBytes(uint8_t sender, uint8_t to, const QByteArray& text)
{
    Packet p = Wire::NewPacket(Command::Chat);
    p[Field::Seat] = sender;
    p[Field::Chat::Whisper] = to;
    for (int i = 0; i < text.size() && Field::Chat::Text + i < PacketSize; ++i)
        p[static_cast<size_t>(Field::Chat::Text + i)] = static_cast<uint8_t>(text[i]);
    return p;
}

inline Packet ChatPacket(uint8_t sender, uint8_t to, const QString& text)
{
    return ChatBytes(sender, to, Gbk::Encode(text));
}

class ChatFixture : public PlayTest::PlayFixture {
protected:
    void SetUp() override
    {
        PlayFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("bin")));
        Platform::SetProgramDir(dir.filePath(QStringLiteral("bin")));
    }

    MainForm& SeatPlayers(QSize screen = {1280, 1024})
    {
        MainForm& f = Seat(screen);
        const char* names[4] = {"甲", "乙", "丙", "丁"};
        for (size_t pos = 0; pos < 4; ++pos)
            TableState.Players[pos].nickname = QString::fromUtf8(names[pos]);
        return f;
    }

    void Key(int key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(form->Chat, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(form->Chat, &release);
    }

    // Typed at the caret.
    void Type(const QString& text) { form->Chat->insert(text); }

    // The chat packets queued since the last call.
    std::vector<Packet> ChatSent()
    {
        std::vector<Packet> lines;
        for (const Packet& p : Sent())
            if (p[Wire::CommandByte] == Command::Chat)
                lines.push_back(p);
        return lines;
    }

    QStringList History() const
    {
        Talk* talk = TalkWindow::Loaded();
        return talk ? UiTest::ListRows(talk->Text1) : QStringList();
    }

    QTemporaryDir dir;
};

}  // namespace ChatTest
