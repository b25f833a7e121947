#include "bus/drivers/ni488/ni488_driver.h"

#include "platform/checked_file.h"

namespace lumodm {

QStringList Ni488Driver::defaultLibraryNames()
{
#if defined(_WIN32)
    return {QStringLiteral("ni4882.dll"), QStringLiteral("gpib-32.dll")};
#else
    return {QStringLiteral("libgpib.so.0"), QStringLiteral("libni4882.so"),
            QStringLiteral("libgpibapi.so")};
#endif
}

namespace {

// "name: why", with the name once: the loader's own text may start with it.
QString attemptText(const QString& name, const QString& reason)
{
    const QString named = name + QStringLiteral(": ");
    const QString why = reason.startsWith(named) ? reason.mid(named.size()) : reason;
    return clippedForMessage(name) + QStringLiteral(": ") + clippedForMessage(why);
}

} // namespace

std::unique_ptr<Ni488Driver> Ni488Driver::load(const QStringList& names, QString* error)
{
    QStringList attempts;
    for (const QString& name : names) {
        auto library = std::make_unique<SharedLibrary>();
        QString reason;
        if (!library->open(name, &reason)) {
            attempts << attemptText(name, reason);
            continue;
        }
        std::unique_ptr<Ni488Api> api = bindNi488Api(*library, &reason);
        if (!api) {
            attempts << attemptText(name, reason);
            continue;
        }
        return std::unique_ptr<Ni488Driver>(
            new Ni488Driver(std::move(library), std::move(api), name));
    }
    if (error != nullptr) {
        *error = attempts.join(QLatin1Char('\n'));
    }
    return nullptr;
}

Ni488Driver::Ni488Driver(std::unique_ptr<SharedLibrary> library, std::unique_ptr<Ni488Api> api,
                         QString name)
    : library_(std::move(library)), api_(std::move(api)), libraryName_(std::move(name))
{
}

Ni488Driver::~Ni488Driver()
{
    close();
}

void Ni488Driver::close()
{
    // Nothing to give back early: the library's descriptors end with the
    // process, and the library itself is unloaded with this driver.
}

int Ni488Driver::after(std::int32_t returnedStatus)
{
    status_ = api_->status(&returnedStatus);
    return status_.ibsta;
}

int Ni488Driver::afterVoidCall()
{
    status_ = api_->status(nullptr);
    return status_.ibsta;
}

// A call the library must not see (a negative length would become a huge
// size_t): fail it here the way the library fails a bad argument.
int Ni488Driver::refuse(int error)
{
    status_.ibsta = gpib::ERR;
    status_.iberr = error;
    status_.ibcntl = 0;
    return status_.ibsta;
}

int Ni488Driver::RegisterGpibGlobalsForThread()
{
    return api_->registerGlobals();
}

int Ni488Driver::UnregisterGpibGlobalsForThread()
{
    return api_->unregisterGlobals();
}

int Ni488Driver::SendIFC(int board)
{
    api_->SendIFC(board);
    return afterVoidCall();
}

int Ni488Driver::ibsre(int board, int value)
{
    return after(api_->ibsre(board, value));
}

int Ni488Driver::FindLstn(int board, const std::uint16_t* addressList, std::int16_t* results,
                          int limit)
{
    // The library's address words are unsigned 16-bit, the program's are the
    // same bits read as signed: the same storage serves both.
    api_->FindLstn(board, addressList, reinterpret_cast<std::uint16_t*>(results), limit);
    return afterVoidCall();
}

int Ni488Driver::ibdev(int board, int primary, int secondary, int timeoutCode, int eoiOnLast,
                       int endOfString)
{
    const int ud = api_->ibdev(board, primary, secondary, timeoutCode, eoiOnLast, endOfString);
    afterVoidCall();
    return ud;
}

int Ni488Driver::ibpad(int ud, int primary)
{
    return after(api_->ibpad(ud, primary));
}

int Ni488Driver::ibclr(int ud)
{
    return after(api_->ibclr(ud));
}

int Ni488Driver::ibrsp(int ud, char* statusByte)
{
    return after(api_->ibrsp(ud, statusByte));
}

int Ni488Driver::ibwrt(int ud, const char* data, long count)
{
    if (count < 0) {
        return refuse(gpib::EARG);
    }
    return after(api_->ibwrt(ud, data, count));
}

int Ni488Driver::ibrd(int ud, char* buffer, long count)
{
    if (count < 0) {
        return refuse(gpib::EARG);
    }
    return after(api_->ibrd(ud, buffer, count));
}

int Ni488Driver::ibwait(int ud, int mask)
{
    return after(api_->ibwait(ud, mask));
}

int Ni488Driver::ibtmo(int ud, int timeoutCode)
{
    return after(api_->ibtmo(ud, timeoutCode));
}

int Ni488Driver::ibask(int ud, int option, int* value)
{
    return after(api_->ibask(ud, option, value));
}

} // namespace lumodm
