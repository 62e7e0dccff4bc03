#pragma once

#include "platform/StoredEnum.h"

#include <QtGlobal>

namespace vemro {

// How the terminal is reached: the serial port as RS232 or RS485/422, or the network module.
// The number is the offset of the speed codes ("SG") and what projects keep in lastComMode.
enum class ComMode : qint32 {
    Rs232 = 0,
    Rs485 = 4,
    Network = 20,
};

template <> [[nodiscard]] inline std::optional<ComMode> fromStored<ComMode>(int stored)
{
    switch (stored) {
    case 0:
        return ComMode::Rs232;
    case 4:
        return ComMode::Rs485;
    case 20:
        return ComMode::Network;
    default:
        return std::nullopt;
    }
}

[[nodiscard]] constexpr bool isSerial(ComMode mode)
{
    return mode == ComMode::Rs232 || mode == ComMode::Rs485;
}

// The outcome of the last exchange with the terminal (serial or network module).
enum class LinkError : qint32 {
    None = 0,
    Nak = 1,
    Timeout = 2,
    // The serial port broke (device gone, terminal switched off) or was not open: the
    // exchange failed without an answer, and waiting longer would not bring one.
    LinkBroken = 3,
    UnexpectedReply = 9,
};

template <> [[nodiscard]] inline std::optional<LinkError> fromStored<LinkError>(int stored)
{
    switch (stored) {
    case 0:
        return LinkError::None;
    case 1:
        return LinkError::Nak;
    case 2:
        return LinkError::Timeout;
    case 3:
        return LinkError::LinkBroken;
    case 9:
        return LinkError::UnexpectedReply;
    default:
        return std::nullopt;
    }
}

// Hardware handshake of the PC's serial port, numbered as the port control has them.
enum class Handshake : int {
    None = 0,
    RtsCts = 2,
};

template <> [[nodiscard]] inline std::optional<Handshake> fromStored<Handshake>(int stored)
{
    switch (stored) {
    case 0:
        return Handshake::None;
    case 2:
        return Handshake::RtsCts;
    default:
        return std::nullopt;
    }
}

} // namespace vemro
