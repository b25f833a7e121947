#include "panel/panel_link.h"

#include "panel/front_panel.h"

namespace lumodm {

void DirectPanelLink::copyModel(Form1& into) const
{
    into.copyModelFrom(panel_.form());
}

void DirectPanelLink::run(Handler handler, std::function<void()> done)
{
    handler(panel_);
    if (done) {
        done();
    }
}

void DirectPanelLink::addReadingObserver(ReadingObserver* observer)
{
    panel_.addReadingObserver(observer);
}

void DirectPanelLink::removeReadingObserver(ReadingObserver* observer)
{
    panel_.removeReadingObserver(observer);
}

} // namespace lumodm
