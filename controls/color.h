#pragma once

#include <cstdint>

namespace lumodm {

// A control colour: a fixed RGB value, one of the desktop's two button
// colours (which follow the theme), or the toolkit's own default.
struct Color
{
    enum class Role : std::uint8_t { Rgb, ButtonFace, ButtonText, ToolkitDefault };

    Role role = Role::ToolkitDefault;
    std::uint32_t rgb = 0; // 0xRRGGBB, only for Role::Rgb

    static constexpr Color fromRgb(std::uint32_t value) { return Color{Role::Rgb, value}; }
    static constexpr Color buttonFace() { return Color{Role::ButtonFace, 0}; }
    static constexpr Color buttonText() { return Color{Role::ButtonText, 0}; }
    static constexpr Color toolkitDefault() { return Color{Role::ToolkitDefault, 0}; }

    friend constexpr bool operator==(const Color& a, const Color& b)
    {
        return a.role == b.role && (a.role != Role::Rgb || a.rgb == b.rgb);
    }
    friend constexpr bool operator!=(const Color& a, const Color& b) { return !(a == b); }
};

} // namespace lumodm
