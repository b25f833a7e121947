// The kit of the readings window linked in: the module's, and the tests'.
#include "qt/readings_window.h"
#include "qt/readings_window_kit.h"
#include "qt/stored_log_window.h"

namespace lumodm {

namespace {

ReadingsWindow* make(PanelLink& panel, PlatformServices& platform)
{
    return new ReadingsWindow(panel, platform);
}

QWidget* widget(ReadingsWindow& window)
{
    return &window;
}

void setMeterName(ReadingsWindow& window, const QString& modelName, const QString& where)
{
    window.setMeterName(modelName, where);
}

void onToggleRequested(ReadingsWindow& window, QObject* context, std::function<void()> toggle)
{
    QObject::connect(&window, &ReadingsWindow::toggleRequested, context, std::move(toggle));
}

void setOtherMeters(ReadingsWindow& window, const QList<QPair<int, QString>>& meters)
{
    window.setOtherMeters(meters);
}

void otherReading(ReadingsWindow& window, const Reading& reading)
{
    window.otherReading(reading);
}

const ReadingsWindowKit kKit{&make,           &widget,       &setMeterName, &onToggleRequested,
                             &setOtherMeters, &otherReading, &openStoredLog};

} // namespace

const ReadingsWindowKit* linkedReadingsWindowKit(QString*)
{
    return &kKit;
}

} // namespace lumodm
