// The patch-group panel driven as a user drives it, with the whole MIDI log
// checked after every action.
#include "app/AOrvell.h"
#include "controllers/FaderPanel.h"
#include "core/SectionFile.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/Shared.h"
#include "patches/PatchGroup.h"
#include "patches/RemotePatch.h"
#include "support/TestDesk.h"
#include "support/WidgetDriving.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace orvell {
namespace {

using Bytes = std::vector<std::uint8_t>;
struct Sent {
    int port;
    Bytes bytes;
    bool operator==(const Sent&) const = default;
};
using Log = std::vector<Sent>;
using test::child;

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray AlphaFile = "; 3, 1    (last chan,port) @@\r\n[Alpha]\r\n0=Piano\r\n1=Organ\r\n[Alpha Drums]\r\n0=Kit\r\n";
const QByteArray BetaFile = "[Beta]\r\n10=Bass\r\n11=Lead\r\n";

struct Desk : test::TestDesk {
    explicit Desk(const QString& appDir = {}) : TestDesk(2, 3)
    {
        start({1000, 700});
        QApplication::setActiveWindow(window.get());
        if (!appDir.isEmpty())
            shared->AppDir = appDir + u'/';
        dialogs.clear();
    }

    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(writeFile(path, bytes));
        return path;
    }

    PatchGroup* group()
    {
        const QList<Panel*> groups = window->panelsOf(PanelClass::PatchGroup);
        return groups.isEmpty() ? nullptr : qobject_cast<PatchGroup*>(groups.back());
    }

    // Alpha from a file with its channel and port, Beta from one without,
    // answered with port 2 and channel 5.
    PatchGroup* withTwoSynths()
    {
        window->toolsToggle(PanelClass::PatchGroup);
        PatchGroup* panel = group();
        EXPECT_NE(panel, nullptr);
        dialogs.answer(file(QStringLiteral("alpha.ins"), AlphaFile));
        click(panel, "LoadInsBtn");
        dialogs.answer(file(QStringLiteral("beta.ins"), BetaFile));
        dialogs.answer(QStringLiteral("2"));
        dialogs.answer(QStringLiteral("5"));
        click(panel, "LoadInsBtn");
        EXPECT_EQ(dialogs.pendingAnswers(), 0u);
        dialogs.clear();
        return panel;
    }

    void click(PatchGroup* panel, const char* button)
    {
        QTest::mouseClick(child<QPushButton>(panel, QString::fromLatin1(button)), Qt::LeftButton);
    }

    // What was sent since the last look.
    Log take()
    {
        Log out;
        for (const auto& message : midi->sent())
            out.push_back({message.port, message.bytes});
        midi->clearSent();
        return out;
    }

    QTemporaryDir dir;
};

void chooseSynth(PatchGroup* panel, int index)
{
    auto* synths = child<QComboBox>(panel, QStringLiteral("Synths"));
    synths->setCurrentIndex(index);
    emit synths->activated(index);
}

void selectRows(QListView* list, std::initializer_list<int> rows)
{
    QItemSelectionModel* selection = list->selectionModel();
    selection->clear();
    for (int row : rows)
        selection->select(list->model()->index(row, 0), QItemSelectionModel::Select);
    if (rows.size() > 0)
        selection->setCurrentIndex(list->model()->index(*rows.begin(), 0), QItemSelectionModel::NoUpdate);
}

void doubleClickRow(QListView* list, int row)
{
    list->doItemsLayout();  // rows filled since the last paint are placed
    const QRect at = list->visualRect(list->model()->index(row, 0));
    // A double-click starts as a click, as it does under a real mouse.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at.center());
}

QString label(PatchGroup* panel, const char* name) { return child<QLabel>(panel, QString::fromLatin1(name))->text(); }

TEST(PatchGroup, SynthsLoadWithTheirQuestionsAndADoubleClickAuditionsOnTheSynthsChannelAndPort)
{
    Desk desk;
    PatchGroup* panel = desk.withTwoSynths();
    EXPECT_TRUE(desk.take().empty());
    ASSERT_EQ(panel->synths().count(), 2);  // the drum bank is no synth
    EXPECT_EQ(panel->SynthFNames(),
              "Alpha|" + desk.dir.filePath("alpha.ins") + "|Beta|" + desk.dir.filePath("beta.ins") + '|');
    EXPECT_EQ(desk.shared->PatchDir, desk.dir.path() + u'/');

    // The synth loaded last is shown.
    EXPECT_EQ(panel->CurSynth(), 1);
    EXPECT_EQ(label(panel, "OchnLbl"), "5");
    EXPECT_EQ(label(panel, "OprtLbl"), "2");
    EXPECT_EQ(label(panel, "InsLbl"), "2");

    QListView* instruments = panel->SynthInstr();
    QTest::mouseClick(instruments->viewport(), Qt::LeftButton, {},
                      instruments->visualRect(instruments->model()->index(1, 0)).center());
    EXPECT_TRUE(desk.take().empty());  // a click only selects
    doubleClickRow(instruments, 1);
    EXPECT_EQ(desk.take(), (Log{{2, {0xC4, 11}}}));
    QTest::keyClick(instruments, Qt::Key_Return);
    EXPECT_EQ(desk.take(), (Log{{2, {0xC4, 11}}}));

    chooseSynth(panel, 0);
    EXPECT_EQ(label(panel, "OchnLbl"), "3");
    EXPECT_EQ(label(panel, "OprtLbl"), "1");
    EXPECT_TRUE(desk.take().empty());
    doubleClickRow(instruments, 0);
    EXPECT_EQ(desk.take(), (Log{{1, {0xC2, 0}}}));
}

TEST(PatchGroup, TheSubGroupPlaysEachEntryOnItsOwnSynthAndRefusesTheSameProgramOnThePortTwice)
{
    Desk desk;
    PatchGroup* panel = desk.withTwoSynths();
    auto* save = child<QPushButton>(panel, QStringLiteral("SaveBtn"));
    EXPECT_FALSE(save->isEnabled());

    selectRows(panel->SynthInstr(), {0});  // Beta's Bass
    desk.click(panel, "AddFavBtn");
    chooseSynth(panel, 0);
    selectRows(panel->SynthInstr(), {0, 1});
    desk.click(panel, "AddFavBtn");
    EXPECT_TRUE(desk.take().empty());
    const std::vector<PatchEntry> group = {{"Bass", 10, "5", 2}, {"Piano", 0, "3", 1}, {"Organ", 1, "3", 1}};
    EXPECT_EQ(panel->entries().all(), group);
    EXPECT_EQ(label(panel, "FavLbl"), "3");
    EXPECT_TRUE(save->isEnabled());
    EXPECT_TRUE(panel->NeedInsSave);

    // Organ again: refused by name, with Piano before it kept only once.
    selectRows(panel->SynthInstr(), {1});
    desk.click(panel, "AddFavBtn");
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    EXPECT_EQ(desk.dialogs.asked()[0].text, "Organ" + desk.shared->msg(142) + "Organ");
    EXPECT_EQ(panel->entries().all(), group);

    doubleClickRow(panel->PatchLst(), 0);
    EXPECT_EQ(desk.take(), (Log{{2, {0xC4, 10}}}));
    QTest::keyClick(panel->PatchLst(), Qt::Key_Space);
    EXPECT_EQ(desk.take(), (Log{{2, {0xC4, 10}}}));
    EXPECT_TRUE(RemotePatchDown(*desk.window, panel->Tag));
    EXPECT_EQ(desk.take(), (Log{{1, {0xC2, 0}}}));
    EXPECT_TRUE(RemotePatchUp(*desk.window, panel->Tag));
    EXPECT_EQ(desk.take(), (Log{{2, {0xC4, 10}}}));
}

TEST(PatchGroup, ASavedSubGroupIsAMultiSynthListThatLoadsBack)
{
    Desk desk;
    PatchGroup* panel = desk.withTwoSynths();
    selectRows(panel->SynthInstr(), {0, 1});
    desk.click(panel, "AddFavBtn");
    chooseSynth(panel, 0);
    selectRows(panel->SynthInstr(), {1});
    desk.click(panel, "AddFavBtn");
    const std::vector<PatchEntry> group = panel->entries().all();

    const QString path = desk.dir.filePath(QStringLiteral("mix.ins"));
    desk.dialogs.answer(path);
    desk.dialogs.answer(QStringLiteral("mix"));  // the name proposed: the file's
    desk.click(panel, "SaveBtn");
    EXPECT_EQ(readAll(path), "; Multi-PatchList Chn/port on each line @@\r\n[mix]\r\n10=Bass 5, 2\r\n11=Lead 5, 2\r\n"
                             "1=Organ 3, 1\r\n");
    EXPECT_EQ(panel->caption(), "mix");
    EXPECT_FALSE(panel->NeedInsSave);
    EXPECT_TRUE(panel->AsMulti);

    // Saved, so Clear asks nothing; the sub-group comes back from the file.
    desk.dialogs.clear();
    desk.click(panel, "ClearPatchBtn");
    EXPECT_TRUE(desk.dialogs.asked().empty());
    EXPECT_TRUE(panel->entries().isEmpty());
    EXPECT_FALSE(child<QPushButton>(panel, QStringLiteral("ClearPatchBtn"))->isEnabled());
    desk.dialogs.answer(path);
    desk.click(panel, "LoadMultiBtn");
    EXPECT_EQ(panel->entries().all(), group);
    EXPECT_EQ(panel->MyFileName, path);
    EXPECT_EQ(panel->synths().count(), 2);  // a sub-group makes no synths
    EXPECT_TRUE(desk.take().empty());

    // Deleting two asks by count; an unsaved sub-group asks before it is cleared or replaced.
    selectRows(panel->PatchLst(), {0, 2});
    desk.dialogs.answer(MsgAnswer::Yes);
    desk.click(panel, "DelPatchBtn");
    EXPECT_EQ(desk.dialogs.asked().back().text,
              desk.shared->msg(90) + desk.shared->msg(82) + "2" + desk.shared->msg(83) + desk.shared->msg(50));
    EXPECT_EQ(panel->entries().all(), std::vector<PatchEntry>{group[1]});
    desk.dialogs.answer(MsgAnswer::No);
    desk.click(panel, "ClearPatchBtn");
    EXPECT_EQ(desk.dialogs.asked().back().text,
              desk.shared->msg(102) + u'\r' + desk.shared->msg(101) + desk.shared->msg(50));
    EXPECT_EQ(panel->entries().count(), 1);
    desk.dialogs.answer(MsgAnswer::No);
    desk.click(panel, "LoadMultiBtn");
    EXPECT_EQ(desk.dialogs.asked().back().text, desk.shared->msg(141));
    EXPECT_EQ(panel->entries().count(), 1);
    EXPECT_TRUE(desk.take().empty());
}

TEST(PatchGroup, DeletingASynthAsksWhetherItsEntriesGoToo)
{
    for (const bool entriesToo : {false, true}) {
        SCOPED_TRACE(entriesToo);
        Desk desk;
        PatchGroup* panel = desk.withTwoSynths();
        selectRows(panel->SynthInstr(), {0});
        desk.click(panel, "AddFavBtn");
        chooseSynth(panel, 0);
        selectRows(panel->SynthInstr(), {0});
        desk.click(panel, "AddFavBtn");
        chooseSynth(panel, 1);
        desk.dialogs.answer(MsgAnswer::Yes);
        desk.dialogs.answer(entriesToo ? MsgAnswer::Yes : MsgAnswer::No);
        desk.click(panel, "DelSynthBtn");
        ASSERT_EQ(desk.dialogs.asked().size(), 2u);
        EXPECT_EQ(desk.dialogs.asked()[0].text, desk.shared->msg(90) + "Beta" + desk.shared->msg(50));
        EXPECT_EQ(desk.dialogs.asked()[1].text, desk.shared->msg(91) + "Beta?");
        ASSERT_EQ(panel->synths().count(), 1);
        EXPECT_EQ(panel->synths().at(0).name, "Alpha");
        EXPECT_EQ(label(panel, "OprtLbl"), "1");
        EXPECT_EQ(panel->entries().count(), entriesToo ? 1 : 2);
        EXPECT_EQ(panel->SynthFNames(), "Alpha|" + desk.dir.filePath("alpha.ins") + '|');
        // Port 2 stays open only while an entry still plays on it; closing lets go of every port.
        EXPECT_EQ(desk.midi->openDeviceCount(0), 1);
        EXPECT_EQ(desk.midi->openDeviceCount(1), entriesToo ? 0 : 1);
        desk.dialogs.setDefaultAnswer(MsgAnswer::No);
        panel->subWindow()->close();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(desk.midi->openDeviceCount(0), 0);
        EXPECT_EQ(desk.midi->openDeviceCount(1), 0);
    }
}

TEST(PatchGroup, TheInstrumentsCanBeCopiedButNotChangedAndTheSubGroupTakesAPaste)
{
    Desk desk;
    PatchGroup* panel = desk.withTwoSynths();
    QListView* instruments = panel->SynthInstr();
    instruments->setFocus();
    selectRows(instruments, {1});
    QTest::keyClick(instruments, Qt::Key_C, Qt::ControlModifier);
    const std::vector<PatchEntry> lead = {{"Lead", 11, "5", 2}};
    EXPECT_EQ(desk.window->patchClipboard().entries, lead);
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_X, Qt::ControlModifier}, {Qt::Key_V, Qt::ControlModifier},
                                         {Qt::Key_Delete, Qt::NoModifier}}) {
        QTest::keyClick(instruments, key, modifiers);
        EXPECT_EQ(desk.field(0), u' ' + desk.shared->msg(144));
        EXPECT_EQ(panel->instruments().count(), 2);
    }
    panel->PatchLst()->setFocus();
    QTest::keyClick(panel->PatchLst(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(panel->entries().all(), lead);
    QTest::keyClick(panel->PatchLst(), Qt::Key_Insert);  // the same program on the same port
    EXPECT_EQ(panel->entries().all(), lead);
    EXPECT_EQ(desk.field(0), u' ' + QStringLiteral("Lead") + desk.shared->msg(142) + "Lead");
    EXPECT_TRUE(desk.take().empty());
}

TEST(PatchGroup, ThePickListsSetTheSynthsOutputAndTheAuditionInputFromTheKeyboard)
{
    Desk desk;
    PatchGroup* panel = desk.withTwoSynths();
    struct Step {
        const char* label;
        const char* list;
        int entry;
        QString ochn, oprt, in;
    };
    const std::vector<Step> steps = {
        {"OchnLbl", "OChannel", 6, "7", "2", "port"},
        {"OprtLbl", "OPort", 2, "7", "3", "port"},
        {"PortLbl", "Port", 1, "7", "3", "2"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.label);
        auto* at = child<QLabel>(panel, QString::fromLatin1(step.label));
        at->setFocus();
        QTest::keyClick(at, Qt::Key_Return);
        auto* list = child<QComboBox>(panel, QString::fromLatin1(step.list));
        ASSERT_TRUE(list->isVisible());
        list->setCurrentIndex(step.entry);
        emit list->activated(step.entry);
        EXPECT_FALSE(list->isVisible());
        EXPECT_EQ(label(panel, "OchnLbl"), step.ochn);
        EXPECT_EQ(label(panel, "OprtLbl"), step.oprt);
        EXPECT_EQ(label(panel, "PortLbl"), step.in);
    }
    EXPECT_EQ(panel->synths().at(1).channel, "7");
    EXPECT_EQ(panel->synths().at(1).port, "3");
    EXPECT_EQ(panel->thruRoute(), (std::pair<QString, QString>{"2", "3"}));
    // Another synth moves the route to its port.
    chooseSynth(panel, 0);
    EXPECT_EQ(panel->thruRoute(), (std::pair<QString, QString>{"2", "1"}));
    doubleClickRow(panel->SynthInstr(), 1);
    EXPECT_EQ(desk.take(), (Log{{1, {0xC2, 1}}}));
}

TEST(PatchGroup, AKeyboardOnTheAuditionInputPlaysTheSynthShownAndTheRouteFollowsIt)
{
    Desk desk;
    PatchGroup* panel = desk.withTwoSynths();  // Beta on port 2 is shown
    const Bytes note{0x90, 60, 100}, bend{0xE0, 0, 64}, clock{0xF8};
    desk.midi->playInto(0, note);
    EXPECT_TRUE(desk.take().empty());  // no audition input chosen yet

    child<QComboBox>(panel, QStringLiteral("Port"))->setCurrentIndex(0);  // input 1
    panel->Port_Click();
    EXPECT_TRUE(desk.take().empty());
    for (const Bytes& message : {note, bend, clock})
        desk.midi->playInto(0, message);
    EXPECT_EQ(desk.take(), (Log{{2, note}, {2, bend}, {2, clock}}));
    desk.midi->playInto(1, note);  // the other keyboard is not routed
    EXPECT_TRUE(desk.take().empty());

    chooseSynth(panel, 0);
    desk.midi->playInto(0, note);
    EXPECT_EQ(desk.take(), (Log{{1, note}}));
    EXPECT_EQ(desk.midi->openInputCount(0), 1);

    // Gone with the panel: the keyboard plays nothing and every port is let go.
    desk.dialogs.setDefaultAnswer(MsgAnswer::No);
    panel->subWindow()->close();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    desk.midi->playInto(0, note);
    EXPECT_TRUE(desk.take().empty());
    EXPECT_EQ(desk.midi->openInputCount(0), 0);
    EXPECT_EQ(desk.midi->openDeviceCount(0), 0);
    EXPECT_EQ(desk.midi->openDeviceCount(1), 0);
}

// A fader of type Patch Chg pointed at the panel, loaded as a session would.
FaderPanel* patchFader(Desk& desk, const QString& tag)
{
    auto* faders = qobject_cast<FaderPanel*>(desk.window->createPanel(PanelClass::HFaders));
    const QByteArray section = "[HFaders Data]\r\nControl=Patch Chg\r\nControlNum=212\r\nFaderVal=0\r\nPatchID=" +
                               tag.toUtf8() + "\r\nChannel=1\r\nPort=1\r\n";
    EXPECT_TRUE(test::loadSection(*desk.shared, faders, section).isEmpty());
    desk.midi->clearSent();
    return faders;
}

TEST(PatchGroup, ClosingIsRefusedWhileAFaderStepsItAndAnUnsavedSubGroupIsOffered)
{
    Desk desk;
    PatchGroup* panel = desk.withTwoSynths();
    selectRows(panel->SynthInstr(), {0, 1});
    desk.click(panel, "AddFavBtn");
    FaderPanel* faders = patchFader(desk, panel->Tag);
    faders->fader(0)->setValue(127);
    EXPECT_EQ(desk.take(), (Log{{2, {0xC4, 11}}}));
    EXPECT_EQ(faders->controlsTargeting(PanelClass::PatchGroup, panel->Tag), 1);

    panel->subWindow()->close();
    QCoreApplication::processEvents();
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    EXPECT_EQ(desk.dialogs.asked()[0].text, desk.shared->msg(171) + "1" + desk.shared->msg(172));
    EXPECT_EQ(desk.window->panelsOf(PanelClass::PatchGroup).size(), 1);

    desk.dialogs.answer(MsgAnswer::No);  // the fader panel's own question
    faders->subWindow()->close();
    QCoreApplication::processEvents();
    desk.dialogs.clear();
    desk.dialogs.answer(MsgAnswer::Cancel);
    panel->subWindow()->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(desk.dialogs.asked().front().text, desk.shared->msg(231));
    EXPECT_EQ(desk.window->panelsOf(PanelClass::PatchGroup).size(), 1);
    desk.dialogs.setDefaultAnswer(MsgAnswer::No);
    panel->subWindow()->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(desk.window->panelsOf(PanelClass::PatchGroup).isEmpty());
    EXPECT_TRUE(desk.take().empty());
}

TEST(PatchGroup, ACloneHasTheSynthsAndTheSubGroupButNotTheAuditionInput)
{
    Desk desk;
    PatchGroup* panel = desk.withTwoSynths();
    selectRows(panel->SynthInstr(), {1});
    desk.click(panel, "AddFavBtn");
    desk.window->CloneForm_Click();
    PatchGroup* clone = desk.group();
    ASSERT_NE(clone, panel);
    EXPECT_EQ(clone->SynthFNames(), panel->SynthFNames());
    EXPECT_EQ(clone->entries().all(), panel->entries().all());
    EXPECT_EQ(clone->CurSynth(), panel->CurSynth());
    EXPECT_EQ(label(clone, "PortLbl"), "port");
    doubleClickRow(clone->SynthInstr(), 0);
    EXPECT_EQ(desk.take(), (Log{{2, {0xC4, 10}}}));
}

TEST(PatchGroupSession, SaveLoadSaveKeepsThePanelByteForByte)
{
    QTemporaryDir appDir;
    const QString first = appDir.filePath(QStringLiteral("first.orv"));
    const QString second = appDir.filePath(QStringLiteral("second.orv"));
    QString mix;
    QByteArray saved;
    {
        Desk original(appDir.path());
        PatchGroup* panel = original.withTwoSynths();
        selectRows(panel->SynthInstr(), {0});
        original.click(panel, "AddFavBtn");
        chooseSynth(panel, 0);
        selectRows(panel->SynthInstr(), {0, 1});
        original.click(panel, "AddFavBtn");
        mix = appDir.filePath(QStringLiteral("mix.ins"));
        original.dialogs.answer(mix);
        original.dialogs.answer(QStringLiteral("Mix"));
        original.click(panel, "SaveBtn");
        // The synth shown plays on a channel of the user's choosing; the audition comes from input 1.
        child<QComboBox>(panel, QStringLiteral("OChannel"))->setCurrentIndex(8);
        panel->OChannel_Click();
        child<QComboBox>(panel, QStringLiteral("Port"))->setCurrentIndex(0);
        panel->Port_Click();
        selectRows(panel->PatchLst(), {2});
        original.window->SessionFile = first;
        ASSERT_TRUE(original.window->SaveSession_Click());
        saved = readAll(first);
        const QByteArray section = "\r\n[PatchGroup Data]\r\nBackPictFile=\r\nIDIcon=38\r\nIsOpaque=False\r\n"
                                   "TextBackColor=-2147483633\r\nSynthFNames=Alpha|" +
                                   original.dir.filePath("alpha.ins").toUtf8() + "|Beta|" +
                                   original.dir.filePath("beta.ins").toUtf8() + "|\r\nFileName=" + mix.toUtf8() +
                                   "\r\nChannel=9\r\nPort=1\r\nInChannel=Chan\r\nInPort=1\r\nCurSynth=0\r\n"
                                   "CurPatch=2\r\n";
        EXPECT_TRUE(saved.contains(section)) << saved.toStdString();

        Desk copy(appDir.path());
        copy.dialogs.answer(first);
        copy.dialogs.answer(MsgAnswer::Ok);        // Beta's file still has no port:
        copy.dialogs.answer(QStringLiteral("2"));  // the user is told and asked again
        copy.dialogs.answer(QStringLiteral("5"));
        copy.window->LoadSession_Click();
        EXPECT_EQ(copy.dialogs.pendingAnswers(), 0u);
        PatchGroup* restored = copy.group();
        ASSERT_NE(restored, nullptr);
        EXPECT_EQ(restored->caption(), "Mix");
        EXPECT_EQ(restored->SynthFNames(), panel->SynthFNames());
        EXPECT_EQ(restored->entries().all(), panel->entries().all());
        EXPECT_EQ(restored->CurSynth(), 0);
        EXPECT_EQ(label(restored, "OchnLbl"), "9");
        EXPECT_EQ(restored->ListIndex(), 2);
        EXPECT_EQ(restored->thruRoute(), (std::pair<QString, QString>{"1", "1"}));
        EXPECT_FALSE(restored->NeedInsSave);
        EXPECT_TRUE(copy.take().empty());

        copy.window->SessionFile = second;
        ASSERT_TRUE(copy.window->SaveSession_Click());
        EXPECT_EQ(readAll(second), saved);
    }
}

}  // namespace
}  // namespace orvell
