#include "tests/support/panel_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace lumodm::testing {
namespace {

// Start-up names the window after the meter; activation, once, fills the
// function list, or without a supported meter ends the program.
TEST(Startup, IdentifiesTheMeterOrEndsAtActivation)
{
    const struct
    {
        const char* bus; // a simulated bus, or the "ID?" answer of another instrument
        const char* name;
        const char* functions;
    } cases[] = {
        {"DM5010@16", "DM5010", "DCV,ACV,OHMS,DIODE,ACDC,DBM DCV,DBM ACV"},
        {"DM5110@3", "DM5110", "DCV,ACV,OHMS,DCA,ACA,DBM,DBV"},
        {"DM5120@30", "DM5120", "DCV,ACV,OHMS,DCA,ACA,DB ACV,DB ACA"},
        {"DM5120@14,DM5010@12", "DM5010", "DCV,ACV,OHMS,DIODE,ACDC,DBM DCV,DBM ACV"},
        {"ID TEK/dm5110,V79.1", "dm5110", ""},
        {"ID TEK/DM5010", "", ""}, // no comma: no designation
        {"ID TEK/DM6500,V1", "DM6500", ""},
        {"ID TEK/DM5110 ,V1", "DM5110 ", ""},
        {"ID X,DM/5010", "", ""}, // the "," before the "/"
        {"", "", ""}, // nothing on the bus
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bus);
        const QString spec = QString::fromLatin1(c.bus);
        PanelFixture f(spec.startsWith(QLatin1String("DM")) ? spec : QString());
        if (spec.startsWith(QLatin1String("ID"))) {
            f.bus->addListener(12, spec.toLatin1());
        }
        f.panel.Form_Load();
        const QString name = QString::fromLatin1(c.name);
        const bool wide = name == QLatin1String("DM5120");
        EXPECT_EQ(f.form.caption, QStringLiteral("Lumo %1, v1.1/RV").arg(name));
        EXPECT_EQ(f.form.Menu_Init.caption, QStringLiteral("Initialize %1").arg(name));
        EXPECT_EQ(f.form.outerWidth, wide ? 4200 : 3480);
        EXPECT_EQ(f.form.Label_ReadOut.caption, QString(wide ? 9 : 7, QLatin1Char('-')));
        EXPECT_EQ(f.helper.DeviceTimeout, 12); // 3 s
        EXPECT_TRUE(f.bus->remoteEnabled());
        f.play(QStringLiteral("activate, activate"));
        EXPECT_EQ(f.form.Combo_Mode.items().join(','), QString::fromLatin1(c.functions));
        EXPECT_EQ(f.received().count("FUNCT?"), c.functions[0] ? 1 : 0);
        EXPECT_EQ(f.titles(), QString::fromLatin1(c.functions[0] ? "" : "Error|exit 1"));
    }
}

// The stored settings, applied quietly at activation and written back, all
// three in order, only after a change. Shown then: the scheme and its checked
// item, the interval and its checked item, the rate label, the confirmation.
TEST(Activation, StoredSettingsReadQuietlyAndWrittenOnAChange)
{
    const struct
    {
        const char* stored; // "Display Color|Refresh Rate|Confirm Function Change", "" absent
        const char* change;
        const char* shown;
        const char* written;
    } cases[] = {
        {"||", "", "0 0|1 1|1 sec|1", ""},
        {"3|.5|true", "rr10", "3 3|10 4|10 sec|0", "3|10|False"},
        {"9|0.25|True", "confirm, confirm", "9 -1|0.25 -1|0.5 sec|1", "9|.25|True"},
        {"3, 1|2,5|", "rr5", "3 3|5 3|5 sec|1", "3|5|True"},
        {"2.5|3 sec|-1", "confirm", "2 2|3 -1|0.5 sec|1", "2|3|True"},
        {"3.5|-.5|False", "confirm", "4 4|-0.5 -1|0.5 sec|1", "4|-.5|True"},
        {"-1|.0001|", "confirm", "-1 -1|0.0001 -1|0.5 sec|0", "-1|.0001|False"},
        {"-32769|1e300|", "confirm", "0 0|3.40282e+38 -1|0.5 sec|0", "0|3.4028235E+38|False"},
        {"32767||", "rr2", "32767 -1|2 2|2 sec|1", "32767|2|True"},
        {"|1e7|", "confirm", "0 0|1e+07 -1|0.5 sec|0", "0|1E+07|False"},
        {"|1234567|", "confirm", "0 0|1.23457e+06 -1|0.5 sec|0", "0|1234567|False"},
        {"1e999|fast|", "confirm", "0 0|0 -1|0.5 sec|0", "0|0|False"},
        {"||", "rr.5", "0 0|0.5 0|0.5 sec|1", "0|.5|True"},
        {"|5|", "rr1", "0 0|1 1|1 sec|1", "0|1|True"},
    };
    const QString keys[] = {QStringLiteral("Display Color"), QStringLiteral("Refresh Rate"),
                            QStringLiteral("Confirm Function Change")};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        PanelFixture f;
        const QStringList stored = QString::fromLatin1(c.stored).split(QLatin1Char('|'));
        for (int i = 0; i < 3; ++i) {
            if (!stored[i].isEmpty()) {
                f.platform.settings.insert(QStringLiteral("LumoDM/Settings/") + keys[i], stored[i]);
            }
        }
        f.start();
        EXPECT_EQ(f.state().SettingsChanged, kFalse);
        f.play(QString::fromLatin1(c.change));
        const auto checked = [](std::initializer_list<const MenuItem*> m) {
            const auto* it = std::find_if(m.begin(), m.end(), std::mem_fn(&MenuItem::checked));
            return it == m.end() ? -1 : static_cast<int>(it - m.begin());
        };
        const Form1& w = f.form;
        EXPECT_EQ(QStringLiteral("%1 %2|%3 %4|%5|%6")
                      .arg(f.state().ColorScheme)
                      .arg(checked({&w.Menu_System, &w.Menu_BW, &w.Menu_RevBW, &w.Menu_Red,
                                    &w.Menu_Green, &w.Menu_Blue}))
                      .arg(static_cast<double>(f.state().RefreshInterval))
                      .arg(checked({&w.Menu_RR_HalfSec, &w.Menu_RR_OneSec, &w.Menu_RR_TwoSec,
                                    &w.Menu_RR_FiveSec, &w.Menu_RR_TenSec}))
                      .arg(w.Label_RefreshRate.caption)
                      .arg(w.Menu_ConfirmFunctionChange.checked ? 1 : 0),
                  QString::fromLatin1(c.shown));
        EXPECT_EQ(f.state().ConfirmFunctionChange != kFalse, w.Menu_ConfirmFunctionChange.checked);
        f.play(QStringLiteral("exit"));
        EXPECT_EQ(f.titles(), QStringLiteral("exit 0"));
        QStringList written;
        for (const QString& key : f.platform.settingWrites) {
            EXPECT_EQ(key, keys[written.size()]);
            written.append(f.storedSetting(key));
        }
        EXPECT_EQ(written.join(QLatin1Char('|')), QString::fromLatin1(c.written));
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
        {"", "", "No supported Digital Multimeter (DM5010, DM5110) found on the bus !\n\nProgram "
         "will terminate.", "Error", MessageButtons::Ok, MessageIcon::Stop},
        {"DM5010", "pick OHMS, apply", "This will change the function of the DM5010.\nCheck the "
         "connections and click OK to confirm the change.", "Function Change",
         MessageButtons::OkCancel, MessageIcon::Question},
        {"DM5110", "answer No, init", "This will restore the default settings of the DM5110.\n"
         "Are you sure ?", "Initialize", MessageButtons::YesNo, MessageIcon::Question},
        {"DM5010", "pick OHMS, answer No, runfor 1", "A Function change is pending.\nDo you want "
         "to Apply ?", "Apply change", MessageButtons::YesNo, MessageIcon::Question},
        {"DM5120", "at 0.5 meter ACV, runfor 30", "A mismatch between the program setting and the "
         "actual setting of the DM5120 has been detected.\n\nSelect Apply to reset the DM5120 to "
         "the program setting\n                                        or\nRefresh to import the "
         "DM5120 setting to the program", "Settings Error", MessageButtons::Ok, MessageIcon::Stop},
        {"DM5010", "about", nullptr, "About", MessageButtons::Ok, MessageIcon::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        PanelFixture f(QString::fromLatin1(c.sim));
        f.panel.Form_Load();
        f.play(QStringLiteral("activate, ") + QString::fromLatin1(c.events));
        ASSERT_FALSE(f.platform.messages().empty());
        const ShownMessage& box = f.platform.messages().front();
        EXPECT_EQ(box.text, c.text ? QString::fromLatin1(c.text) : FrontPanel::aboutText());
        EXPECT_EQ(box.title, QString::fromLatin1(c.title));
        EXPECT_EQ(box.buttons, c.buttons);
        EXPECT_EQ(box.icon, c.icon);
    }
    // Two plain lines naming the program and its version; no invented mailbox.
    const QStringList about = FrontPanel::aboutText().split(QLatin1Char('\n'));
    ASSERT_EQ(about.size(), 2);
    EXPECT_TRUE(about[0].startsWith(QStringLiteral("LumoDM " LUMODM_VERSION " ")));
    EXPECT_FALSE(FrontPanel::aboutText().contains(QLatin1Char('@')));
}

} // namespace
} // namespace lumodm::testing
