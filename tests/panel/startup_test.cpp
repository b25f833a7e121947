#include "tests/support/panel_fixture.h"

#include <gtest/gtest.h>

#include <limits>

namespace lumodm::testing {
namespace {

// Start-up names the window after the meter found and activation fills the
// function list; without a supported meter activation ends the program.
TEST(Startup, IdentifiesTheMeterOrEndsAtActivation)
{
    const struct
    {
        const char* bus; // a simulated bus, or "ID?" answers: one other instrument
        const char* name;
        const char* functions;
    } cases[] = {
        {"DM5010@16", "DM5010", "DCV,ACV,OHMS,DIODE,ACDC,DBM DCV,DBM ACV"},
        {"DM5110@3", "DM5110", "DCV,ACV,OHMS,DCA,ACA,DBM,DBV"},
        {"DM5120@30", "DM5120", "DCV,ACV,OHMS,DCA,ACA,DB ACV,DB ACA"},
        {"DM5120@14,DM5010@12", "DM5010", "DCV,ACV,OHMS,DIODE,ACDC,DBM DCV,DBM ACV"},
        {"ID TEK/dm5110,V79.1", "dm5110", nullptr},
        {"ID TEK/DM5010", "", nullptr}, // no comma: no designation
        {"ID TEK/DM6500,V1", "DM6500", nullptr},
        {"", "", nullptr}, // nothing on the bus
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bus);
        const QString spec = QString::fromLatin1(c.bus);
        auto bus = std::make_unique<SimulatedBus>();
        if (spec.startsWith(QLatin1String("ID"))) {
            bus->addListener(12, spec.toLatin1());
        }
        auto f = spec.startsWith(QLatin1String("DM"))
                     ? std::make_unique<PanelFixture>(spec)
                     : std::make_unique<PanelFixture>(std::move(bus));
        f->panel.Form_Load();
        const QString name = QString::fromLatin1(c.name);
        const bool wide = name == QLatin1String("DM5120");
        EXPECT_EQ(f->state().SettingsAppName, QStringLiteral("LumoDM"));
        EXPECT_EQ(f->form.caption, QStringLiteral("Lumo %1, v1.1/RV").arg(name));
        EXPECT_EQ(f->form.Menu_Init.caption, QStringLiteral("Initialize %1").arg(name));
        EXPECT_EQ(f->form.outerWidth, wide ? 4200 : 3480);
        EXPECT_EQ(f->form.Label_ReadOut.caption, QString(wide ? 9 : 7, QLatin1Char('-')));
        EXPECT_EQ(f->helper.DeviceTimeout, 12); // 3 s
        EXPECT_TRUE(f->bus->remoteEnabled());
        EXPECT_EQ(f->state().DeviceHandle != 0, !spec.isEmpty());
        EXPECT_TRUE(f->platform.messages().empty());
        if (c.functions) {
            f->panel.Form_Activate();
            f->clearReceived();
            f->panel.Form_Activate(); // sets up only once
            EXPECT_EQ(f->form.Combo_Mode.items().join(QLatin1Char(',')),
                      QString::fromLatin1(c.functions));
            EXPECT_TRUE(f->received().isEmpty());
            continue;
        }
        EXPECT_THROW(f->panel.Form_Activate(), ProgramEnded);
        ASSERT_EQ(f->platform.messages().size(), 1U);
        const ShownMessage& box = f->platform.messages().front();
        EXPECT_EQ(box.text, QStringLiteral("No supported Digital Multimeter (DM5010, DM5110) found "
                                           "on the bus !\n\nProgram will terminate."));
        EXPECT_EQ(box.title, QStringLiteral("Error"));
        EXPECT_EQ(box.buttons, MessageButtons::Ok);
        EXPECT_EQ(box.icon, MessageIcon::Stop);
        EXPECT_EQ(f->form.Combo_Mode.listCount(), 0);
        EXPECT_TRUE(f->platform.settingWrites.empty());
    }
}

// The stored settings are applied quietly at activation and written back,
// all three in order, only after a change.
TEST(Activation, StoredSettingsReadQuietlyAndWrittenOnAChange)
{
    const float kMax = std::numeric_limits<float>::max();
    const struct
    {
        const char* color; // stored texts, nullptr when absent
        const char* rate;
        const char* confirm;
        const char* change;
        std::int16_t scheme;
        float interval;
        const char* label;
        bool confirmOn;
        const char* written;
    } cases[] = {
        {nullptr, nullptr, nullptr, "", 0, 1.0F, "1 sec", true, ""},
        {"3", ".5", "true", "system", 3, 0.5F, "0.5 sec", false, "0|.5|False"},
        {"9", "0.25", "True", "confirm, confirm", 9, 0.25F, "0.5 sec", true, "9|.25|True"},
        {"3, 1", "2,5", nullptr, "rr10", 3, 2.0F, "2 sec", true, "3|10|True"},
        {"2.5", "3 sec", "-1", "blue", 2, 3.0F, "0.5 sec", false, "5|3|False"},
        {"3.5", "-.5", "False", "green", 4, -0.5F, "0.5 sec", false, "4|-.5|False"},
        {"-1", "1E+07", "True", "confirm", -1, 1e7F, "0.5 sec", true, "-1|1E+07|False"},
        {"32767", ".0001", "True", "confirm", 32767, 0.0001F, "0.5 sec", true, "32767|.0001|False"},
        {"-32769", "1e300", "True", "confirm", 0, kMax, "0.5 sec", true, "0|3.4028235E+38|False"},
        {"1e999", "fast", "True", "confirm", 0, 0.0F, "0.5 sec", true, "0|0|False"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.color ? c.color : "-") + " " + (c.rate ? c.rate : "-"));
        PanelFixture f;
        const char* const stored[] = {c.color, c.rate, c.confirm};
        const QString keys[] = {QStringLiteral("Display Color"), QStringLiteral("Refresh Rate"),
                                QStringLiteral("Confirm Function Change")};
        for (int i = 0; i < 3; ++i) {
            if (stored[i]) {
                f.storeSetting(keys[i], QString::fromLatin1(stored[i]));
            }
        }
        f.start();
        EXPECT_EQ(f.state().ColorScheme, c.scheme);
        const MenuItem* items[] = {&f.form.Menu_System, &f.form.Menu_BW,    &f.form.Menu_RevBW,
                                   &f.form.Menu_Red,    &f.form.Menu_Green, &f.form.Menu_Blue};
        for (int n = 0; n < 6; ++n) {
            EXPECT_EQ(items[n]->checked, n == c.scheme) << n;
        }
        EXPECT_EQ(f.state().RefreshInterval, c.interval);
        EXPECT_EQ(f.form.Label_RefreshRate.caption, QString::fromLatin1(c.label));
        EXPECT_EQ(f.form.Menu_ConfirmFunctionChange.checked, c.confirmOn);
        EXPECT_EQ(f.state().ConfirmFunctionChange, c.confirmOn ? kTrue : kFalse);
        EXPECT_EQ(f.state().SettingsChanged, kFalse);
        EXPECT_TRUE(f.platform.messages().empty());

        f.play(QString::fromLatin1(c.change) + QStringLiteral(", exit"));
        EXPECT_EQ(f.titles(), QStringLiteral("exit 0"));
        QStringList written;
        for (const QString& key : f.platform.settingWrites) {
            written.append(f.storedSetting(key));
        }
        EXPECT_EQ(written.join(QLatin1Char('|')), QString::fromLatin1(c.written));
        if (!written.isEmpty()) {
            EXPECT_EQ(f.platform.settingWrites,
                      (std::vector<QString>(std::begin(keys), std::end(keys))));
        }
    }
}

// Every box the panel asks or tells with, word for word.
TEST(Messages, TextsTitlesButtonsAndIcons)
{
    const struct
    {
        const char* sim;
        const char* events;
        const char* text;
        const char* title;
        MessageButtons buttons;
        MessageIcon icon;
    } cases[] = {
        {"DM5010", "pick OHMS, apply",
         "This will change the function of the DM5010.\nCheck the connections and click OK to "
         "confirm the change.",
         "Function Change", MessageButtons::OkCancel, MessageIcon::Question},
        {"DM5110", "answer No, init",
         "This will restore the default settings of the DM5110.\nAre you sure ?", "Initialize",
         MessageButtons::YesNo, MessageIcon::Question},
        {"DM5010", "pick OHMS, answer No, runfor 1",
         "A Function change is pending.\nDo you want to Apply ?", "Apply change",
         MessageButtons::YesNo, MessageIcon::Question},
        {"DM5120", "at 0.5 meter ACV, runfor 30",
         "A mismatch between the program setting and the actual setting of the DM5120 has been "
         "detected.\n\nSelect Apply to reset the DM5120 to the program setting\n"
         "                                        or\nRefresh to import the DM5120 setting to the "
         "program",
         "Settings Error", MessageButtons::Ok, MessageIcon::Stop},
        {"DM5010", "about", nullptr, "About", MessageButtons::Ok, MessageIcon::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        PanelFixture f(QString::fromLatin1(c.sim));
        f.start();
        f.play(QString::fromLatin1(c.events));
        ASSERT_FALSE(f.platform.messages().empty());
        const ShownMessage& box = f.platform.messages().front();
        EXPECT_EQ(box.text, c.text ? QString::fromLatin1(c.text) : FrontPanel::aboutText());
        EXPECT_EQ(box.title, QString::fromLatin1(c.title));
        EXPECT_EQ(box.buttons, c.buttons);
        EXPECT_EQ(box.icon, c.icon);
    }
    // The About box: two plain lines naming the program and its version,
    // and no invented mailbox.
    const QStringList about = FrontPanel::aboutText().split(QLatin1Char('\n'));
    ASSERT_EQ(about.size(), 2);
    EXPECT_TRUE(about[0].startsWith(QStringLiteral("LumoDM " LUMODM_VERSION " ")));
    EXPECT_FALSE(FrontPanel::aboutText().contains(QLatin1Char('@')));
}

// A scheme colours the readout area's labels (the panel behind it gets no
// text colour) and checks its item; only blue colours the range list, and
// it stays so; a number out of range changes no colour and checks nothing.
TEST(ColorSchemes, EachItemColoursTheReadoutArea)
{
    const char* const clicks[] = {"system", "bw", "revbw", "red", "green", "blue"};
    const std::uint32_t colours[][2] = {{0, 0},
                                        {0xFFFFFF, 0x000000},
                                        {0x000000, 0xFFFFFF},
                                        {0xFF8080, 0xC00000},
                                        {0x80FF80, 0x008000},
                                        {0x80FFFF, 0x0000FF}};
    PanelFixture f;
    f.start();
    const MenuItem* items[] = {&f.form.Menu_System, &f.form.Menu_BW,    &f.form.Menu_RevBW,
                               &f.form.Menu_Red,    &f.form.Menu_Green, &f.form.Menu_Blue};
    for (int n : {1, 2, 3, 4, 5, 0}) {
        SCOPED_TRACE(clicks[n]);
        f.play(QString::fromLatin1(clicks[n]));
        const Color bg = n > 0 ? Color::fromRgb(colours[n][0]) : Color::buttonFace();
        const Color fg = n > 0 ? Color::fromRgb(colours[n][1]) : Color::buttonText();
        for (const Label* label :
             {&f.form.Label_ReadOut, &f.form.Label_RunStop, &f.form.Label_Func,
              &f.form.Label_RefreshRate, &f.form.Label_Prefix, &f.form.Label_Range}) {
            EXPECT_EQ(label->background, bg);
            EXPECT_EQ(label->foreground, fg);
        }
        EXPECT_EQ(f.form.Label_ROBackground.background, bg);
        EXPECT_EQ(f.form.Label_ROBackground.foreground, Color::buttonText());
        for (int j = 0; j < 6; ++j) {
            EXPECT_EQ(items[j]->checked, j == n) << j;
        }
        EXPECT_EQ(f.state().ColorScheme, n);
        const bool blue = n == 5 || n == 0;
        EXPECT_EQ(f.form.Combo_Range.background,
                  blue ? Color::fromRgb(0x80FFFF) : Color::toolkitDefault());
        EXPECT_EQ(f.form.Combo_Range.foreground,
                  blue ? Color::fromRgb(0x0000FF) : Color::toolkitDefault());
        EXPECT_EQ(f.form.Combo_Mode.background, Color::toolkitDefault());
    }
    EXPECT_EQ(f.state().SettingsChanged, kTrue);
    f.panel.ApplyColorScheme(6);
    EXPECT_EQ(f.state().ColorScheme, 6);
    EXPECT_FALSE(f.form.Menu_System.checked);
    EXPECT_EQ(f.form.Label_ReadOut.background, Color::buttonFace());
}

} // namespace
} // namespace lumodm::testing
