#include "app/panel_program.h"

#include "app/command_line.h"
#include "app/panel_host.h"
#include "connect/connect_session.h"
#include "panel/front_panel.h"
#include "platform/checked_file.h"
#include "qt/connect_dialog.h"
#include "qt/main_window.h"
#include "qt/panel_fonts.h"
#include "qt/panel_icon.h"
#include "qt/panel_style.h"
#include "qt/qt_platform.h"
#include "qt/readings_window.h"
#include "qt/readings_window_kit.h"
#include "qt/window_capture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <iostream>
#include <memory>

namespace lumodm {

namespace {

// What a window just filled (a stored log, a tab shown) needs to paint.
constexpr int kPaintDelayMs = 500;

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

// The hidden screenshot mode ends once the image is written, or not.
void endAfterScreenshot(QtPlatform& platform, bool saved, const QString& file)
{
    if (!saved) {
        print(stderr, QStringLiteral("lumodm: cannot write %1\n").arg(clippedForMessage(file)));
    }
    platform.endProgram(saved ? 0 : 1);
}

QStringList rawArguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    return arguments;
}

// Qt's own options ("-platform offscreen", "-style fusion") start with a
// single dash; the program's all start with two.
bool mayHoldQtOptions(const QStringList& arguments)
{
    for (const QString& argument : arguments) {
        if (argument.startsWith(QLatin1Char('-')) && !argument.startsWith(QLatin1String("--"))) {
            return true;
        }
    }
    return false;
}

// --help, --version and a plainly bad line need no display: they are
// answered before the window toolkit starts (which fails without a screen).
bool answersAlone(int argc, char** argv, int* status)
{
    const QStringList arguments = rawArguments(argc, argv);
    const CommandLineParse early = parseCommandLine(Program::Panel, arguments);
    if (early.options.help) {
        print(stdout, commandLineHelp(Program::Panel));
        *status = 0;
        return true;
    }
    if (early.options.version) {
        print(stdout, versionText(Program::Panel) + QLatin1Char('\n'));
        *status = 0;
        return true;
    }
    if (!early.ok() && !mayHoldQtOptions(arguments)) {
        print(stderr, commandLineErrorText(Program::Panel, early.error) + QLatin1Char('\n'));
        *status = BadCommandLineStatus;
        return true;
    }
    return false;
}

// The panel, and the readings window beside it when it is open, in one
// image.
bool saveScreenshot(QWidget& panel, QWidget* readings, const QString& file)
{
    if (readings == nullptr || !readings->isVisible()) {
        return saveWidgetImage(panel, file);
    }
    // Drawn pixel for pixel, whatever the screen's scale.
    QImage left = panel.grab().toImage();
    QImage right = readings->grab().toImage();
    const int kGap = static_cast<int>(12 * left.devicePixelRatio());
    left.setDevicePixelRatio(1);
    right.setDevicePixelRatio(1);
    QImage both(left.width() + kGap + right.width(), std::max(left.height(), right.height()),
                QImage::Format_RGB32);
    both.fill(Qt::white);
    QPainter painter(&both);
    painter.drawImage(0, 0, left);
    painter.drawImage(left.width() + kGap, 0, right);
    painter.end();
    return both.save(file);
}

// --open: a stored log in a readings window alone, no bus and no panel.
// The hidden modes end once the whole log is in the window, drawn; else
// closing the window ends the program.
int showStoredLog(QtPlatform& platform, const CommandLine& line, const QElapsedTimer& sinceStart)
{
    const ProgramExtras& extras = line.extras;
    QWidget* window = nullptr;
    const auto loaded = [&](const StoredLogCount& count) {
        print(stderr, QStringLiteral("lumodm: %1: %2\n")
                          .arg(clippedForMessage(line.openFile), storedLogCountText(count)));
        if (!count.error.isEmpty()) {
            print(stderr, QStringLiteral("lumodm: %1\n").arg(count.error));
        }
        if (extras.quitWhenUp) {
            print(
                stderr,
                QStringLiteral("lumodm: log shown %1 ms after start\n").arg(sinceStart.elapsed()));
            platform.endProgram(0);
        }
        if (!extras.screenshotFile.isEmpty()) {
            showTabNamed(*window, extras.screenshotTab);
            // After the window has painted what it shows.
            QTimer::singleShot(kPaintDelayMs, window, [&] {
                endAfterScreenshot(platform, saveWidgetImage(*window, extras.screenshotFile),
                                   extras.screenshotFile);
            });
        }
    };
    QString error;
    const ReadingsWindowKit* kit = readingsWindowKit(&error);
    window = kit != nullptr ? kit->openStoredLog(platform, line.openFile, &error, loaded) : nullptr;
    if (window == nullptr) {
        print(stderr, QStringLiteral("lumodm: %1\n").arg(error));
        if (extras.screenshotFile.isEmpty() && !extras.quitWhenUp) {
            platform.messageBox(error, QStringLiteral("Open Error"), MessageButtons::Ok,
                                MessageIcon::Stop);
        }
        return 1;
    }
    return QApplication::exec();
}

} // namespace

int runPanelProgram(int argc, char** argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    int status = 0;
    if (answersAlone(argc, argv, &status)) {
        return status;
    }

    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("lumodm"));
    QApplication::setWindowIcon(panelIcon());
    installPanelStyle();
    installPanelFonts();

    // Parsed again now that Qt has taken its own options off the line.
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const CommandLineParse line = parseCommandLine(Program::Panel, arguments);
    const ProgramExtras& extras = line.options.extras;
    if (!line.ok()) {
        print(stderr, commandLineErrorText(Program::Panel, line.error) + QLatin1Char('\n'));
        return BadCommandLineStatus;
    }
    if (!extras.iconFolder.isEmpty()) {
        return writeIconFiles(extras.iconFolder) ? 0 : 1;
    }

    QtPlatform platform;
    if (!line.options.openFile.isEmpty()) {
        platform.endProgram(showStoredLog(platform, line.options, sinceStart));
    }
    QTemporaryDir scratch;

    ConnectSession session(connectionFile(), programName(Program::Panel), std::cerr);
    bool cancelled = false;
    DriverCreation creation = session.open(line.options.driver, namesBus(line.options.driver),
                                           line.options.choose, runConnectDialog, &cancelled);
    if (cancelled) {
        return 1;
    }
    if (!creation.ok()) {
        platform.messageBox(creation.errorText, creation.errorTitle, MessageButtons::Ok,
                            MessageIcon::Stop);
        return 1;
    }

    PanelHost::Options options;
    options.line = &line.options;
    options.meters = creation.meters;
    options.hiddenMode = !extras.screenshotFile.isEmpty() || extras.quitWhenUp;
    options.scratch = scratch.path();
    PanelHost host(platform, *creation.driver, session, options);
    platform.setShutdownHook([&host, &scratch] {
        host.shutDown();
        scratch.remove();
    });

    if (extras.quitWhenUp) {
        QObject::connect(&host, &PanelHost::allUp, &host, [&] {
            print(stderr,
                  QStringLiteral("lumodm: panel up %1 ms after start\n").arg(sinceStart.elapsed()));
            platform.endProgram(0);
        });
    } else if (!extras.screenshotFile.isEmpty()) {
        QObject::connect(&host, &PanelHost::allUp, &host, [&] {
            MainWindow& window = *host.firstWindow();
            // The screenshot shows the panel running, after a few readings.
            QTimer::singleShot(extras.screenshotDelayMs, &window, [&] {
                // A tab asked for is shown first and given time to draw.
                QWidget* readings = host.firstReadingsWindow();
                const bool tab = readings != nullptr && !extras.screenshotTab.isEmpty() &&
                                 showTabNamed(*readings, extras.screenshotTab);
                QTimer::singleShot(tab ? kPaintDelayMs : 0, &window, [&] {
                    endAfterScreenshot(
                        platform,
                        saveScreenshot(window, host.firstReadingsWindow(), extras.screenshotFile),
                        extras.screenshotFile);
                });
            });
            window.forwardHandler(&FrontPanel::Button_Run_Click);
        });
    }

    host.start();
    platform.endProgram(application.exec());
}

} // namespace lumodm
