#include "qt/connect_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

template <typename T> T* childWithText(QDialog* dialog, const QString& text)
{
    for (T* child : dialog->findChildren<T*>()) {
        if (child->text() == text) {
            return child;
        }
    }
    return nullptr;
}

// What the user sees and does: the remembered adapter preselected, the last
// problem as plain text, a choice that names no bus kept open with the
// reason, then the network adapter the user typed.
void drive(QDialog* dialog, const ConnectModel& model)
{
    EXPECT_EQ(dialog->windowTitle(), "LumoDM: Connect");
    const auto label = [dialog](const QString& text) {
        return childWithText<QLabel>(dialog, text);
    };
    const auto field = [label](const char* name) -> QWidget* {
        const QLabel* l = label(QLatin1String(name));
        return l ? l->buddy() : nullptr;
    };
    auto* port = qobject_cast<QComboBox*>(field("Port:")); // the serial one comes first
    auto* kind = qobject_cast<QComboBox*>(field("Adapter:"));
    auto* address = qobject_cast<QSpinBox*>(field("Meter address:"));
    auto* host = qobject_cast<QLineEdit*>(field("Host:"));
    auto* network = childWithText<QRadioButton>(dialog, "Prologix GPIB-ETHERNET adapter");
    ASSERT_TRUE(port && kind && address && host && network && field("Model:"));
    EXPECT_EQ(label(model.problem)->textFormat(), Qt::PlainText);
    EXPECT_TRUE(label("libgpib.so.0, libni4882.so") && label("libgpib.so.0: not found"));
    EXPECT_TRUE(
        childWithText<QRadioButton>(dialog, "\"++\" adapter on a serial port")->isChecked());
    EXPECT_EQ(port->currentText(), "/dev/ttyACM0: Uno (looks like an AR488)");
    EXPECT_EQ(kind->currentText(), "AR488");
    EXPECT_EQ(address->value(), 12);
    EXPECT_FALSE(field("Model:")->isEnabled() || host->isEnabled());

    QPushButton* connect = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    QTest::mouseClick(network, Qt::LeftButton);
    QTest::mouseClick(connect, Qt::LeftButton);
    EXPECT_TRUE(dialog->isVisible() && label("Enter the adapter's host name or address."));
    QTest::keyClicks(host, "bench-7");
    QTest::mouseClick(connect, Qt::LeftButton);
}

TEST(ConnectDialog, ShowsTheModelAndGivesTheConnectionChosen)
{
    Connection remembered;
    remembered.driver.kind = DriverSpec::Kind::Ar488;
    remembered.driver.adapter = QStringLiteral("/dev/ttyACM0");
    remembered.address = 12;
    ConnectModel model({{"libgpib.so.0", "libni4882.so"}, false, "libgpib.so.0: not found"},
                       {{"/dev/ttyUSB0", "FT232R", AdapterGuess::Prologix},
                        {"/dev/ttyACM0", "Uno", AdapterGuess::Ar488}},
                       remembered);
    model.problem = QStringLiteral("<b>/dev/ttyACM0</b> did not answer");
    QTimer::singleShot(0, [&model] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        drive(dialog, model);
        if (dialog->isVisible()) {
            dialog->reject(); // a failure above must not leave the test waiting
        }
    });
    const std::optional<Connection> chosen = runConnectDialog(model);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->driver.kind, DriverSpec::Kind::Prologix);
    EXPECT_EQ(chosen->driver.adapter, "bench-7:1234");
    EXPECT_EQ(chosen->address, 12);
}

} // namespace
} // namespace lumodm::testing
