#pragma once

namespace captivo {

// The maker's addresses, shown in messages and opened from the About menu.
inline constexpr const char* kMakerWebAddress = "https://captivo.brindle.example";
inline constexpr const char* kSupportEmail = "support@brindle.example";

}  // namespace captivo
