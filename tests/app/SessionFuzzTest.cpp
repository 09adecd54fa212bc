#include "app/AOrvell.h"
#include "controllers/FaderPanel.h"
#include "core/Shared.h"
#include "panels/Panel.h"
#include "support/TestDesk.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace orvell {
namespace {

// Damaged session files of every kind: bytes flipped, dropped, repeated,
// lines cut and shuffled, runaway numbers. None may crash or hang a load.
QByteArray mutate(const QByteArray& valid, std::mt19937& random)
{
    QByteArray bytes = valid;
    auto pick = [&random](qsizetype n) { return std::uniform_int_distribution<qsizetype>(0, n - 1)(random); };
    const int edits = 1 + static_cast<int>(pick(6));
    static const QByteArray pieces[] = {"=", "[", "]", "\r\n", "\n", "\r", "99999999999", "-2147483648",
                                        "[HFaders]\r\n", "[Panels]\r\n", "[AOrvell Data]\r\n", "X=",
                                        "WindowState=2\r\n", "Top=-999999999\r\n", "\xff\xfe", QByteArray(1, '\0')};
    for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
        const qsizetype at = pick(bytes.size());
        switch (pick(5)) {
        case 0:
            bytes[at] = static_cast<char>(pick(256));
            break;
        case 1:
            bytes.remove(at, 1 + pick(40));
            break;
        case 2:
            bytes.insert(at, pieces[pick(std::size(pieces))]);
            break;
        case 3:
            bytes.insert(at, bytes.mid(pick(bytes.size()), 1 + pick(200)));
            break;
        default: {
            QList<QByteArray> lines = bytes.split('\n');
            std::shuffle(lines.begin(), lines.end(), random);
            bytes = lines.join('\n');
            break;
        }
        }
    }
    return bytes;
}

int fuzzRounds()
{
    bool ok = false;
    const int rounds = qEnvironmentVariableIntValue("ORVELL_FUZZ_ROUNDS", &ok);
    return ok && rounds > 0 ? rounds : 2000;
}

TEST(SessionFuzz, MutatedSessionsNeverCrashOrHang)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuzz.orv"));
    test::TestDesk desk;
    desk.start({900, 600});
    desk.shared->AppDir = dir.path() + u'/';
    desk.window->createPanel(PanelClass::HFaders);
    desk.window->createPanel(PanelClass::Buttons);
    desk.window->createPanel(PanelClass::PatchList)->setCaption(QStringLiteral("A=B"));
    desk.window->SessionFile = path;
    ASSERT_TRUE(desk.window->SaveSession_Click());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray valid = file.readAll();
    file.close();

    desk.dialogs.setDefaultAnswer(MsgAnswer::Ok);
    std::mt19937 random(20261208);
    QElapsedTimer clock;
    clock.start();
    for (int round = 0; round < fuzzRounds(); ++round) {
        const QByteArray damaged = mutate(valid, random);
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(damaged);
        out.close();
        desk.dialogs.answer(path);
        desk.window->LoadSession_Click();
        ASSERT_FALSE(desk.shared->flags.Initializing) << round;
        // Keep the desk small: drop what the round loaded.
        for (QMdiSubWindow* window : desk.window->mdiArea().subWindowList()) {
            if (auto* panel = qobject_cast<Panel*>(window->widget()))
                panel->IsChanged = false;
            delete window;
        }
        desk.dialogs.clear();
        desk.window->SessionFile = path;
    }
    // The whole run is bounded: a load that loops would blow this.
    EXPECT_LT(clock.elapsed(), 240000);
}

}  // namespace
}  // namespace orvell
