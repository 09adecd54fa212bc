#include "app/AOrvell.h"
#include "controllers/FaderPanel.h"
#include "panels/Panel.h"
#include "panels/SessionFile.h"
#include "panels/Shared.h"
#include "support/Mutator.h"
#include "support/TestDesk.h"

#include <QCoreApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace orvell {
namespace {

// Whole loads on a desk, panels built: slow under the sanitizers, so a few
// thousand here; ORVELL_FUZZ_ROUNDS or scripts/fuzz.sh run longer.
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
    desk.shared->SysExList = {{QStringLiteral("GM On"), QStringLiteral("F0 7E 7F 09 01 F7")}};
    desk.window->SysXBtn_Click();  // its block is read too
    desk.window->SessionFile = path;
    ASSERT_TRUE(desk.window->SaveSession_Click());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray validSession = file.readAll();
    file.close();
    const QByteArray validPanel = writePanelFile(*desk.window->panels().at(0));
    const QString panelPath = dir.filePath(QStringLiteral("fuzz.mpl"));

    desk.dialogs.setDefaultAnswer(MsgAnswer::Ok);
    std::mt19937 random(20261208);
    for (int round = 0; round < test::mutationRounds(2000); ++round) {
        // Every other round a panel file, read by the same loader.
        const bool panelFile = round % 2 == 1;
        const QByteArray damaged = test::mutateSectionFile(panelFile ? validPanel : validSession, random);
        QFile out(panelFile ? panelPath : path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(damaged);
        out.close();
        desk.dialogs.answer(out.fileName());
        desk.window->LoadSession_Click();
        ASSERT_FALSE(desk.shared->flags.Initializing) << round;
        // Keep the desk small: drop the panels the round loaded. The single
        // windows live for the run.
        for (QMdiSubWindow* window : desk.window->mdiArea().subWindowList()) {
            if (auto* panel = qobject_cast<Panel*>(window->widget())) {
                panel->IsChanged = false;
                delete window;
            }
        }
        desk.dialogs.clear();
        desk.window->SessionFile = path;
    }
}

}  // namespace
}  // namespace orvell
