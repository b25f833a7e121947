// The kit of the readings window linked in: the module's, and the tests'.
#include "qt/readings_window.h"
#include "qt/readings_window_kit.h"

namespace lumodm {

namespace {

ReadingsWindow* make(FrontPanel& panel, PlatformServices& platform)
{
    return new ReadingsWindow(panel, platform);
}

QWidget* widget(ReadingsWindow& window)
{
    return &window;
}

void syncFromPanel(ReadingsWindow& window)
{
    window.syncFromPanel();
}

void onToggleRequested(ReadingsWindow& window, QObject* context, std::function<void()> toggle)
{
    QObject::connect(&window, &ReadingsWindow::toggleRequested, context, std::move(toggle));
}

const ReadingsWindowKit kKit{&make, &widget, &syncFromPanel, &onToggleRequested};

} // namespace

const ReadingsWindowKit* linkedReadingsWindowKit(QString*)
{
    return &kKit;
}

} // namespace lumodm
