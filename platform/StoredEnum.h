#pragma once

#include <optional>
#include <type_traits>

namespace vemro {

// The program's enumerations keep the numbers that project files, the program database and
// the terminal use. Each enumeration specialises fromStored next to its definition: a number
// read from outside becomes a value only when it names one, otherwise nothing (the caller
// decides what an unknown number means there). toStored gives the number back.
template <typename E> [[nodiscard]] std::optional<E> fromStored(int stored);

template <typename E, typename = std::enable_if_t<std::is_enum_v<E>>>
[[nodiscard]] constexpr int toStored(E value)
{
    return static_cast<int>(value);
}

} // namespace vemro
