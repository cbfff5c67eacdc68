#pragma once
// The dispatcher target's input: a series of records, a selector byte, a length byte, then that
// many bytes. A selector below RawSelector picks one of the commands the client handles and
// the bytes fill the packet after the command byte; from RawSelector up the bytes are the
// whole packet. Shared with the seed writer, which writes such records.
#include <array>
#include <cstdint>

#include "wire/Commands.h"

namespace DispatcherInput {

inline constexpr std::array<uint8_t, 11> Handled = {
    Command::Deal, Command::Play, Command::RoundResult, Command::Departure,
    Command::Entry, Command::Chat, Command::SeatInfo, Command::PlayerLeft,
    Command::TableClosed, Command::Ready, Command::ReconnectResult,
};

inline constexpr uint8_t RawSelector = 128;

constexpr uint8_t SelectorOf(uint8_t command)
{
    for (uint8_t i = 0; i < Handled.size(); ++i)
        if (Handled[i] == command)
            return i;
    return RawSelector;
}

}  // namespace DispatcherInput
