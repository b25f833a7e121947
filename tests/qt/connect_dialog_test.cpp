#include "qt/connect_dialog.h"
#include "qt/panel_style.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

template <typename T> T* withText(QWidget* dialog, const QString& text)
{
    const QList<T*> all = dialog->findChildren<T*>();
    const auto it = std::find_if(all.begin(), all.end(), [&](T* c) { return c->text() == text; });
    return it == all.end() ? nullptr : *it;
}

// What the user sees and does: the remembered adapter preselected, the last
// problem as plain text, a choice that names no bus kept open with the
// reason, then the network adapter the user typed, for any address.
void drive(QWidget* dialog, const QString& problem)
{
    EXPECT_EQ(dialog->windowTitle(), "LumoDM: Connect");
    const auto field = [dialog](const char* name) -> QWidget* {
        const QLabel* label = withText<QLabel>(dialog, QLatin1String(name));
        return label ? label->buddy() : nullptr;
    };
    auto* port = qobject_cast<QComboBox*>(field("Port:")); // the serial one comes first
    auto* kind = qobject_cast<QComboBox*>(field("Adapter:"));
    auto* address = qobject_cast<QSpinBox*>(field("Meter address:"));
    auto* host = qobject_cast<QLineEdit*>(field("Host:"));
    auto* connect = withText<QPushButton>(dialog, "Connect");
    ASSERT_TRUE(port && kind && address && host && connect);
    EXPECT_EQ(withText<QLabel>(dialog, problem)->textFormat(), Qt::PlainText);
    // A long problem wraps: the dialog stays within the screen.
    EXPECT_LE(dialog->width(), dialog->screen()->availableGeometry().width());
    EXPECT_TRUE(withText<QLabel>(dialog, "libgpib.so.0, libni4882.so") &&
                withText<QLabel>(dialog, "libgpib.so.0: not found"));
    EXPECT_TRUE(withText<QRadioButton>(dialog, "\"++\" adapter on a serial port")->isChecked());
    EXPECT_EQ(port->currentText(), "/dev/ttyACM0: Uno (looks like an AR488)");
    EXPECT_EQ(kind->currentText(), "AR488");
    EXPECT_EQ(address->value(), 12);
    EXPECT_FALSE(host->isEnabled());

    QTest::mouseClick(withText<QRadioButton>(dialog, "Prologix GPIB-ETHERNET adapter"),
                      Qt::LeftButton);
    address->setValue(0); // the first meter that answers
    EXPECT_EQ(address->text(), "any");
    QTest::mouseClick(connect, Qt::LeftButton);
    EXPECT_TRUE(dialog->isVisible() &&
                withText<QLabel>(dialog, "Enter the adapter's host name or address."));
    QTest::keyClicks(host, "bench-7");
    QTest::mouseClick(connect, Qt::LeftButton);
}

TEST(ConnectDialog, ShowsTheModelAndGivesTheConnectionChosen)
{
    Connection remembered;
    remembered.driver.meters.addresses = {12};
    remembered.driver.kind = DriverSpec::Kind::Ar488;
    remembered.driver.adapter = QStringLiteral("/dev/ttyACM0");
    ConnectModel model({{"libgpib.so.0", "libni4882.so"}, false, "libgpib.so.0: not found"},
                       {{"/dev/ttyUSB0", "FT232R", AdapterGuess::Prologix},
                        {"/dev/ttyACM0", "Uno", AdapterGuess::Ar488}},
                       remembered);
    model.problem = QStringLiteral("<b>/dev/ttyACM0</b> did not answer. ").repeated(5);
    QTimer::singleShot(0, [&model] {
        QWidget* dialog = QApplication::activeModalWidget();
        drive(dialog, model.problem);
        dialog->close(); // Cancel, unless the choice above closed it
    });
    const std::optional<Connection> chosen = runConnectDialog(model);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->driver.kind, DriverSpec::Kind::Prologix);
    EXPECT_EQ(chosen->driver.adapter, "bench-7:1234");
    EXPECT_EQ(chosen->driver.meters.text(), "");
}

// Nothing likely to connect: Connect waits for a bus to be chosen. Under
// Fusion on a dark palette an unchosen bus's ring shows as on a light one.
TEST(ConnectDialog, WaitsForABusChosenOnButtonsThatShowOnADarkPalette)
{
    ConnectModel model({}, {{"/dev/ttyS0", "", AdapterGuess::Unknown}}, std::nullopt);
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        auto* connect = withText<QPushButton>(dialog, "Connect");
        EXPECT_FALSE(connect->isEnabled());
        QTest::mouseClick(withText<QRadioButton>(dialog, "Simulated meter (no instrument)"),
                          Qt::LeftButton);
        QTest::mouseClick(connect, Qt::LeftButton);
        dialog->close(); // Cancel, unless Connect closed it
    });
    const std::optional<Connection> chosen = runConnectDialog(model);
    EXPECT_TRUE(chosen && chosen->driver.kind == DriverSpec::Kind::Simulated);

    PanelStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
    QRadioButton radio; // no text: all that is drawn is the button
    radio.setStyle(&style);
    radio.setPalette(QPalette(QColor(53, 53, 53))); // white text, a black field
    const QImage image = radio.grab().toImage();
    int strongest = 0;
    for (int i = 0; i < image.width() * image.height(); ++i) {
        strongest = std::max(strongest, qGray(image.pixel(i % image.width(), i / image.width())));
    }
    EXPECT_GE(strongest, 53 + 60);
}

} // namespace
} // namespace lumodm::testing
