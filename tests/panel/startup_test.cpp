#include "tests/support/panel_fixture.h"

#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

TEST(Startup, IdentifiesTheMeterAndNamesTheWindow)
{
    for (const char* spec : {"DM5010@16", "DM5110@3", "DM5120@30"}) {
        SCOPED_TRACE(spec);
        const QString name = QString::fromLatin1(spec).left(6);
        PanelFixture f(QString::fromLatin1(spec));
        f.panel.Form_Load();

        EXPECT_EQ(f.state().SettingsAppName, QStringLiteral("LumoDM"));
        EXPECT_NE(f.state().DeviceHandle, 0);
        EXPECT_EQ(f.state().ModelName, name);
        EXPECT_EQ(f.form.caption, QStringLiteral("Lumo %1, v1.1/RV").arg(name));
        EXPECT_EQ(f.form.Menu_Init.caption, QStringLiteral("Initialize %1").arg(name));
        // The meter's descriptor waits 3 s (code 12) for answers.
        EXPECT_EQ(f.helper.DeviceTimeout, 12);
        EXPECT_TRUE(f.platform.messages().empty());
        EXPECT_TRUE(f.bus->remoteEnabled());

        const bool wide = name == QLatin1String("DM5120");
        EXPECT_EQ(f.state().ModelCode, wide ? 3 : name == QLatin1String("DM5110") ? 2 : 1);
        EXPECT_EQ(f.form.outerWidth, wide ? 4200 : 3480);
        EXPECT_EQ(f.form.Label_ReadOut.caption,
                  wide ? QStringLiteral("---------") : QStringLiteral("-------"));
    }
}

TEST(Startup, WithoutAMeterTheCaptionIsEmptyAndActivationEndsTheProgram)
{
    PanelFixture f(std::make_unique<SimulatedBus>());
    f.panel.Form_Load();
    EXPECT_EQ(f.state().DeviceHandle, 0);
    EXPECT_EQ(f.state().ModelCode, 0);
    EXPECT_EQ(f.form.caption, QStringLiteral("Lumo , v1.1/RV"));
    // Identification stays quiet; activation tells the user.
    EXPECT_TRUE(f.platform.messages().empty());

    try {
        f.panel.Form_Activate();
        FAIL() << "activation went on without a meter";
    } catch (const ProgramEnded& end) {
        EXPECT_NE(end.exitStatus, 0);
    }
    ASSERT_EQ(f.platform.messages().size(), 1U);
    const ShownMessage& box = f.platform.messages().front();
    EXPECT_EQ(box.text, QStringLiteral("No supported Digital Multimeter (DM5010, DM5110) found on "
                                       "the bus !\n\nProgram will terminate."));
    EXPECT_EQ(box.title, QStringLiteral("Error"));
    EXPECT_EQ(box.buttons, MessageButtons::Ok);
    EXPECT_EQ(box.icon, MessageIcon::Stop);
    EXPECT_TRUE(f.platform.settingWrites.empty());
    EXPECT_EQ(f.form.Combo_Mode.listCount(), 0);
}

TEST(Startup, UnsupportedIdentificationsEndTheProgramAtActivation)
{
    const struct
    {
        const char* answer;
        const char* modelName;
    } cases[] = {
        {"ID TEK/dm5110,V79.1", "dm5110"}, // letter case counts
        {"ID TEK/DM5010", ""},             // no comma: no designation
        {"ID TEK/DM6500,V1", "DM6500"},
    };
    for (const auto& c : cases) {
        auto bus = std::make_unique<SimulatedBus>();
        bus->addListener(12, QByteArray(c.answer));
        SCOPED_TRACE(c.answer);
        PanelFixture f(std::move(bus));
        f.panel.Form_Load();
        EXPECT_NE(f.state().DeviceHandle, 0);
        EXPECT_EQ(f.state().ModelName, QString::fromLatin1(c.modelName));
        EXPECT_EQ(f.state().ModelCode, 0);
        EXPECT_EQ(f.form.outerWidth, 3480);
        EXPECT_THROW(f.panel.Form_Activate(), ProgramEnded);
        EXPECT_EQ(f.platform.messages().back().title, QStringLiteral("Error"));
    }
}

} // namespace
} // namespace lumodm::testing
