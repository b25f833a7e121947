#pragma once

#include "bus/drivers/ni488/ni488_api.h"
#include "bus/gpib_driver.h"
#include "platform/shared_library.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace lumodm {

// The driver for a real GPIB board: an NI-488.2 style library (Linux GPIB,
// NI-488.2 for Linux, or on Windows ni4882.dll / gpib-32.dll) opened when
// the program starts. The program builds and runs without any of them.
class Ni488Driver : public GpibDriver
{
  public:
    // The libraries tried, in order, when no path is named.
    static QStringList defaultLibraryNames();

    // Opens the first of `names` that loads and offers the calls the program
    // makes. On failure returns nullptr and fills *error with one line per
    // library tried and why it was not used.
    static std::unique_ptr<Ni488Driver> load(const QStringList& names, QString* error);

    ~Ni488Driver() override;

    QString libraryName() const { return libraryName_; }
    QString description() const { return api_->description(); }

    int RegisterGpibGlobalsForThread() override;
    int UnregisterGpibGlobalsForThread() override;

    int SendIFC(int board) override;
    int ibsre(int board, int value) override;
    int FindLstn(int board, const std::uint16_t* addressList, std::int16_t* results,
                 int limit) override;
    int ibdev(int board, int primary, int secondary, int timeoutCode, int eoiOnLast,
              int endOfString) override;
    int ibpad(int ud, int primary) override;
    int ibclr(int ud) override;
    int ibrsp(int ud, char* statusByte) override;
    int ibwrt(int ud, const char* data, long count) override;
    int ibrd(int ud, char* buffer, long count) override;
    int ibwait(int ud, int mask) override;
    int ibtmo(int ud, int timeoutCode) override;
    int ibask(int ud, int option, int* value) override;

    void close() override;

  private:
    Ni488Driver(std::unique_ptr<SharedLibrary> library, std::unique_ptr<Ni488Api> api,
                QString name);

    int after(std::int32_t returnedStatus);
    int afterVoidCall();
    int refuse(int error);

    std::unique_ptr<SharedLibrary> library_;
    std::unique_ptr<Ni488Api> api_;
    QString libraryName_;
};

} // namespace lumodm
