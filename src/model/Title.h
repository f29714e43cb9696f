#pragma once
// What the window title is made of.

namespace orx {

// The maker's web address, in the title and in the About box.
inline constexpr const char* kWebAddress = "www.orx-soft.example";

}  // namespace orx
