#pragma once
// What the table does with the hall's messages, and what it answers.
namespace HallAnswers {

// 1125: are you playing? 1125 during a round, 1024 otherwise.
void OnRoundQuestion();
// 771: are you busy? Logging in: 1126; playing a round: 1125; idle: the table closes, 1024.
void OnBusyQuestion();
// 1024: close the table.
void OnCloseTable();
// 22: log in again, with a free start button.
void OnConnectAgain();

// Registers the four with the hall link.
void Register();

}  // namespace HallAnswers
