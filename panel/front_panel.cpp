#include "panel/front_panel.h"

#include "panel/stop.h"

#include <algorithm>

namespace lumodm {

FrontPanel::FrontPanel(Form1& form, BusConnection& bus, PlatformServices& platform)
    : form_(form), gpib_(bus.gpib()), helper_(bus.helper()), platform_(platform),
      session_(helper_, platform_)
{
    // The lists run their handlers on every selection, the program's own
    // included; the handlers' guards sort out which ones to act on.
    form_.Combo_Mode.onClick = [this] { Combo_Mode_Click(); };
    form_.Combo_Range.onClick = [this] { Combo_Range_Click(); };
}

void FrontPanel::addReadingObserver(ReadingObserver* observer)
{
    observers_.push_back(observer);
    if (runOn_) {
        observer->runStarted();
    }
}

void FrontPanel::removeReadingObserver(ReadingObserver* observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void FrontPanel::announceRun(bool on)
{
    if (on == runOn_) {
        return;
    }
    runOn_ = on;
    for (ReadingObserver* observer : observers_) {
        if (on) {
            observer->runStarted();
        } else {
            observer->runEnded();
        }
    }
}

void FrontPanel::Button_Stop_Click()
{
    lumodm::Button_Stop_Click(form_);
    announceRun(false);
}

} // namespace lumodm
