#include "help/HelpFolder.h"
#include "help/HelpTopics.h"
#include "help/MessageTable.h"
#include "support/Files.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <iterator>

using orvell::helpFolder;
using orvell::MessageTable;
using orvell::test::readAll;

namespace {

QString shippedHelp() { return QStringLiteral(ORVELL_SOURCE_DIR "/Help/"); }

// Where the first line end that is not CR LF starts, -1 when every one is.
qsizetype firstBadLineEnd(const QByteArray& bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const bool crlf = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
        if (crlf)
            ++i;
        else if (bytes[i] == '\r' || bytes[i] == '\n')
            return i;
    }
    return -1;
}

bool isUtf8(const QByteArray& bytes)
{
    QStringDecoder decode(QStringDecoder::Utf8);
    const QString text = decode(bytes);
    return !decode.hasError();
}

TEST(HelpFiles, EveryTopicIsShippedAsReadableText)
{
    for (const orvell::HelpTopic& topic : orvell::helpTopics()) {
        const char* name = topic.file;
        SCOPED_TRACE(name);
        const QString path = shippedHelp() + QLatin1String(name);
        if (!QFileInfo(path).isFile()) {
            ADD_FAILURE() << "missing";
            continue;
        }
        const QByteArray bytes = readAll(path);
        EXPECT_EQ(firstBadLineEnd(bytes), -1);
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        EXPECT_TRUE(isUtf8(bytes));
        EXPECT_FALSE(bytes.contains('\t'));
        // A real topic, not a stub: a few paragraphs of prose.
        EXPECT_GE(QString::fromUtf8(bytes).split(QRegularExpression(QStringLiteral("\\s+")),
                                                 Qt::SkipEmptyParts).size(), 100);
        for (const QByteArray& line : bytes.split('\n'))
            EXPECT_LT(QString::fromUtf8(line).trimmed().size(), 100) << line.constData();
    }
}

TEST(HelpFiles, ShippedMessageFileIsTheFactoryTable)
{
    const QByteArray shipped = readAll(shippedHelp() + QStringLiteral("ORVMesgs.txt"));
    ASSERT_FALSE(shipped.isEmpty());
    EXPECT_EQ(shipped, MessageTable().toFileBytes());
}

TEST(HelpFolder, LookupOrder)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString withHelp = root.filePath(QStringLiteral("desk")) + u'/';
    const QString withoutHelp = root.filePath(QStringLiteral("elsewhere")) + u'/';
    const QString installed = root.filePath(QStringLiteral("share/orvell/Help"));
    ASSERT_TRUE(QDir().mkpath(withHelp + QStringLiteral("Help")));
    ASSERT_TRUE(QDir().mkpath(withoutHelp));
    ASSERT_TRUE(QDir().mkpath(installed));
    const QString missing = root.filePath(QStringLiteral("not-installed"));
    const QString chosen = QStringLiteral("/chosen/help/");

    struct Case {
        const char* what;
        QString appDir, helpDir, installedDir, expected;
    };
    const Case cases[] = {
        {"a chosen folder wins over both", withHelp, chosen, installed, chosen},
        {"Help/ in the start folder comes before the installed copy", withHelp, {}, installed,
         withHelp + QStringLiteral("Help/")},
        {"no Help/ here: the installed copy", withoutHelp, {}, installed, installed + u'/'},
        {"installed folder given with its slash", withoutHelp, {}, installed + u'/', installed + u'/'},
        {"nothing installed: the start folder is named", withoutHelp, {}, missing,
         withoutHelp + QStringLiteral("Help/")},
        {"a build without an installed folder", withoutHelp, {}, {}, withoutHelp + QStringLiteral("Help/")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(helpFolder(c.appDir, c.helpDir, c.installedDir), c.expected);
    }
}

TEST(HelpFolder, MessageFileIsReadFromTheHelpFolder)
{
    QTemporaryDir desk;
    ASSERT_TRUE(desk.isValid());
    ASSERT_TRUE(QDir(desk.path()).mkdir(QStringLiteral("Help")));
    const QString appDir = desk.path() + u'/';
    EXPECT_EQ(MessageTable::readPath(appDir, {}), appDir + QStringLiteral("Help/ORVMesgs.txt"));
    EXPECT_EQ(MessageTable::readPath(appDir, QStringLiteral("/x/")), QStringLiteral("/x/ORVMesgs.txt"));
    // Dumping always writes where the user works, never into the installed copy.
    const QString bare = desk.filePath(QStringLiteral("bare")) + u'/';
    EXPECT_EQ(MessageTable::filePath(bare, {}), bare + QStringLiteral("Help/ORVMesgs.txt"));
}

TEST(HelpFolder, InstalledFolderIsTheConfiguredDataFolder)
{
    EXPECT_TRUE(orvell::installedHelpFolder().endsWith(QStringLiteral("/orvell/Help/")));
    EXPECT_TRUE(QDir::isAbsolutePath(orvell::installedHelpFolder()));
}

}  // namespace
