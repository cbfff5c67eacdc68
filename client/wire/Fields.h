#pragma once
// Byte offsets of the fields of every packet, by message. Bytes 3 (command) and 260-261
// (session code) belong to the frame and are named in Packet.h. A field written "16..47" in
// a comment starts at the named offset and runs for the named width.
namespace Field {

// Every message that names a seat carries its seat bit here (the sender, the addressee, the
// player a play or result is about, the seats that stay after a departure).
constexpr int Seat = 6;

namespace EntryRequest {    // client, command 18
constexpr int Reconnect = 4;     // ReconnectMark when the request is sent again for a reconnect
constexpr int ReconnectMark = 28;
constexpr int Key = 16, KeyWidth = 16;
constexpr int Password = 32, PasswordWidth = 228;
constexpr int ReconnectSessionCode = 261;  // 2 bytes: the session code at the time of a reconnect
}  // namespace EntryRequest

namespace EntryResult {     // server, command 18
constexpr int TimeoutLimit = 9;
constexpr int Outcome = 15;  // 1 accepted, 2 the game failed to start, else refused
constexpr int WebAddress = 16, WebAddressWidth = 100;
}  // namespace EntryResult

namespace Chat {            // both, command 19
constexpr int Voice = 9;         // 1: play a voice phrase of the sender
constexpr int Whisper = 11;      // seat bit of the addressed player, 0 for everyone
constexpr int VoiceCode = 13;
constexpr int VoiceNumber = 15;
constexpr int Text = 16, TextLast = 215;
constexpr int MaxCharacters = 100;
}  // namespace Chat

namespace Request {         // client: play or pass (7), leave or ready (16)
constexpr int Leave = 14;        // 1 in a leave request
constexpr int Kind = 15;         // command 7: 1 pass, 2 play; command 16: 1 ready
constexpr int Count = 17;        // command 7: number of cards
constexpr int Type = 18;         // command 7: the play type
constexpr int Cards = 20;        // command 7: one card identifier a byte
}  // namespace Request

namespace Deal {            // server, command 1
constexpr int Starter = 8;
constexpr int LevelRank = 9;
constexpr int TurnSeconds = 11;
constexpr int LongSeatA = 12, LongSeatB = 13;  // the two seats dealt 14 cards
constexpr int OurLevel = 14, TheirLevel = 15;
constexpr int Cards = 16;        // 14 cards, 4 bytes each
}  // namespace Deal

namespace Play {            // server, command 6
constexpr int Next = 11;         // seat bit of the player whose turn is next
constexpr int TurnState = 15;
// Turn states: below 10 the next player has a turn; 1, 9 and 10 start a new trick.
constexpr int TurnFollow = 0;     // the next player beats the play or passes
constexpr int TurnNewTrick = 1;   // everyone passed: the next player leads
constexpr int TurnOpening = 9;    // first turn of a round: the starter leads
constexpr int TurnRoundOver = 10; // the play that ended the round
constexpr bool StartsNewTrick(int state)
{
    return state == TurnNewTrick || state == TurnOpening || state == TurnRoundOver;
}
constexpr int Count = 17;
constexpr int Type = 18;
constexpr int Cards = 20;        // 4 bytes each
}  // namespace Play

namespace Result {          // server, command 9
constexpr int RoomFigure = 8;    // 4 bytes, most significant first
constexpr int SecondLine = 13;
constexpr int Currency = 15;
constexpr int LevelsGained = 16;
constexpr int Remaining = 17;
constexpr int RemainingCards = 20;  // suit bit, rank, 2 unused; 4 bytes each
constexpr int Place = 76;
constexpr int Outcome = 78;
constexpr int Total = 79;        // 8 bytes, least significant first
constexpr int Final = 87;        // 8 bytes, least significant first
constexpr int PlayerLevel = 95;
}  // namespace Result

namespace SeatInfo {        // server, command 20
constexpr int Nickname = 16, NicknameWidth = 32;
constexpr int Face = 48, FaceWidth = 16;
constexpr int Sex = 64;
constexpr int Area = 72, AreaWidth = 8;
constexpr int Points = 80, Credit = 88, Coins = 96, Amount3 = 104;
constexpr int LevelName = 112, LevelNameWidth = 16;
constexpr int Amount4 = 128, Amount5 = 136, Amount6 = 144;
constexpr int Logins = 152, Disconnects = 156, Wins = 160, Losses = 164;
constexpr int Key = 168, KeyWidth = 16;
constexpr int Title = 184, TitleWidth = 24;
constexpr int IsReady = 208;
constexpr int VoiceSet = 210, VoiceSetWidth = 8;
constexpr int VoiceId = 218, VoiceIdWidth = 8;
constexpr int SeatValue = 226;
}  // namespace SeatInfo

namespace Ready {           // server, command 23
constexpr int IsReady = 15;
constexpr int Key = 16, KeyWidth = 16;
}  // namespace Ready

namespace Departure {       // server, command 16; the seats that stay are in Seat
constexpr int Reason = 15;
}  // namespace Departure

namespace PlayerLeft {      // server, command 21
constexpr int Key = 16, KeyWidth = 16;
}  // namespace PlayerLeft

namespace TableClosed {     // server, command 22
constexpr int Notice = 16, NoticeWidth = 200;
}  // namespace TableClosed

namespace ReconnectResult { // server, command 29
constexpr int Outcome = 15;  // 1 accepted
}  // namespace ReconnectResult

}  // namespace Field
