#include "bus/drivers/ni488/ni488_api.h"

#include "platform/shared_library.h"

#include <QStringList>
#include <cstddef>
#include <limits>

#if defined(_WIN32)
#define LUMODM_NI488_CC __stdcall
#else
#define LUMODM_NI488_CC
#endif

namespace lumodm {

namespace {

// Linux GPIB, and the older libraries of its generation: int status,
// long counts, int limits, int and long status variables.
struct LinuxGpibTypes
{
    using Status = int;
    using Count = long;
    using Limit = int;
    using Variable = int;
    using CountVariable = long;
    static constexpr const char* name = "Linux GPIB";
};

// NI-488.2 (ni4882): unsigned long status, size_t counts and limits,
// unsigned long status variables.
struct Ni4882Types
{
    using Status = unsigned long;
    using Count = std::size_t;
    using Limit = std::size_t;
    using Variable = unsigned long;
    using CountVariable = unsigned long;
    static constexpr const char* name = "NI-488.2";
};

// The low 32 bits of a status value, as the signed word the program keeps.
template <typename T> std::int32_t low32(T value)
{
    const auto bits = static_cast<std::uint32_t>(static_cast<std::uint64_t>(value) & 0xFFFFFFFFu);
    if (bits > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) {
        return static_cast<std::int32_t>(static_cast<std::int64_t>(bits) - 0x100000000LL);
    }
    return static_cast<std::int32_t>(bits);
}

template <typename T> std::int64_t saturatedCount(T value)
{
    if constexpr (std::numeric_limits<T>::is_signed) {
        return static_cast<std::int64_t>(value);
    } else {
        const auto max = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
        const auto v = static_cast<std::uint64_t>(value);
        return v > max ? std::numeric_limits<std::int64_t>::max() : static_cast<std::int64_t>(v);
    }
}

template <typename Fn> Fn bind(const SharedLibrary& library, const char* name)
{
    return reinterpret_cast<Fn>(library.symbol(name));
}

template <typename Types> class BoundApi final : public Ni488Api
{
    using Status = typename Types::Status;
    using Count = typename Types::Count;
    using Limit = typename Types::Limit;
    using Variable = typename Types::Variable;
    using CountVariable = typename Types::CountVariable;

    using SendIfcFn = void(LUMODM_NI488_CC*)(int);
    using FindLstnFn = void(LUMODM_NI488_CC*)(int, const std::uint16_t*, std::uint16_t*, Limit);
    using IbDevFn = int(LUMODM_NI488_CC*)(int, int, int, int, int, int);
    using UdFn = Status(LUMODM_NI488_CC*)(int);
    using UdIntFn = Status(LUMODM_NI488_CC*)(int, int);
    using ConfigFn = Status(LUMODM_NI488_CC*)(int, int, int);
    using AskFn = Status(LUMODM_NI488_CC*)(int, int, int*);
    using RspFn = Status(LUMODM_NI488_CC*)(int, char*);
    using WrtFn = Status(LUMODM_NI488_CC*)(int, const void*, Count);
    using RdFn = Status(LUMODM_NI488_CC*)(int, void*, Count);
    using ValueFn = Status(LUMODM_NI488_CC*)();
    using CountValueFn = CountVariable(LUMODM_NI488_CC*)();
    using RegisterFn = Status(LUMODM_NI488_CC*)(Variable*, Variable*, Variable*, CountVariable*);
    using UnregisterFn = Status(LUMODM_NI488_CC*)();

  public:
    explicit BoundApi(const SharedLibrary& library)
    {
        sendIfc_ = bind<SendIfcFn>(library, "SendIFC");
        findLstn_ = bind<FindLstnFn>(library, "FindLstn");
        ibdev_ = bind<IbDevFn>(library, "ibdev");
        ibclr_ = bind<UdFn>(library, "ibclr");
        ibrsp_ = bind<RspFn>(library, "ibrsp");
        ibwrt_ = bind<WrtFn>(library, "ibwrt");
        ibrd_ = bind<RdFn>(library, "ibrd");
        ibwait_ = bind<UdIntFn>(library, "ibwait");
        ibask_ = bind<AskFn>(library, "ibask");
        ibconfig_ = bind<ConfigFn>(library, "ibconfig");
        ibpad_ = bind<UdIntFn>(library, "ibpad");
        ibtmo_ = bind<UdIntFn>(library, "ibtmo");
        ibsre_ = bind<UdIntFn>(library, "ibsre");

        threadIbsta_ = bind<ValueFn>(library, "ThreadIbsta");
        threadIberr_ = bind<ValueFn>(library, "ThreadIberr");
        threadIbcntl_ = bind<CountValueFn>(library, "ThreadIbcntl");
        threadIbcnt_ = bind<ValueFn>(library, "ThreadIbcnt");
        processIbsta_ = bind<ValueFn>(library, "Ibsta");
        processIberr_ = bind<ValueFn>(library, "Iberr");
        processIbcnt_ = bind<ValueFn>(library, "Ibcnt");
        globalIbsta_ = static_cast<volatile Variable*>(library.symbol("ibsta"));
        globalIberr_ = static_cast<volatile Variable*>(library.symbol("iberr"));
        globalIbcnt_ = static_cast<volatile Variable*>(library.symbol("ibcnt"));
        globalIbcntl_ = static_cast<volatile CountVariable*>(library.symbol("ibcntl"));
        // The legacy 32-bit Windows library's names for the same variables.
        userIbsta_ = static_cast<volatile int*>(library.symbol("user_ibsta"));
        userIberr_ = static_cast<volatile int*>(library.symbol("user_iberr"));
        userIbcnt_ = static_cast<volatile int*>(library.symbol("user_ibcnt"));
        register_ = bind<RegisterFn>(library, "RegisterGpibGlobalsForThread");
        unregister_ = bind<UnregisterFn>(library, "UnregisterGpibGlobalsForThread");
    }

    QStringList missing() const
    {
        QStringList names;
        auto need = [&names](bool present, const char* name) {
            if (!present) {
                names << QString::fromLatin1(name);
            }
        };
        need(sendIfc_ != nullptr, "SendIFC");
        need(findLstn_ != nullptr, "FindLstn");
        need(ibdev_ != nullptr, "ibdev");
        need(ibclr_ != nullptr, "ibclr");
        need(ibrsp_ != nullptr, "ibrsp");
        need(ibwrt_ != nullptr, "ibwrt");
        need(ibrd_ != nullptr, "ibrd");
        need(ibwait_ != nullptr, "ibwait");
        need(ibask_ != nullptr, "ibask");
        need(ibpad_ != nullptr || ibconfig_ != nullptr, "ibpad or ibconfig");
        need(ibtmo_ != nullptr || ibconfig_ != nullptr, "ibtmo or ibconfig");
        need(ibsre_ != nullptr || ibconfig_ != nullptr, "ibsre or ibconfig");
        return names;
    }

    void SendIFC(int board) override { sendIfc_(board); }

    void FindLstn(int board, const std::uint16_t* addressList, std::uint16_t* results,
                  int limit) override
    {
        findLstn_(board, addressList, results, static_cast<Limit>(limit < 0 ? 0 : limit));
    }

    int ibdev(int board, int primary, int secondary, int timeoutCode, int eoiOnLast,
              int endOfString) override
    {
        return ibdev_(board, primary, secondary, timeoutCode, eoiOnLast, endOfString);
    }

    std::int32_t ibsre(int ud, int value) override
    {
        return low32(ibsre_ != nullptr ? ibsre_(ud, value) : ibconfig_(ud, gpib::IbcSRE, value));
    }
    std::int32_t ibpad(int ud, int primary) override
    {
        return low32(ibpad_ != nullptr ? ibpad_(ud, primary)
                                       : ibconfig_(ud, gpib::IbcPAD, primary));
    }
    std::int32_t ibtmo(int ud, int timeoutCode) override
    {
        return low32(ibtmo_ != nullptr ? ibtmo_(ud, timeoutCode)
                                       : ibconfig_(ud, gpib::IbcTMO, timeoutCode));
    }
    std::int32_t ibclr(int ud) override { return low32(ibclr_(ud)); }
    std::int32_t ibrsp(int ud, char* statusByte) override { return low32(ibrsp_(ud, statusByte)); }
    std::int32_t ibwrt(int ud, const char* data, long count) override
    {
        return low32(ibwrt_(ud, data, static_cast<Count>(count)));
    }
    std::int32_t ibrd(int ud, char* buffer, long count) override
    {
        return low32(ibrd_(ud, buffer, static_cast<Count>(count)));
    }
    std::int32_t ibwait(int ud, int mask) override { return low32(ibwait_(ud, mask)); }
    std::int32_t ibask(int ud, int option, int* value) override
    {
        return low32(ibask_(ud, option, value));
    }

    int registerGlobals() override
    {
        if (register_ == nullptr) {
            return 0;
        }
        const std::int32_t result = low32(
            register_(&registeredIbsta_, &registeredIberr_, &registeredIbcnt_, &registeredIbcntl_));
        registered_ = result == 0 || result == 1;
        return result;
    }

    int unregisterGlobals() override
    {
        registered_ = false;
        return unregister_ != nullptr ? low32(unregister_()) : 0;
    }

    GpibStatus status(const std::int32_t* returnedStatus) const override
    {
        GpibStatus s;
        s.ibsta = returnedStatus != nullptr ? *returnedStatus : readIbsta();
        s.iberr = readIberr();
        s.ibcntl = readIbcntl();
        return s;
    }

    QString description() const override
    {
        QStringList parts;
        parts << QString::fromLatin1(Types::name) + QStringLiteral(" calls");
        QStringList configured;
        if (ibpad_ == nullptr) {
            configured << QStringLiteral("ibpad");
        }
        if (ibtmo_ == nullptr) {
            configured << QStringLiteral("ibtmo");
        }
        if (ibsre_ == nullptr) {
            configured << QStringLiteral("ibsre");
        }
        if (!configured.isEmpty()) {
            parts << configured.join(QStringLiteral(", ")) + QStringLiteral(" through ibconfig");
        }
        parts << QStringLiteral("status from ") + statusSource();
        if (register_ != nullptr) {
            parts << QStringLiteral("registers status variables");
        }
        return parts.join(QStringLiteral("; "));
    }

  private:
    QString statusSource() const
    {
        if (threadIbsta_ != nullptr) {
            return QStringLiteral("ThreadIbsta");
        }
        if (processIbsta_ != nullptr) {
            return QStringLiteral("Ibsta()");
        }
        if (register_ != nullptr) {
            return QStringLiteral("registered variables");
        }
        if (globalIbsta_ != nullptr) {
            return QStringLiteral("ibsta");
        }
        if (userIbsta_ != nullptr) {
            return QStringLiteral("user_ibsta");
        }
        return QStringLiteral("return values only");
    }

    // Each value from the most specific source the library offers: the
    // thread's own, the process's accessor, the variables registered with
    // the library, then the exported variables.
    std::int32_t readIbsta() const
    {
        if (threadIbsta_ != nullptr) {
            return low32(threadIbsta_());
        }
        if (processIbsta_ != nullptr) {
            return low32(processIbsta_());
        }
        if (registered_) {
            return low32(registeredIbsta_);
        }
        if (globalIbsta_ != nullptr) {
            return low32(*globalIbsta_);
        }
        if (userIbsta_ != nullptr) {
            return low32(*userIbsta_);
        }
        return 0;
    }

    std::int32_t readIberr() const
    {
        if (threadIberr_ != nullptr) {
            return low32(threadIberr_());
        }
        if (processIberr_ != nullptr) {
            return low32(processIberr_());
        }
        if (registered_) {
            return low32(registeredIberr_);
        }
        if (globalIberr_ != nullptr) {
            return low32(*globalIberr_);
        }
        if (userIberr_ != nullptr) {
            return low32(*userIberr_);
        }
        return 0;
    }

    std::int64_t readIbcntl() const
    {
        if (threadIbcntl_ != nullptr) {
            return saturatedCount(threadIbcntl_());
        }
        if (threadIbcnt_ != nullptr) {
            return saturatedCount(threadIbcnt_());
        }
        if (processIbcnt_ != nullptr) {
            return saturatedCount(processIbcnt_());
        }
        if (registered_) {
            return saturatedCount(registeredIbcntl_);
        }
        if (globalIbcntl_ != nullptr) {
            return saturatedCount(*globalIbcntl_);
        }
        if (globalIbcnt_ != nullptr) {
            return saturatedCount(*globalIbcnt_);
        }
        if (userIbcnt_ != nullptr) {
            return saturatedCount(*userIbcnt_);
        }
        return 0;
    }

    SendIfcFn sendIfc_ = nullptr;
    FindLstnFn findLstn_ = nullptr;
    IbDevFn ibdev_ = nullptr;
    UdFn ibclr_ = nullptr;
    RspFn ibrsp_ = nullptr;
    WrtFn ibwrt_ = nullptr;
    RdFn ibrd_ = nullptr;
    UdIntFn ibwait_ = nullptr;
    AskFn ibask_ = nullptr;
    ConfigFn ibconfig_ = nullptr;
    UdIntFn ibpad_ = nullptr;
    UdIntFn ibtmo_ = nullptr;
    UdIntFn ibsre_ = nullptr;

    ValueFn threadIbsta_ = nullptr;
    ValueFn threadIberr_ = nullptr;
    CountValueFn threadIbcntl_ = nullptr;
    ValueFn threadIbcnt_ = nullptr;
    ValueFn processIbsta_ = nullptr;
    ValueFn processIberr_ = nullptr;
    ValueFn processIbcnt_ = nullptr;
    volatile Variable* globalIbsta_ = nullptr;
    volatile Variable* globalIberr_ = nullptr;
    volatile Variable* globalIbcnt_ = nullptr;
    volatile CountVariable* globalIbcntl_ = nullptr;
    volatile int* userIbsta_ = nullptr;
    volatile int* userIberr_ = nullptr;
    volatile int* userIbcnt_ = nullptr;

    RegisterFn register_ = nullptr;
    UnregisterFn unregister_ = nullptr;
    bool registered_ = false;
    Variable registeredIbsta_ = 0;
    Variable registeredIberr_ = 0;
    Variable registeredIbcnt_ = 0;
    CountVariable registeredIbcntl_ = 0;
};

template <typename Types>
std::unique_ptr<Ni488Api> bindAs(const SharedLibrary& library, QString* error)
{
    auto api = std::make_unique<BoundApi<Types>>(library);
    const QStringList missing = api->missing();
    if (!missing.isEmpty()) {
        if (error != nullptr) {
            *error = QStringLiteral("lacks ") + missing.join(QStringLiteral(", "));
        }
        return nullptr;
    }
    return api;
}

} // namespace

std::unique_ptr<Ni488Api> bindNi488Api(const SharedLibrary& library, QString* error)
{
    // Only ni4882 has the process-wide accessor Ibsta(); it is also the one
    // whose counts are size_t.
    if (library.symbol("Ibsta") != nullptr) {
        return bindAs<Ni4882Types>(library, error);
    }
    return bindAs<LinuxGpibTypes>(library, error);
}

} // namespace lumodm
