#include "app/AOrvell.h"
#include "app/MainMenus.h"
#include "app/MainToolbar.h"
#include "app/PortConfig.h"
#include "controllers/FaderPanel.h"
#include "panels/Panel.h"
#include "panels/Shared.h"
#include "support/FileSizeLimit.h"
#include "support/Files.h"
#include "support/TestDesk.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace orvell {
namespace {

using test::readAll;
using test::writeFile;

struct Desk : test::TestDesk {
    explicit Desk(int inputs = 1, int outputs = 2) : TestDesk(inputs, outputs)
    {
        start({1000, 700});
        dialogs.clear();
    }

    void loadPanel(const QString& path)
    {
        dialogs.answer(path);
        window->LoadPanel_Click();
    }

    QStringList boxes() const
    {
        QStringList texts;
        for (const auto& question : dialogs.asked()) {
            if (question.kind == test::ScriptedDialogs::Question::Kind::MsgBox)
                texts << question.text;
        }
        return texts;
    }
};

TEST(PanelFile, SavingWritesOnlyThePanelBlockUnderTheProposedName)
{
    QTemporaryDir dir;
    Desk desk;
    Panel* panel = desk.window->createPanel(PanelClass::VFaders);
    panel->setCaption(QStringLiteral("Pads: A/B"));
    qobject_cast<FaderPanel*>(panel)->fader(1)->setValue(42);
    ASSERT_TRUE(panel->IsChanged);

    const QString path = dir.filePath(QStringLiteral("Pads: AB.mpl"));
    desk.dialogs.answer(path);
    ASSERT_TRUE(desk.window->SavePanel(*panel));
    const auto& request = desk.dialogs.asked().back();
    EXPECT_EQ(request.kind, test::ScriptedDialogs::Question::Kind::SaveFile);
    EXPECT_EQ(request.text, "Save Panel");
    EXPECT_EQ(request.file.fileName, "Pads: AB");
    EXPECT_EQ(request.file.filter, "ORV individual Panl Files (*.mpl)|*.mpl");
    EXPECT_TRUE(request.file.confirmOverwrite);
    EXPECT_EQ(desk.field(0), " Save VFaders");
    EXPECT_EQ(desk.field(1), " Done");
    EXPECT_FALSE(panel->IsChanged);
    EXPECT_EQ(panel->PanlFile, "Pads: AB.mpl");
    EXPECT_EQ(desk.shared->PanlDir, dir.path() + '/');

    const QByteArray bytes = readAll(path);
    EXPECT_TRUE(bytes.startsWith("\r\n[VFaders]\r\nName=Pads: A/B\r\nTop="));
    EXPECT_TRUE(bytes.contains("\r\nTag=1\r\nWindowState=0\r\n\r\n[VFaders Data]\r\n"));
    EXPECT_FALSE(bytes.contains("[Panels]"));
    EXPECT_FALSE(bytes.contains("[MIDI"));
    EXPECT_FALSE(bytes.contains("Height="));

    // The next save proposes the file it was saved to.
    desk.dialogs.answer(std::monostate{});
    EXPECT_FALSE(desk.window->SavePanel(*panel));
    EXPECT_EQ(desk.dialogs.asked().back().file.fileName, "Pads: AB.mpl");
    EXPECT_EQ(desk.field(0), " Panel not saved!");
}

TEST(PanelFile, LoadingTwiceGivesTwoPanelsAndRetagsTheSecond)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lead.mpl"));
    {
        Desk maker;
        Panel* panel = maker.window->createPanel(PanelClass::HFaders);
        panel->setCaption(QStringLiteral("Lead"));
        qobject_cast<FaderPanel*>(panel)->fader(2)->setValue(77);
        maker.dialogs.answer(path);
        ASSERT_TRUE(maker.window->SavePanel(*panel));
    }

    Desk desk;
    desk.window->createPanel(PanelClass::Buttons);  // tag 1, as in the file
    desk.window->IsChanged = false;
    desk.loadPanel(path);
    ASSERT_EQ(desk.window->panels().size(), 2);
    Panel* first = desk.window->panels().at(1);
    EXPECT_EQ(first->caption(), "Lead");
    EXPECT_EQ(qobject_cast<FaderPanel*>(first)->fader(2)->value(), 77);
    // Making the panel took tag 2; the fix takes the next one.
    EXPECT_EQ(first->Tag, "3");
    EXPECT_EQ(first->PanlFile, "lead.mpl");
    EXPECT_EQ(desk.boxes(), QStringList{"Lead's stored panelpointer is not unique; it will be fixed now."});
    EXPECT_TRUE(desk.window->IsChanged);
    EXPECT_EQ(desk.field(1), " Loaded");
    EXPECT_FALSE(desk.shared->flags.Initializing);

    desk.dialogs.clear();
    desk.loadPanel(path);
    ASSERT_EQ(desk.window->panels().size(), 3);
    EXPECT_EQ(desk.window->panels().at(2)->Tag, "5");
    EXPECT_EQ(desk.boxes().size(), 1);
    EXPECT_EQ(desk.shared->UniqFormCounter, 5);
}

TEST(PanelFile, AStoredTagAboveTheCounterRaisesIt)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("high.mpl"));
    ASSERT_TRUE(writeFile(path, "\r\n[HFaders]\r\nName=High\r\nTag=40\r\nWindowState=0\r\n\r\n[HFaders Data]\r\n"));
    Desk desk;
    desk.loadPanel(path);
    ASSERT_EQ(desk.window->panels().size(), 1);
    EXPECT_EQ(desk.window->panels().at(0)->Tag, "40");
    EXPECT_TRUE(desk.boxes().isEmpty());
    EXPECT_EQ(desk.window->createPanel(PanelClass::VFaders)->Tag, "41");
}

TEST(PanelFile, SessionLoadAndTheCommandLineTakePanelFilesToo)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pad.mpl"));
    ASSERT_TRUE(writeFile(path, "\n[VFaders]\nName=Pad\nTag=5\n\n[VFaders Data]\n"));

    Desk desk;
    desk.dialogs.answer(path);
    desk.window->LoadSession_Click();
    ASSERT_EQ(desk.window->panels().size(), 1);
    EXPECT_EQ(desk.window->panels().at(0)->caption(), "Pad");
    EXPECT_TRUE(desk.window->SessionFile.isEmpty());  // a panel file is no session
    EXPECT_EQ(desk.field(1), " Loaded");

    // The next Load Session dialog starts on the panel-file filter.
    desk.dialogs.answer(std::monostate{});
    desk.window->LoadSession_Click();
    EXPECT_EQ(desk.dialogs.asked().back().text, "Load Panel ");
    EXPECT_EQ(desk.dialogs.asked().back().file.filterIndex, 2);

    test::TestDesk started;
    ASSERT_TRUE(started.window->Load({path}));
    ASSERT_EQ(started.window->panels().size(), 1);
    EXPECT_EQ(started.window->panels().at(0)->Tag, "5");
}

TEST(PanelFile, ABrokenPanelFileKeepsWhatWasReadAndSaysSo)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.mpl"));
    ASSERT_TRUE(writeFile(path, "\r\n[HFaders]\r\nName=Half\r\nXY=1\r\n"));
    Desk desk;
    desk.loadPanel(path);
    EXPECT_EQ(desk.window->panels().size(), 1);
    EXPECT_EQ(desk.field(0), " Panel not loaded");
    EXPECT_EQ(desk.field(1), " FAIL!");
    EXPECT_EQ(desk.boxes(), QStringList{"An error occurred during LOAD"});

    desk.dialogs.clear();
    desk.loadPanel(dir.filePath(QStringLiteral("missing.mpl")));
    EXPECT_EQ(desk.window->panels().size(), 1);
    EXPECT_EQ(desk.field(1), " FAIL!");
    ASSERT_EQ(desk.dialogs.asked().size(), 2);
    EXPECT_EQ(desk.dialogs.asked().back().title, "Load Panel ");
}

TEST(PanelFile, FailedSaveKeepsTheOldFileAndThePanelChanged)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.mpl"));
    ASSERT_TRUE(writeFile(path, "old bytes"));
    Desk desk;
    Panel* panel = desk.window->createPanel(PanelClass::HFaders);
    panel->setCaption(QStringLiteral("Keep"));
    panel->markChanged();
    {
        test::FileSizeLimit limit(64);  // the panel block is longer
        desk.dialogs.answer(path);
        EXPECT_FALSE(desk.window->SavePanel(*panel));
    }
    EXPECT_EQ(readAll(path), "old bytes");
    EXPECT_TRUE(panel->IsChanged);
    EXPECT_EQ(desk.field(1), " FAIL!");
    ASSERT_FALSE(desk.boxes().isEmpty());
    EXPECT_TRUE(desk.boxes().back().endsWith("\rKeep Panel not saved!")) << desk.boxes().back().toStdString();
}

TEST(PortConfiguration, OnlyTheHighlightedPortsAreOfferedAndKeptWithTheSession)
{
    QTemporaryDir dir;
    Desk desk(2, 2);
    auto* faders = qobject_cast<FaderPanel*>(desk.window->createPanel(PanelClass::HFaders));
    auto offered = [&] {
        QStringList names;
        for (int i = 0; i < faders->Port()->count(); ++i)
            names << faders->Port()->itemText(i);
        return names;
    };
    EXPECT_EQ(offered(), (QStringList{"Virtual Out 1", "Virtual Out 2", "MIDI Mapper Out"}));

    {
        PortConfig dialog(*desk.window);
        EXPECT_EQ(dialog.windowTitle(), "Configure MIDI Ports");
        ASSERT_EQ(dialog.OutPorts->count(), 3);
        EXPECT_FALSE(dialog.OutPorts->item(0)->isSelected());  // the mapper is never shown chosen
        EXPECT_TRUE(dialog.OutPorts->item(1)->isSelected());
        dialog.OutPorts->item(1)->setSelected(false);  // leave only Virtual Out 2
        dialog.OkBtn_Click();
        EXPECT_TRUE(dialog.changed());
    }
    EXPECT_EQ(offered(), (QStringList{"Virtual Out 2", "MIDI Mapper Out"}));
    EXPECT_FALSE(desk.shared->midi.MidiOutPorts[0].Enabled);  // not highlighted, so not kept

    {
        PortConfig dialog(*desk.window);
        dialog.InPorts->item(0)->setSelected(false);
        dialog.CancelBtn_Click();
        EXPECT_FALSE(dialog.changed());
    }
    EXPECT_TRUE(desk.shared->midi.MidiInPorts[1].Enabled);

    const QString path = dir.filePath(QStringLiteral("ports.orv"));
    desk.window->SessionFile = path;
    ASSERT_TRUE(desk.window->SaveSession_Click());
    EXPECT_TRUE(readAll(path).startsWith("\r\n[MIDI In Devs]\r\nVirtual In 1\r\nVirtual In 2\r\n\r\n"
                                         "[MIDI Out Devs]\r\nVirtual Out 2\r\n\r\n[Panels]\r\n"));

    Desk next(2, 2);
    next.dialogs.answer(path);
    next.window->LoadSession_Click();
    const MidiEngine& midi = next.shared->midi;
    EXPECT_FALSE(midi.MidiOutPorts[1].Enabled);
    EXPECT_TRUE(midi.MidiOutPorts[2].Enabled);
    auto* loaded = qobject_cast<FaderPanel*>(next.window->panels().at(0));
    ASSERT_EQ(loaded->Port()->count(), 2);
    EXPECT_EQ(loaded->Port()->itemText(0), "Virtual Out 2");
}

TEST(PortConfiguration, AllOutputsUnhighlightedIsRefusedAtTheNextLoad)
{
    QTemporaryDir dir;
    Desk desk(1, 2);
    {
        PortConfig dialog(*desk.window);
        for (int row = 0; row < dialog.OutPorts->count(); ++row)
            dialog.OutPorts->item(row)->setSelected(false);
        dialog.OkBtn_Click();
    }
    for (const MidiPort& port : desk.shared->midi.MidiOutPorts)
        EXPECT_FALSE(port.Enabled);
    const QString path = dir.filePath(QStringLiteral("none.orv"));
    desk.window->SessionFile = path;
    ASSERT_TRUE(desk.window->SaveSession_Click());

    Desk next(1, 2);
    next.dialogs.answer(path);
    next.dialogs.answer(MsgAnswer::Ok);
    next.window->LoadSession_Click();
    EXPECT_EQ(next.boxes(), QStringList{next.shared->msg(75)});
    for (const MidiPort& port : next.shared->midi.MidiOutPorts)
        EXPECT_TRUE(port.Enabled);
}

TEST(Session, SysExMessagesAreKeptInOrderAndEachMessageFollowsItsLabel)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sysex.orv"));
    Desk desk;
    desk.shared->SysExList = {{"GM On", "F0 7E 7F 09 01 F7"}, {"Reset=All", "F0 41 10 42 12 40 00 7F 00 41 F7"}};
    desk.window->SessionFile = path;
    ASSERT_TRUE(desk.window->SaveSession_Click());
    EXPECT_TRUE(readAll(path).contains("SysExCount=2\r\nSysXLabel=GM On\r\nSysXMesg=F0 7E 7F 09 01 F7\r\n"
                                       "SysXLabel=Reset=All\r\nSysXMesg=F0 41 10 42 12 40 00 7F 00 41 F7\r\n"));

    Desk next;
    next.dialogs.answer(path);
    next.window->LoadSession_Click();
    ASSERT_EQ(next.shared->SysExList.size(), 2u);
    EXPECT_EQ(next.shared->SysExList[1].label, "Reset=All");
    EXPECT_EQ(next.shared->SysExList[1].message, "F0 41 10 42 12 40 00 7F 00 41 F7");
    // Labels stay unique when the same session is loaded again.
    next.dialogs.answer(path);
    next.window->LoadSession_Click();
    EXPECT_EQ(next.shared->SysExList.size(), 2u);
}

TEST(RemoteTargets, APanelThatRemoteControlsActOnRefusesItsOwnCloseBoxOnly)
{
    QTemporaryDir dir;
    struct Case {
        const char* name;
        QByteArray controller;  // the panel with the remote controls, tag 1
        QByteArray target;      // the panel they act on, tag 2
        QString refusal;
    };
    const Case cases[] = {
        {"push buttons on a buttons panel",
         "[Buttons]\r\nTag=1\r\n[Buttons Data]\r\nControl=x\r\nControlNum=213\r\nPatchID=2\r\n"
         "Control=y\r\nControlNum=213\r\nPatchID=2\r\n",
         "[Buttons]\r\nTag=2\r\n", "Can't close.  In use by 2 Push(or Fire)-Button Control(s)"},
        {"a patch fader on a patch list",
         "[HFaders]\r\nTag=1\r\n[HFaders Data]\r\nControl=x\r\nControlNum=212\r\nFaderVal=0\r\nPatchID=2\r\n",
         "[PatchList]\r\nTag=2\r\n", "Can't close.  In use by 1 Patch UP/DOWN/Chg Control(s)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("targets.orv"));
        ASSERT_TRUE(writeFile(path, "[Panels]\r\n" + c.controller + c.target));
        Desk desk;
        desk.dialogs.answer(path);
        desk.window->LoadSession_Click();
        ASSERT_EQ(desk.window->panels().size(), 2);
        Panel* target = desk.window->panels().at(1);
        ASSERT_EQ(target->Tag, "2");
        desk.dialogs.clear();
        EXPECT_FALSE(target->queryClose(CloseReason::OwnCloseBox));
        EXPECT_EQ(desk.boxes(), QStringList{c.refusal});
        // Closing the whole desk takes the controls along.
        EXPECT_TRUE(target->queryClose(CloseReason::Session));
    }
}

TEST(Session, PanelPointerIsOfferedOnlyWhileAControlDrivesAnOpenPanel)
{
    QTemporaryDir dir;
    struct Case {
        const char* name;
        QByteArray panels;
        bool available;
    };
    const QByteArray patchFader = "[HFaders]\r\n[HFaders Data]\r\nControl=x\r\nControlNum=212\r\n";
    const Case cases[] = {
        {"patch fader and a patch list", patchFader + "[PatchList]\r\n", true},
        {"patch fader alone", patchFader, false},
        {"volume fader and a patch list", "[HFaders]\r\n[HFaders Data]\r\nControl=x\r\nControlNum=7\r\n[PatchList]\r\n",
         false},
        {"push-button buttons and another buttons panel",
         "[Buttons]\r\n[Buttons Data]\r\nControl=x\r\nControlNum=213\r\n[Buttons]\r\n", true},
        {"patch-up button and a patch list", "[Buttons]\r\n[Buttons Data]\r\nControl=x\r\nControlNum=211\r\n[PatchList]\r\n",
         true},
        {"play button without a sequencer", "[Buttons]\r\n[Buttons Data]\r\nControl=x\r\nControlNum=205\r\n", false},
        {"play button and a sequencer", "[Buttons]\r\n[Buttons Data]\r\nControl=x\r\nControlNum=205\r\n[Sequencer]\r\n",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("pointer.orv"));
        ASSERT_TRUE(writeFile(path, "[Panels]\r\n" + c.panels));
        Desk desk;
        desk.dialogs.answer(path);
        desk.window->LoadSession_Click();
        EXPECT_EQ(desk.window->menus().action(QStringLiteral("PatchPanlPtr"))->isEnabled(), c.available);
        EXPECT_EQ(desk.window->toolbar().button(QStringLiteral("PnlPtrBtn"))->isEnabled(), c.available);
    }
}

}  // namespace
}  // namespace orvell

namespace orvell {
namespace {

TEST(PortConfigurationLook, ScreenshotOnRequest)
{
    const QString folder = qEnvironmentVariable("ORVELL_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "set ORVELL_SCREENSHOTS to a folder to get screenshots";
    Desk desk(2, 3);
    PortConfig dialog(*desk.window);
    dialog.show();
    EXPECT_TRUE(dialog.grab().save(folder + "/port-config.png"));
}

TEST(SessionLook, ScreenshotOfALoadedDeskOnRequest)
{
    const QString folder = qEnvironmentVariable("ORVELL_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "set ORVELL_SCREENSHOTS to a folder to get screenshots";
    QTemporaryDir dir;
    const QString ins = dir.filePath(QStringLiteral("synth.ins"));
    ASSERT_TRUE(writeFile(ins, ".Patch Names\r\n[Synth GM]\r\n0=Acoustic Grand\r\n1=Bright Piano\r\n"
                               "2=Electric Grand\r\n3=Honky-tonk\r\n4=Rhodes\r\n16=Drawbar Organ\r\n"
                               "24=Nylon Guitar\r\n\r\n.Instrument Definitions\r\n[Synth]\r\nPatch[*]=Synth GM\r\n"));
    const QString session = dir.filePath(QStringLiteral("desk.orv"));
    ASSERT_TRUE(writeFile(session, "[Panels]\r\n[PatchList]\r\nName=Synth GM\r\nTop=150\r\nLeft=150\r\nTag=1\r\n"
                                   "[PatchList Data]\r\nFileName=" + ins.toUtf8() +
                                   "\r\nChannel=2\r\nPort=1\r\nCurPatch=4\r\n"
                                   "[Buttons]\r\nName=Pads\r\nTop=150\r\nLeft=4200\r\nTag=2\r\n[Buttons Data]\r\n"
                                   "Control=Patch Up\r\nControlNum=211\r\nPatchID=1\r\n"
                                   "Control=Patch Down\r\nControlNum=210\r\nPatchID=1\r\n"
                                   "Control=Vol\r\nControlNum=7\r\nControl=Hold\r\nControlNum=64\r\n"));
    Desk desk;
    desk.window->resize(1000, 600);
    desk.dialogs.setDefaultAnswer(MsgAnswer::Ok);
    desk.dialogs.answer(session);
    desk.window->LoadSession_Click();
    QTest::qWait(50);
    EXPECT_TRUE(desk.window->grab().save(folder + "/loaded-desk.png"));
}

}  // namespace
}  // namespace orvell
