// The readings window module: the window, drawn with Qt Charts, behind one
// exported entry.
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

} // namespace lumodm

extern "C" Q_DECL_EXPORT const lumodm::ReadingsWindowKit* lumodm_readings_window_kit()
{
    return &lumodm::kKit;
}
