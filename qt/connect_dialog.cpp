#include "qt/connect_dialog.h"

#include "platform/checked_file.h"
#include "qt/panel_style.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace lumodm {

namespace {

QString guessText(AdapterGuess guess)
{
    switch (guess) {
    case AdapterGuess::Prologix:
        return QStringLiteral(" (looks like a Prologix)");
    case AdapterGuess::Ar488:
        return QStringLiteral(" (looks like an AR488)");
    case AdapterGuess::Unknown:
        break;
    }
    return {};
}

QLabel* plainLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText); // system texts are never markup
    label->setWordWrap(true);
    return label;
}

} // namespace

std::optional<Connection> runConnectDialog(ConnectModel& model)
{
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("LumoDM: Connect"));
    auto* layout = new QVBoxLayout(&dialog);
    if (!model.problem.isEmpty()) {
        QLabel* problem = plainLabel(model.problem, &dialog);
        // A dark red on a light window, a light one on a dark window.
        QPalette red = problem->palette();
        red.setColor(QPalette::WindowText,
                     isDarkPalette(red) ? QColor(0xff, 0x8a, 0x80) : QColor(0xb0, 0x00, 0x00));
        problem->setPalette(red);
        layout->addWidget(problem);
    }
    auto* buses = new QButtonGroup(&dialog);
    const auto section = [&](ConnectModel::Bus bus, const QString& title) {
        auto* radio = new QRadioButton(title, &dialog);
        buses->addButton(radio, static_cast<int>(bus));
        radio->setChecked(model.bus == bus);
        auto* box = new QGroupBox(&dialog);
        auto* form = new QFormLayout(box);
        layout->addWidget(radio);
        layout->addWidget(box);
        QObject::connect(radio, &QRadioButton::toggled, box, &QWidget::setEnabled);
        box->setEnabled(model.bus == bus);
        return form;
    };

    const LibraryReport& library = model.library();
    QFormLayout* board = section(ConnectModel::Bus::Board, QStringLiteral("GPIB board (board 0)"));
    board->addRow(QStringLiteral("Libraries:"),
                  plainLabel(clippedForMessage(library.names.join(QLatin1String(", "))), &dialog));
    board->addRow(QStringLiteral("Loaded:"),
                  plainLabel(library.loaded ? library.detail : QStringLiteral("none"), &dialog));
    if (!library.loaded) {
        QLabel* tried = plainLabel(library.detail, &dialog);
        tried->setWordWrap(false); // a wrapped label gets too little height in a form
        board->addRow(QStringLiteral("Tried:"), tried);
    }
    auto* libraryPath = new QLineEdit(model.libraryPath, &dialog);
    libraryPath->setPlaceholderText(QStringLiteral("another library: /usr/local/lib/libgpib.so"));
    board->addRow(QStringLiteral("Library:"), libraryPath);

    QFormLayout* serial = section(ConnectModel::Bus::SerialAdapter,
                                  QStringLiteral("\"++\" adapter on a serial port"));
    auto* port = new QComboBox(&dialog);
    for (const SerialPortOffer& offer : model.ports()) {
        // A remembered device is offered as it was written, however long:
        // the list is only as wide as a sensible name.
        port->addItem(clippedForMessage(
            offer.device +
            (offer.description.isEmpty() ? QString() : QStringLiteral(": ") + offer.description) +
            guessText(offer.guess)));
    }
    port->setCurrentIndex(model.portIndex);
    auto* kind = new QComboBox(&dialog);
    kind->addItems({QStringLiteral("Prologix GPIB-USB"), QStringLiteral("AR488")});
    kind->setCurrentIndex(model.ar488 ? 1 : 0);
    QObject::connect(port, qOverload<int>(&QComboBox::activated), kind, [&model, kind](int i) {
        const AdapterGuess guess = model.ports().value(i).guess;
        if (guess != AdapterGuess::Unknown) {
            kind->setCurrentIndex(guess == AdapterGuess::Ar488 ? 1 : 0);
        }
    });
    serial->addRow(QStringLiteral("Port:"), port);
    serial->addRow(QStringLiteral("Adapter:"), kind);

    QFormLayout* network = section(ConnectModel::Bus::NetworkAdapter,
                                   QStringLiteral("Prologix GPIB-ETHERNET adapter"));
    auto* host = new QLineEdit(model.host, &dialog);
    auto* tcpPort = new QSpinBox(&dialog);
    tcpPort->setRange(1, 65535);
    tcpPort->setValue(model.tcpPort);
    network->addRow(QStringLiteral("Host:"), host);
    network->addRow(QStringLiteral("Port:"), tcpPort);

    QFormLayout* simulator =
        section(ConnectModel::Bus::Simulator, QStringLiteral("Simulated meter (no instrument)"));
    auto* simModel = new QComboBox(&dialog);
    simModel->addItems(ConnectModel::simulatedModels());
    simModel->setCurrentIndex(model.simulatedModel);
    simulator->addRow(QStringLiteral("Model:"), simModel);

    auto* address = new QSpinBox(&dialog);
    address->setRange(0, 30);
    address->setSpecialValueText(QStringLiteral("any"));
    address->setValue(model.address);
    auto* every = new QCheckBox(QStringLiteral("every meter on this bus"), &dialog);
    every->setObjectName(QStringLiteral("EveryMeter"));
    every->setChecked(model.everyMeter);
    // Every meter is looked for at every address.
    address->setEnabled(!model.everyMeter);
    QObject::connect(every, &QCheckBox::toggled, address, &QWidget::setDisabled);
    auto* common = new QFormLayout;
    common->addRow(QStringLiteral("Meter address:"), address);
    common->addRow(QString(), every);
    layout->addLayout(common);

    QLabel* error = plainLabel(QString(), &dialog);
    layout->addWidget(error);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QPushButton* connect = buttons->button(QDialogButtonBox::Ok);
    connect->setText(QStringLiteral("Connect"));
    // Nothing to connect until a bus is chosen: Enter waits for no adapter.
    connect->setEnabled(model.bus != ConnectModel::Bus::None);
    QObject::connect(buses, &QButtonGroup::idToggled, connect,
                     [connect] { connect->setEnabled(true); });
    layout->addWidget(buttons);

    std::optional<Connection> chosen;
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        model.bus = static_cast<ConnectModel::Bus>(buses->checkedId());
        model.libraryPath = libraryPath->text();
        model.portIndex = port->currentIndex();
        model.ar488 = kind->currentIndex() == 1;
        model.host = host->text();
        model.tcpPort = tcpPort->value();
        model.simulatedModel = simModel->currentIndex();
        model.address = address->value();
        model.everyMeter = every->isChecked();
        QString why;
        chosen = model.connection(&why);
        if (chosen) {
            dialog.accept();
        } else {
            error->setText(why);
        }
    });
    return dialog.exec() == QDialog::Accepted ? chosen : std::nullopt;
}

} // namespace lumodm
