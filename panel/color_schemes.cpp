#include "panel/front_panel.h"

#include <array>

namespace lumodm {

namespace {

struct Scheme
{
    Color background;
    Color text;
    MenuItem Form1::*item;
};

constexpr std::int16_t kBlueScheme = 5;

constexpr std::array<Scheme, 6> kSchemes{{
    {Color::buttonFace(), Color::buttonText(), &Form1::Menu_System},
    {Color::fromRgb(0xFFFFFF), Color::fromRgb(0x000000), &Form1::Menu_BW},
    {Color::fromRgb(0x000000), Color::fromRgb(0xFFFFFF), &Form1::Menu_RevBW},
    {Color::fromRgb(0xFF8080), Color::fromRgb(0xC00000), &Form1::Menu_Red},
    {Color::fromRgb(0x80FF80), Color::fromRgb(0x008000), &Form1::Menu_Green},
    {Color::fromRgb(0x80FFFF), Color::fromRgb(0x0000FF), &Form1::Menu_Blue},
}};

void paint(Label& label, const Scheme& scheme)
{
    label.background = scheme.background;
    label.foreground = scheme.text;
}

} // namespace

void FrontPanel::ApplyColorScheme(std::int16_t scheme)
{
    for (const Scheme& entry : kSchemes) {
        (form_.*entry.item).checked = false;
    }
    // Out of range: colours stay, nothing checked, the number is kept.
    if (scheme >= 0 && scheme < static_cast<std::int16_t>(kSchemes.size())) {
        const Scheme& chosen = kSchemes[static_cast<std::size_t>(scheme)];
        paint(form_.Label_ReadOut, chosen);
        form_.Label_ROBackground.background = chosen.background; // it has no text
        paint(form_.Label_RunStop, chosen);
        paint(form_.Label_Func, chosen);
        paint(form_.Label_RefreshRate, chosen);
        paint(form_.Label_Prefix, chosen);
        paint(form_.Label_Range, chosen);
        // Only blue reaches the range list, and no scheme takes it back.
        if (scheme == kBlueScheme) {
            form_.Combo_Range.background = chosen.background;
            form_.Combo_Range.foreground = chosen.text;
        }
        (form_.*chosen.item).checked = true;
    }
    form_.state.ColorScheme = scheme;
    if (form_.state.UpdatingControls == kFalse) {
        form_.state.SettingsChanged = kTrue;
    }
}

void FrontPanel::Menu_System_Click()
{
    ApplyColorScheme(0);
}

void FrontPanel::Menu_BW_Click()
{
    ApplyColorScheme(1);
}

void FrontPanel::Menu_RevBW_Click()
{
    ApplyColorScheme(2);
}

void FrontPanel::Menu_Red_Click()
{
    ApplyColorScheme(3);
}

void FrontPanel::Menu_Green_Click()
{
    ApplyColorScheme(4);
}

void FrontPanel::Menu_Blue_Click()
{
    ApplyColorScheme(kBlueScheme);
}

} // namespace lumodm
