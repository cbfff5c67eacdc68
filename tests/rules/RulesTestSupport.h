#pragma once
// Small helpers shared by the rules tests: cards written as ranks, hands in hand order, and
// random deals from a fixed seed.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "rules/Cards.h"
#include "rules/Classify.h"
#include "rules/Compare.h"
#include "rules/Hints.h"

namespace RulesTest {

inline constexpr int J = Rules::RankJack;
inline constexpr int Q = Rules::RankQueen;
inline constexpr int K = Rules::RankKing;
inline constexpr int A = Rules::RankAce;
inline constexpr int Two = Rules::RankTwo;
inline constexpr int SJ = Rules::RankSmallJoker;
inline constexpr int BJ = Rules::RankBigJoker;

// Cards from ranks written in hand order: repeated ranks take spades, hearts, clubs,
// diamonds in turn (so equal ranks stay in hand order), jokers the diamond bit. Identifiers
// count up from 1.
std::vector<CardValue> Ranks(const std::vector<int>& ranks);

// A hand in slots 0..n-1, ImageIndex m in slot m as after a deal.
std::vector<HandEntry> HandOf(const std::vector<CardValue>& cards);

// Same hand sorted with SortHand.
std::vector<CardValue> Sorted(std::vector<CardValue> cards, int levelRank);

std::vector<int> RanksOf(const std::vector<CardValue>& cards);
std::string Describe(const std::vector<CardValue>& cards);
std::string Describe(Rules::PlayType type);

// The current play as the table keeps it.
Rules::CurrentPlayRecord CurrentOf(const std::vector<CardValue>& cards, int levelRank);

// The 54 cards, identifiers 0..53, byte 2 random.
std::vector<CardValue> Deck(std::mt19937& rng);

// A 64-bit key of the ranks of a set of cards (3 bits per rank 3..17), so that plays can be
// compared whatever their suits.
uint64_t RankKey(const std::vector<CardValue>& cards);

// The cards of one follow-hint candidate, in hand order.
std::vector<CardValue> CandidateCards(const Rules::FollowHintStore& store, int c,
                                      const std::vector<HandEntry>& hand);

}  // namespace RulesTest
