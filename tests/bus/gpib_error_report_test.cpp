#include "tests/bus/bus_fixture.h"

namespace lumodm::testing {
namespace {

using GpibErrorReport = BusTest;

TEST_F(GpibErrorReport, BoxForEachErrorCodeAndCancelEnds)
{
    const struct
    {
        int iberr;
        const char* message;
    } cases[] = {
        {0, "Operating system error."},
        {1, "Function requires GPIB board to be CIC."},
        {2, "No listener on write function."},
        {3, "GPIB board not addressed correctly."},
        {4, "Invalid argument to function call."},
        {5, "GPIB board not system controller as required."},
        {6, "I/O operation aborted - timeout."},
        {7, "Non-existent GPIB board."},
        {8, "Unknown error."},
        {10, "Asynchronous I/O in progress."},
        {11, "No capability for operation."},
        {12, "File system error."},
        {13, "Unknown error."},
        {14, "GPIB bus eror."},
        {15, "Serial poll status queue owerflow."},
        {16, "SRQ stuck in on position."},
        {17, "Unknown error."},
        {20, "Table problem."},
        {21, "Unknown error."},
        {-3, "Unknown error."},
    };
    std::int16_t device = openDevice();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.iberr);
        platform.clearMessages();
        driver.failNext("ibwrt", c.iberr);
        rv.GpibWrite(device, "SEND");
        ASSERT_EQ(platform.messages().size(), 1u);
        const ShownMessage& m = platform.messages()[0];
        EXPECT_EQ(m.text, QString::fromLatin1(c.message) +
                              "\nSelect OK to continue or Cancel to terminate program.");
        // The number as Str() gives it: a blank where a minus sign would be.
        EXPECT_EQ(m.title, QStringLiteral("GPIB ERROR #%1%2")
                               .arg(QLatin1String(c.iberr < 0 ? "" : " "))
                               .arg(c.iberr));
        EXPECT_EQ(m.buttons, MessageButtons::OkCancel);
        EXPECT_EQ(m.icon, MessageIcon::Exclamation);
        EXPECT_EQ(rv.GpibWriteFailed, -1);
    }
    driver.failNext("ibwrt", gpib::ENOL);
    platform.queueAnswer(MessageAnswer::Cancel);
    EXPECT_THROW(rv.GpibWrite(device, "SEND"), ProgramEnded);
}

TEST_F(GpibErrorReport, NoErrorLeavesTheFlagAlone)
{
    rv.GpibWriteFailed = -1;
    gpib.ibsre(0, 1);
    rv.ReportGpibError();
    EXPECT_EQ(rv.GpibWriteFailed, -1);
    EXPECT_TRUE(platform.messages().empty());
}

} // namespace
} // namespace lumodm::testing
