#include "tests/bus/bus_fixture.h"

namespace lumodm::testing {
namespace {

struct ErrorCase
{
    int iberr;
    const char* message;
    const char* title;
};

class GpibErrorReport : public BusTest, public ::testing::WithParamInterface<ErrorCase>
{
};

TEST_P(GpibErrorReport, BoxForTheErrorCode)
{
    const ErrorCase& c = GetParam();
    std::int16_t device = openDevice();
    driver.failNext("ibwrt", c.iberr);
    rv.GpibWrite(device, "SEND");
    ASSERT_EQ(platform.messages().size(), 1u);
    const ShownMessage& m = platform.messages()[0];
    EXPECT_EQ(m.text, QString::fromLatin1(c.message) +
                          "\nSelect OK to continue or Cancel to terminate program.");
    EXPECT_EQ(m.title, QString::fromLatin1(c.title));
    EXPECT_EQ(m.buttons, MessageButtons::OkCancel);
    EXPECT_EQ(m.icon, MessageIcon::Exclamation);
    EXPECT_EQ(rv.GpibWriteFailed, -1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GpibErrorReport,
    ::testing::Values(ErrorCase{0, "Operating system error.", "GPIB ERROR # 0"},
                      ErrorCase{1, "Function requires GPIB board to be CIC.", "GPIB ERROR # 1"},
                      ErrorCase{2, "No listener on write function.", "GPIB ERROR # 2"},
                      ErrorCase{3, "GPIB board not addressed correctly.", "GPIB ERROR # 3"},
                      ErrorCase{4, "Invalid argument to function call.", "GPIB ERROR # 4"},
                      ErrorCase{5, "GPIB board not system controller as required.",
                                "GPIB ERROR # 5"},
                      ErrorCase{6, "I/O operation aborted - timeout.", "GPIB ERROR # 6"},
                      ErrorCase{7, "Non-existent GPIB board.", "GPIB ERROR # 7"},
                      ErrorCase{8, "Unknown error.", "GPIB ERROR # 8"},
                      ErrorCase{9, "Unknown error.", "GPIB ERROR # 9"},
                      ErrorCase{10, "Asynchronous I/O in progress.", "GPIB ERROR # 10"},
                      ErrorCase{11, "No capability for operation.", "GPIB ERROR # 11"},
                      ErrorCase{12, "File system error.", "GPIB ERROR # 12"},
                      ErrorCase{13, "Unknown error.", "GPIB ERROR # 13"},
                      ErrorCase{14, "GPIB bus eror.", "GPIB ERROR # 14"},
                      ErrorCase{15, "Serial poll status queue owerflow.", "GPIB ERROR # 15"},
                      ErrorCase{16, "SRQ stuck in on position.", "GPIB ERROR # 16"},
                      ErrorCase{17, "Unknown error.", "GPIB ERROR # 17"},
                      ErrorCase{19, "Unknown error.", "GPIB ERROR # 19"},
                      ErrorCase{20, "Table problem.", "GPIB ERROR # 20"},
                      ErrorCase{21, "Unknown error.", "GPIB ERROR # 21"},
                      ErrorCase{-3, "Unknown error.", "GPIB ERROR #-3"}));

class ReportGpibErrorTest : public BusTest
{
};

TEST_F(ReportGpibErrorTest, CancelEndsTheProgram)
{
    std::int16_t device = openDevice();
    driver.failNext("ibwrt", gpib::ENOL);
    platform.queueAnswer(MessageAnswer::Cancel);
    EXPECT_THROW(rv.GpibWrite(device, "SEND"), ProgramEnded);
}

TEST_F(ReportGpibErrorTest, NoErrorLeavesTheFlagAlone)
{
    rv.GpibWriteFailed = -1;
    gpib.ibsre(0, 1);
    rv.ReportGpibError();
    EXPECT_EQ(rv.GpibWriteFailed, -1);
    EXPECT_TRUE(platform.messages().empty());
}

} // namespace
} // namespace lumodm::testing
