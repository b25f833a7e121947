#pragma once

#include "bus/vbib32.h"
#include "bus/vbib32rv.h"
#include "controls/form1.h"
#include "meter/function_table.h"
#include "meter/meter_context.h"
#include "meter/reading_record.h"
#include "meter/settings_readback.h"
#include "panel/stop.h"
#include "tests/support/scripted_driver.h"
#include "tests/support/scripted_platform.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace lumodm::testing {

struct RecordingObserver : ReadingObserver
{
    std::vector<ReadingRecord> records;
    void readingTaken(const ReadingRecord& record) override { records.push_back(record); }
};

// A panel model on a scripted bus: the meter answers each command with a
// fixed text (a command without an answer times out), and Stop is the real
// one.
struct ScriptedMeter
{
    static constexpr std::int16_t kDevice = 17;

    ScriptedPlatform platform;
    ScriptedDriver driver;
    Vbib32 gpib{driver};
    Vbib32Rv helper{gpib, platform};
    Form1 form;
    RecordingObserver observer;
    MeterContext context{form, helper, platform, {}, &observer};
    int stopCalls = 0;

    explicit ScriptedMeter(std::int16_t modelCode)
    {
        static const char* const kNames[] = {"", "DM5010", "DM5110", "DM5120"};
        form.state.DeviceHandle = kDevice;
        form.state.ModelCode = modelCode;
        form.state.ModelName = QString::fromLatin1(kNames[modelCode]);
        for (const QString& code : functionListForModel(modelCode)) {
            form.Combo_Mode.addItem(code);
        }
        context.stopRun = [this] {
            ++stopCalls;
            Button_Stop_Click(form);
        };
    }

    void answer(const char* command, const char* reply)
    {
        driver.respond(-1, QByteArray(command), QByteArray(reply) + "\r\n");
    }

    // The panel as it stands after a read-back of `code`: the list entry
    // selected, the code remembered and its range list filled, without any
    // bus traffic.
    void showFunction(const QString& code)
    {
        form.Combo_Mode.setListIndex(static_cast<int>(form.Combo_Mode.items().indexOf(code)));
        form.state.FunctionCode = code;
        if (const FunctionRow* row = findFunction(code)) {
            FillRangeList(form, row->fixedRanges[form.state.ModelCode]);
        }
    }

    // What the panel wrote to the meter, in order.
    std::vector<QByteArray> commands() const { return driver.writes; }
};

} // namespace lumodm::testing
