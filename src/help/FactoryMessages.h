#pragma once

#include <array>

namespace orvell {

inline constexpr int FactoryMessageCount = 264;

// The built-in texts (UTF-8), indexed by message number.
const std::array<const char*, FactoryMessageCount>& factoryMessages();

}  // namespace orvell
