#include "controls/form1.h"

namespace lumodm {

namespace {

FontSpec arial(float points, int weight = 400)
{
    return FontSpec{QStringLiteral("Arial"), points, weight, false};
}

void place(Label& label, const QString& caption, Geometry geometry, FontSpec font,
           Alignment alignment, int tabIndex)
{
    label.caption = caption;
    label.geometry = geometry;
    label.font = std::move(font);
    label.alignment = alignment;
    label.tabIndex = tabIndex;
}

void place(Button& button, const QString& caption, Geometry geometry, bool enabled, int tabIndex)
{
    button.caption = caption;
    button.geometry = geometry;
    button.enabled = enabled;
    button.tabIndex = tabIndex;
}

MenuItem menu(const QString& caption, bool enabled = true)
{
    MenuItem item;
    item.caption = caption;
    item.enabled = enabled;
    return item;
}

} // namespace

Form1::Form1()
{
    Combo_Range.editable = true;
    Combo_Range.visible = false;
    Combo_Range.geometry = {1260, 180, 1035, 315};
    Combo_Range.tabIndex = 12;

    place(Button_Stop, QStringLiteral("&Stop"), {1740, 2220, 1515, 315}, false, 4);
    place(Button_Run, QStringLiteral("&Run"), {120, 2220, 1515, 315}, true, 3);
    place(Button_Refresh, QStringLiteral("Ref&resh"), {2340, 1740, 915, 315}, true, 0);
    place(Button_Apply, QStringLiteral("&Apply"), {1320, 1740, 915, 315}, false, 2);

    Combo_Mode.geometry = {120, 1740, 1095, 315};
    Combo_Mode.tabIndex = 1;

    place(Label_Range, QStringLiteral("Auto"), {2385, 240, 720, 210}, arial(8.25F),
          Alignment::Right, 11);
    place(Label_RunStop, QStringLiteral("Stopped"), {240, 240, 765, 210}, arial(8.25F),
          Alignment::Left, 10);
    place(Label_Prefix, QStringLiteral("MOhm"), {2205, 1200, 750, 270}, arial(12.0F, 700),
          Alignment::Right, 9);
    place(Label_RefreshRate, QStringLiteral("0.5 sec"), {1560, 1260, 540, 210}, arial(8.25F),
          Alignment::Left, 8);
    place(Label_Func, QStringLiteral("Voltage AC dBm"), {240, 1260, 1185, 210}, arial(8.25F),
          Alignment::Left, 7);
    place(Label_ReadOut, QStringLiteral("-------"), {360, 600, 2655, 555},
          FontSpec{QStringLiteral("Segment7"), 32.25F, 600, true}, Alignment::Right, 6);
    place(Label_ROBackground, QString(), {120, 120, 3135, 1455}, FontSpec{}, Alignment::Left, 5);
    Label_ROBackground.border = true;

    Line1[0] = Line{0, 0, 3480, 0, Color::fromRgb(0x808080)};
    Line1[1] = Line{0, 10, 3480, 10, Color::fromRgb(0xFFFFFF)};

    Menu_File = menu(QStringLiteral("&File"));
    Menu_Exit = menu(QStringLiteral("E&xit"));
    Menu_Utilities = menu(QStringLiteral("&Utilities"));
    Menu_Apply = menu(QStringLiteral("&Apply (Send settings to DM)"), false);
    Menu_Refresh = menu(QStringLiteral("&Refresh (Input settimgs from DM)"));
    Menu_U1 = menu(QStringLiteral("-"));
    Menu_DisplayColor = menu(QStringLiteral("&Display Color"));
    Menu_System = menu(QStringLiteral("&System"));
    Menu_BW = menu(QStringLiteral("Black &on White"));
    Menu_RevBW = menu(QStringLiteral("&White on Black"));
    Menu_Red = menu(QStringLiteral("&Red"));
    Menu_Green = menu(QStringLiteral("&Green"));
    Menu_Blue = menu(QStringLiteral("&Blue"));
    Menu_UpdtaeRate = menu(QStringLiteral("&Update Rate"));
    Menu_RR_HalfSec = menu(QStringLiteral("&0.5 sec"));
    Menu_RR_OneSec = menu(QStringLiteral("&1 sec"));
    Menu_RR_TwoSec = menu(QStringLiteral("&2 sec"));
    Menu_RR_FiveSec = menu(QStringLiteral("&5 sec"));
    Menu_RR_TenSec = menu(QStringLiteral("&10 sec"));
    Menu_ConfirmFunctionChange = menu(QStringLiteral("&Confirm Function Change"));
    Menu_U2 = menu(QStringLiteral("-"));
    Menu_Init = menu(QStringLiteral("&Initialize DM"));
    Menu_About = menu(QStringLiteral("&About"));
}

void Form1::applyDm5120WideLayout()
{
    outerWidth = 4200;
    Label_ROBackground.geometry.width = 3855;
    Label_ReadOut.geometry.width = 3375;
    Label_ReadOut.caption = QStringLiteral("---------");
    Label_Prefix.geometry.left = 2925;
    Button_Apply.geometry.width = 1275;
    Button_Refresh.geometry.left = 2700;
    Button_Refresh.geometry.width = 1275;
    Button_Run.geometry.width = 1875;
    Button_Stop.geometry.left = 2100;
    Button_Stop.geometry.width = 1875;
}

void Form1::copyModelFrom(const Form1& other)
{
    std::function<void()> modeClick = std::move(Combo_Mode.onClick);
    std::function<void()> rangeClick = std::move(Combo_Range.onClick);
    *this = other;
    Combo_Mode.onClick = std::move(modeClick);
    Combo_Range.onClick = std::move(rangeClick);
}

} // namespace lumodm
