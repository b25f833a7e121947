#include "platform/checked_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace lumodm {
namespace {

// Every kind of path a careless or hostile user may hand over, read under
// one rule and never blocking.
TEST(CheckedFile, OnlyASmallRegularFileIsRead)
{
    QTemporaryDir dir;
    const QString small = dir.filePath(QStringLiteral("small"));
    const QString large = dir.filePath(QStringLiteral("large"));
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    const QString link = dir.filePath(QStringLiteral("link"));
    for (const auto& [path, size] : {std::pair{small, 10}, std::pair{large, 11}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(size, 'x'));
    }
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(small, link));

    QString reason;
    EXPECT_EQ(readCheckedFile(small, 10, &reason), QByteArray(10, 'x'));
    EXPECT_EQ(readCheckedFile(link, 10, &reason), QByteArray(10, 'x'));
    EXPECT_EQ(checkReadableFile(dir.filePath(QStringLiteral("none")), 10).state,
              FileCheck::State::Absent);
    EXPECT_FALSE(readCheckedFile(dir.filePath(QStringLiteral("none")), 10, &reason));
    EXPECT_TRUE(reason.contains(QStringLiteral("none")));

    const struct
    {
        QString path;
        const char* why;
    } refused[] = {{large, "larger than 10 bytes"},
                   {fifo, "is not a regular file"},
                   {dir.path(), "is not a regular file"}};
    for (const auto& r : refused) {
        EXPECT_EQ(checkReadableFile(r.path, 10).state, FileCheck::State::Unusable) << r.why;
        reason.clear();
        EXPECT_FALSE(readCheckedFile(r.path, 10, &reason));
        EXPECT_TRUE(reason.startsWith(r.path) && reason.endsWith(QLatin1String(r.why)))
            << reason.toStdString();
    }
}

TEST(CheckedFile, LongValuesAreCutForMessages)
{
    EXPECT_EQ(clippedForMessage(QStringLiteral("short"), 5), QStringLiteral("short"));
    EXPECT_EQ(clippedForMessage(QString(100000, QLatin1Char('a')), 8),
              QString(7, QLatin1Char('a')) + QChar(0x2026));
    // A character outside the basic plane is never split.
    const QString emoji = QStringLiteral("abcdef") + QString::fromUcs4(U"\U0001F600");
    EXPECT_EQ(clippedForMessage(emoji + QStringLiteral("tail"), 8),
              QStringLiteral("abcdef") + QChar(0x2026));
}

} // namespace
} // namespace lumodm
