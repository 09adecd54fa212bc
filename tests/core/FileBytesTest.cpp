#include "core/FileBytes.h"

#include "support/Fifo.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

namespace orvell {
namespace {

using test::readAll;
using test::writeFile;

TEST(ReadFileBytes, ReadsRegularFilesAndRefusesEverythingElseAtOnce)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString plain = dir.filePath("plain.orv");
    const QString fifo = dir.filePath("pipe.orv");
    ASSERT_TRUE(writeFile(plain, "[Panels]\r\n"));
    ASSERT_TRUE(test::makeFifo(fifo));
    ASSERT_TRUE(QFile::link(fifo, dir.filePath("to-pipe.orv")));
    ASSERT_TRUE(QFile::link(plain, dir.filePath("to-plain.orv")));
    ASSERT_TRUE(QFile::link(dir.filePath("gone.orv"), dir.filePath("dangling.orv")));
    ASSERT_TRUE(writeFile(dir.filePath("at-limit.orv"), QByteArray(100, 'x')));
    ASSERT_TRUE(writeFile(dir.filePath("over-limit.orv"), QByteArray(101, 'x')));

    struct Case {
        const char* name;
        QString path;
        std::optional<QByteArray> bytes;
        int number;
        const char* text;
    };
    const Case cases[] = {
        {"regular file", plain, "[Panels]\r\n", 0, ""},
        {"link to a regular file", dir.filePath("to-plain.orv"), "[Panels]\r\n", 0, ""},
        {"file at the size limit", dir.filePath("at-limit.orv"), QByteArray(100, 'x'), 0, ""},
        {"named pipe", fifo, std::nullopt, 75, "Not a regular file"},
        {"link to a named pipe", dir.filePath("to-pipe.orv"), std::nullopt, 75, "Not a regular file"},
        {"device", QStringLiteral("/dev/zero"), std::nullopt, 75, "Not a regular file"},
        {"directory", dir.path(), std::nullopt, 75, "Is a directory"},
        {"missing file", dir.filePath("gone.orv"), std::nullopt, 53, "File not found"},
        {"link to nothing", dir.filePath("dangling.orv"), std::nullopt, 53, "File not found"},
        {"empty path", QString(), std::nullopt, 53, "File not found"},
        {"file over the size limit", dir.filePath("over-limit.orv"), std::nullopt, 7, "File too large"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FileError error;
        std::optional<QByteArray> bytes;
        const auto started = std::chrono::steady_clock::now();
        {
            const test::FifoWatchdog watchdog({fifo});
            bytes = readFileBytes(c.path, 100, error);
            EXPECT_FALSE(watchdog.fired()) << "the reader waited for a writer";
        }
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
        EXPECT_EQ(bytes, c.bytes);
        if (!c.bytes) {
            EXPECT_EQ(error.number, c.number);
            EXPECT_EQ(error.text, c.text);
        }
    }
}

TEST(WriteFileBytes, RemovesOnlyTheLeftoversOfInterruptedSavesOfThatFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir folder(dir.path());
    const QString target = dir.filePath("Song.orv");
    ASSERT_TRUE(writeFile(target, "old"));
    const QStringList stale = {"Song.orv.AbCdEf", "Song.orv.qWERTY"};
    const QStringList kept = {
        "Song.orv.backup",   // a user's copy: one case only
        "Song.orv.BACKUP",
        "Song.orv.AbCdE",    // too short
        "Song.orv.AbCdEfG",  // too long
        "Song.orv.AbC1Ef",   // not all letters
        "Song.orvAbCdEf",    // no dot
        "song.orv.AbCdEf",   // another file's
        "Other.orv.AbCdEf",
        "Song.orv",
    };
    for (const QString& name : stale + kept) {
        if (name != u"Song.orv") {
            ASSERT_TRUE(writeFile(folder.filePath(name), name.toUtf8()));
        }
    }
    // Only plain files go: a folder or a link of that name stays, and so
    // does what the link points to.
    ASSERT_TRUE(folder.mkdir("Song.orv.ZxCvBn"));
    ASSERT_TRUE(QFile::link(folder.filePath("Other.orv.AbCdEf"), folder.filePath("Song.orv.PoIuYt")));

    FileError error;
    ASSERT_TRUE(writeFileBytes(target, "new", error)) << error.text.toStdString();
    EXPECT_EQ(readAll(target), "new");
    QStringList expected = kept + QStringList{"Song.orv.ZxCvBn", "Song.orv.PoIuYt"};
    expected.sort();
    QStringList left = folder.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    left.sort();
    EXPECT_EQ(left, expected);
    for (const QString& name : kept) {
        if (name != u"Song.orv") {
            EXPECT_EQ(readAll(folder.filePath(name)), name.toUtf8()) << name.toStdString();
        }
    }
}

}  // namespace
}  // namespace orvell
