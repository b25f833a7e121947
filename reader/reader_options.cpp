#include "reader/reader_options.h"

#include <cmath>

namespace lumodm {

namespace {

constexpr double kMaxInterval = 7 * 24 * 3600.0;
constexpr std::int16_t kMaxRange = 99;

bool valueOf(const QString& argument, const char* name, QString& value)
{
    const QString prefix = QLatin1String(name) + QLatin1Char('=');
    if (!argument.startsWith(prefix)) {
        return false;
    }
    value = argument.mid(prefix.size());
    return true;
}

} // namespace

ReaderOptionResult takeReaderOption(const QString& argument, ReaderOptions& options, QString& error)
{
    QString value;
    if (argument == QLatin1String("--csv")) {
        options.csv = true;
        return ReaderOptionResult::Taken;
    }
    if (valueOf(argument, "--function", value)) {
        // Codes are upper case; "dcv" is taken to mean DCV. Whether the
        // code is one is told once the meter is known, with its codes.
        const QString code = value.trimmed().toUpper();
        if (code.isEmpty()) {
            error = QStringLiteral("--function needs a function code");
            return ReaderOptionResult::Bad;
        }
        options.function = code;
        return ReaderOptionResult::Taken;
    }
    if (valueOf(argument, "--range", value)) {
        if (value.compare(QLatin1String("auto"), Qt::CaseInsensitive) == 0) {
            options.range = 0;
            return ReaderOptionResult::Taken;
        }
        bool ok = false;
        const int n = value.toInt(&ok);
        if (!ok || n < 1 || n > kMaxRange) {
            error =
                QStringLiteral("--range takes auto or a range number from 1, not '%1'").arg(value);
            return ReaderOptionResult::Bad;
        }
        options.range = static_cast<std::int16_t>(n);
        return ReaderOptionResult::Taken;
    }
    if (valueOf(argument, "--count", value)) {
        bool ok = false;
        const long long n = value.toLongLong(&ok);
        if (!ok || n < 0) {
            error =
                QStringLiteral("--count takes a whole number, 0 for no end, not '%1'").arg(value);
            return ReaderOptionResult::Bad;
        }
        options.count = n;
        return ReaderOptionResult::Taken;
    }
    if (valueOf(argument, "--interval", value)) {
        bool ok = false;
        const double seconds = value.toDouble(&ok); // "." whatever the locale
        if (!ok || !std::isfinite(seconds) || seconds < 0 || seconds > kMaxInterval) {
            error =
                QStringLiteral("--interval takes seconds from 0 to 604800, not '%1'").arg(value);
            return ReaderOptionResult::Bad;
        }
        options.interval = seconds;
        return ReaderOptionResult::Taken;
    }
    return ReaderOptionResult::NotMine;
}

QString readerOptionsHelp()
{
    return QStringLiteral(
        "  --function=CODE           set this function first (DCV, ACV, OHMS, ...)\n"
        "  --range=N|auto            then this range (N as in the panel's range list)\n"
        "  --count=N                 take N readings (default 1; 0: until Ctrl-C)\n"
        "  --interval=SECONDS        from the start of one reading to the next\n"
        "                            (default 1)\n"
        "  --csv                     print each reading as a row of the log's CSV\n"
        "                            columns, after a header row\n");
}

} // namespace lumodm
