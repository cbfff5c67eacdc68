#pragma once
// The card word and the hand slot shared by the rules, the table record and the display.
#include <cstdint>

// One card as the server chose it: suit bit in byte 0, rank in byte 1, byte 2 carried
// unchanged, the card identifier in byte 3.
using CardValue = int32_t;

// One slot of a hand. ImageIndex is the card picture control that shows the card;
// -1 marks an empty slot.
struct HandEntry {
    CardValue value = 0;
    int16_t ImageIndex = -1;
};
