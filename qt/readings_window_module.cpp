// The readings window module: the window, drawn with Qt Charts, behind one
// exported entry.
#include "qt/readings_window_kit.h"

extern "C" Q_DECL_EXPORT const void* lumodm_readings_window_kit()
{
    return lumodm::linkedReadingsWindowKit(nullptr);
}
