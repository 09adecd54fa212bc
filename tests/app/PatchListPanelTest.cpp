#include "app/AOrvell.h"
#include "app/MainMenus.h"
#include "controllers/FaderPanel.h"
#include "core/SectionFile.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/Shared.h"
#include "patches/PatchListPanel.h"
#include "patches/RemotePatch.h"
#include "support/TestDesk.h"

#include <QApplication>
#include <QComboBox>
#include <QEnterEvent>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace orvell {
namespace {

using Bytes = std::vector<std::uint8_t>;

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

struct Desk : test::TestDesk {
    Desk()
    {
        start({1000, 700});
        dialogs.clear();
    }

    PatchListPanel* addList() { return qobject_cast<PatchListPanel*>(window->createPanel(PanelClass::PatchList)); }

    // A list of `count` patches, programs 20 upwards, on channel 1 and port 1.
    PatchListPanel* listOf(int count, const QString& name = QStringLiteral("Synth"))
    {
        QByteArray text = "; 1, 1    (last chan,port) @@\r\n[" + name.toUtf8() + "]\r\n";
        for (int i = 0; i < count; ++i)
            text += QByteArray::number(20 + i) + "=Patch " + QByteArray::number(i) + "\r\n";
        const QString path = dir.filePath(name + QStringLiteral(".ins"));
        EXPECT_TRUE(writeFile(path, text));
        PatchListPanel* panel = addList();
        EXPECT_TRUE(panel->loadPatchFile(path, {}));
        midi->clearSent();
        return panel;
    }

    std::vector<Bytes> sentBytes() const
    {
        std::vector<Bytes> out;
        for (const auto& message : midi->sent())
            out.push_back(message.bytes);
        return out;
    }

    void activate(Panel* panel) { window->mdiArea().setActiveSubWindow(panel->subWindow()); }

    QTemporaryDir dir;
};

QStringList names(const PatchListPanel* panel)
{
    QStringList out;
    for (const PatchEntry& entry : panel->entries().all())
        out << QString::number(entry.prog) + u'=' + entry.name;
    return out;
}

void selectRows(PatchListPanel* panel, std::initializer_list<int> rows)
{
    QItemSelectionModel* selection = panel->PatchLst()->selectionModel();
    selection->clear();
    for (int row : rows)
        selection->select(panel->entries().index(row), QItemSelectionModel::Select);
    if (rows.size() > 0)
        selection->setCurrentIndex(panel->entries().index(*rows.begin()), QItemSelectionModel::NoUpdate);
}

void key(PatchListPanel* panel, Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(panel->PatchLst(), k, modifiers);
}

TEST(PatchListPanel, LoadPatchListFillsANewPanelAndADoubleClickSendsOnItsChannelAndPort)
{
    Desk desk;
    const QString path = desk.dir.filePath(QStringLiteral("strings.ins"));
    ASSERT_TRUE(writeFile(path, "; 10, 2    (last chan,port) @@\r\n[Strings]\r\n48=Slow Strings\r\n49=Tremolo\r\n"));
    desk.dialogs.answer(path);
    desk.window->LoadPatchLst_Click();
    ASSERT_EQ(desk.window->panelsOf(PanelClass::PatchList).size(), 1);
    auto* panel = qobject_cast<PatchListPanel*>(desk.window->panelsOf(PanelClass::PatchList).front());
    EXPECT_EQ(panel->caption(), "Strings");
    EXPECT_EQ(names(panel), (QStringList{"48=Slow Strings", "49=Tremolo"}));
    EXPECT_EQ(panel->channelText(), "10");
    EXPECT_EQ(panel->portText(), "2");
    EXPECT_EQ(panel->MyFileName, path);
    EXPECT_EQ(desk.shared->PatchDir, desk.dir.path() + u'/');
    EXPECT_EQ(desk.dialogs.asked()[0].file.fileName, QString());

    QListView* list = panel->PatchLst();
    const QRect row = list->visualRect(panel->entries().index(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_TRUE(desk.midi->sent().empty());  // a single click only selects
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
    ASSERT_EQ(desk.midi->sent().size(), 1u);
    EXPECT_EQ(desk.midi->sent()[0].bytes, (Bytes{0xC9, 49}));
    EXPECT_EQ(desk.midi->sent()[0].port, 2);

    desk.midi->clearSent();
    key(panel, Qt::Key_Space);
    key(panel, Qt::Key_Return);
    EXPECT_EQ(desk.sentBytes(), (std::vector<Bytes>{{0xC9, 49}, {0xC9, 49}}));
}

TEST(PatchListPanel, AnEmptyActiveListTakesTheNextLoadAndAMultiSynthListIsRefused)
{
    Desk desk;
    const QString multi = desk.dir.filePath(QStringLiteral("multi.ins"));
    ASSERT_TRUE(writeFile(multi, "; Multi-PatchList Chn/port on each line @@\r\n[Mix]\r\n48=Slow 3, 1\r\n"));
    // Without a patch list to take it, a refused file leaves no empty panel behind.
    desk.dialogs.answer(multi);
    desk.window->LoadPatchLst_Click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(desk.window->panelsOf(PanelClass::PatchList).isEmpty());

    PatchListPanel* empty = desk.addList();
    desk.dialogs.answer(multi);
    desk.window->LoadPatchLst_Click();
    EXPECT_TRUE(desk.dialogs.wasAsked(desk.shared->msg(46)));
    EXPECT_TRUE(empty->isEmpty());
    EXPECT_EQ(desk.window->panelsOf(PanelClass::PatchList).size(), 1);

    const QString banks = desk.dir.filePath(QStringLiteral("banks.ins"));
    ASSERT_TRUE(writeFile(banks, "[One]\r\n1=A\r\n[Two]\r\n2=B\r\n"));
    desk.activate(empty);
    desk.dialogs.answer(banks);
    desk.dialogs.answer(MsgAnswer::No);
    desk.dialogs.answer(MsgAnswer::Yes);
    desk.window->LoadPatchLst_Click();
    EXPECT_EQ(desk.window->panelsOf(PanelClass::PatchList).size(), 1);
    EXPECT_EQ(names(empty), QStringList{"2=B"});
    EXPECT_EQ(empty->caption(), "Two");
}

TEST(PatchListPanel, RemoteOperationsWrapRoundAndPickByValue)
{
    Desk desk;
    PatchListPanel* panel = desk.listOf(10);
    PanelHost& host = *desk.window;
    const QString tag = panel->Tag;
    struct Step {
        const char* what;
        std::function<bool()> run;
        int index;
        std::vector<Bytes> sent;
    };
    const std::vector<Step> steps = {
        {"change 127 picks the last", [&] { return RemotePatchChange(host, tag, 127); }, 9, {{0xC0, 29}}},
        {"change 0 picks the first", [&] { return RemotePatchChange(host, tag, 0); }, 0, {{0xC0, 20}}},
        {"change 64 rounds 4.535 to 5", [&] { return RemotePatchChange(host, tag, 64); }, 5, {{0xC0, 25}}},
        {"the same index sends nothing", [&] { return RemotePatchChange(host, tag, 65); }, 5, {}},
        {"down", [&] { return RemotePatchDown(host, tag); }, 6, {{0xC0, 26}}},
        {"up", [&] { return RemotePatchUp(host, tag); }, 5, {{0xC0, 25}}},
        {"up from the first wraps to the last",
         [&] { return RemotePatchChange(host, tag, 0) && RemotePatchUp(host, tag); }, 9, {{0xC0, 20}, {0xC0, 29}}},
        {"down from the last wraps to the first", [&] { return RemotePatchDown(host, tag); }, 0, {{0xC0, 20}}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        desk.midi->clearSent();
        EXPECT_TRUE(step.run());
        EXPECT_EQ(panel->ListIndex(), step.index);
        EXPECT_EQ(panel->selectedRows(), QList<int>{step.index});
        EXPECT_EQ(desk.sentBytes(), step.sent);
    }
    EXPECT_EQ(patchChangeIndex(64, 10), 5);
    EXPECT_EQ(patchChangeIndex(127, 1), 0);
}

TEST(PatchListPanel, PatchUpOnAListOfOneSendsThatPatchAgain)
{
    Desk desk;
    PatchListPanel* panel = desk.listOf(1);
    EXPECT_TRUE(RemotePatchUp(*desk.window, panel->Tag));
    EXPECT_TRUE(RemotePatchUp(*desk.window, panel->Tag));
    EXPECT_TRUE(RemotePatchDown(*desk.window, panel->Tag));
    EXPECT_EQ(desk.sentBytes(), (std::vector<Bytes>{{0xC0, 20}, {0xC0, 20}, {0xC0, 20}}));
    EXPECT_EQ(panel->ListIndex(), 0);
}

TEST(PatchListPanel, RemoteOperationsOnAVanishedOrEmptyListFailAndSayWhy)
{
    Desk desk;
    EXPECT_FALSE(RemotePatchUp(*desk.window, QStringLiteral("99")));
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    EXPECT_EQ(desk.dialogs.asked()[0].text, "Patch Up: " + desk.shared->msg(72) + " (99)");
    EXPECT_EQ(desk.dialogs.asked()[0].icon, MsgIcon::Exclamation);
    EXPECT_FALSE(RemotePatchChange(*desk.window, QStringLiteral("98"), 3));
    EXPECT_TRUE(desk.dialogs.asked()[1].text.startsWith("Patch Chg: "));

    PatchListPanel* empty = desk.addList();
    EXPECT_FALSE(RemotePatchDown(*desk.window, empty->Tag));
    EXPECT_EQ(desk.field(0), u' ' + desk.shared->msg(56));
    EXPECT_EQ(desk.field(1), u' ' + desk.shared->msg(3));
    EXPECT_TRUE(desk.midi->sent().empty());
}

// A fader of type Patch Chg pointed at the list, loaded as a session would.
FaderPanel* patchFader(Desk& desk, const QString& tag)
{
    auto* faders = qobject_cast<FaderPanel*>(desk.window->createPanel(PanelClass::HFaders));
    const QByteArray section = "[HFaders Data]\r\nControl=Patch Chg\r\nControlNum=212\r\nFaderVal=0\r\nPatchID=" +
                               tag.toUtf8() + "\r\nChannel=1\r\nPort=1\r\n";
    SectionReader in(section);
    in.next();
    desk.shared->flags.Initializing = true;
    EXPECT_TRUE(faders->LoadMe(in).isEmpty());
    desk.shared->flags.Initializing = false;
    desk.midi->clearSent();
    return faders;
}

TEST(PatchListPanel, APatchChangeFaderStepsThroughTheListAndKeepsItOpen)
{
    Desk desk;
    PatchListPanel* panel = desk.listOf(10);
    FaderPanel* faders = patchFader(desk, panel->Tag);
    faders->fader(0)->setValue(127);
    faders->fader(0)->setValue(64);
    EXPECT_EQ(desk.sentBytes(), (std::vector<Bytes>{{0xC0, 29}, {0xC0, 25}}));
    EXPECT_EQ(faders->controlsTargeting(PanelClass::PatchList, panel->Tag), 1);
    EXPECT_EQ(faders->controlsTargeting(PanelClass::PatchList, QStringLiteral("1234")), 0);

    panel->subWindow()->close();
    QCoreApplication::processEvents();
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    EXPECT_EQ(desk.dialogs.asked()[0].text, desk.shared->msg(171) + "1" + desk.shared->msg(172));
    EXPECT_EQ(desk.window->panelsOf(PanelClass::PatchList).size(), 1);

    // Once the fader is gone, the list closes.
    desk.dialogs.answer(MsgAnswer::No);  // the fader panel's own question
    faders->subWindow()->close();
    panel->subWindow()->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(desk.window->panelsOf(PanelClass::PatchList).isEmpty());
}

TEST(PatchListPanel, CopyCutAndPasteKeepOrderAndRefuseADuplicateProgram)
{
    Desk desk;
    PatchListPanel* from = desk.listOf(3, QStringLiteral("From"));  // 20, 21, 22
    PatchListPanel* to = desk.listOf(2, QStringLiteral("To"));      // 20, 21
    selectRows(from, {1, 2});
    key(from, Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(desk.window->patchClipboard().entries.size(), 2u);
    EXPECT_EQ(desk.window->patchClipboard().entries[0].channel, "1");
    EXPECT_EQ(desk.window->patchClipboard().entries[0].port, 1);

    // 21 is in the target already: nothing is pasted, both entries are named.
    desk.activate(to);
    desk.window->PastePtchAfter();
    EXPECT_EQ(names(to), (QStringList{"20=Patch 0", "21=Patch 1"}));
    EXPECT_EQ(desk.field(0), " Patch 1" + desk.shared->msg(142) + "Patch 1");
    EXPECT_FALSE(to->NeedInsSave);

    // Cut with Delete, then paste before the selection with Insert.
    selectRows(to, {0, 1});
    key(to, Qt::Key_Delete);
    EXPECT_TRUE(to->isEmpty());
    EXPECT_FALSE(to->NeedInsSave);  // an empty list has nothing to save
    desk.activate(from);
    selectRows(from, {0});
    desk.window->CutPatch();
    EXPECT_EQ(names(from), (QStringList{"21=Patch 1", "22=Patch 2"}));
    EXPECT_TRUE(from->NeedInsSave);
    desk.activate(to);
    desk.window->PastePtchBefore();
    EXPECT_EQ(names(to), QStringList{"20=Patch 0"});
    selectRows(from, {0, 1});
    desk.window->CopyPatch();  // the active panel is `to`, with nothing selected: the clipboard stays
    EXPECT_EQ(desk.window->patchClipboard().entries.size(), 1u);
    key(from, Qt::Key_C, Qt::ControlModifier);
    selectRows(to, {0});
    key(to, Qt::Key_Insert);
    EXPECT_EQ(names(to), (QStringList{"21=Patch 1", "22=Patch 2", "20=Patch 0"}));
    selectRows(to, {0});
    desk.window->patchClipboard().entries = {{QStringLiteral("New"), 90, {}, 0}};
    desk.window->PastePtchAfter();
    EXPECT_EQ(names(to), (QStringList{"21=Patch 1", "90=New", "22=Patch 2", "20=Patch 0"}));
    EXPECT_TRUE(to->NeedInsSave);
}

TEST(PatchListPanel, RightClickOpensThePatchEditMenuAndHintsFollowTheList)
{
    Desk desk;
    PatchListPanel* panel = desk.addList();
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(panel->PatchLst()->viewport(), &enter);
    EXPECT_EQ(desk.field(2), u' ' + desk.shared->msg(176));
    PatchListPanel* full = desk.listOf(2);
    QCoreApplication::sendEvent(full->PatchLst()->viewport(), &enter);
    EXPECT_EQ(desk.field(2), u' ' + desk.shared->msg(27));

    QTest::mouseClick(full->PatchLst()->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(desk.window->menus().lastPopup(), "PatchMenu");
    if (QMenu* menu = desk.window->menus().menu(QStringLiteral("PatchMenu")))
        menu->hide();
    EXPECT_EQ(desk.window->activePanel(), full);
}

TEST(PatchListPanel, ChannelAndPortAreChosenFromTheirLabels)
{
    Desk desk;
    PatchListPanel* panel = desk.listOf(2);
    auto* chanLbl = panel->findChild<QLabel*>(QStringLiteral("ChanLbl"));
    auto* portLbl = panel->findChild<QLabel*>(QStringLiteral("PortLbl"));
    auto* channel = panel->findChild<QComboBox*>(QStringLiteral("Channel"));
    auto* port = panel->findChild<QComboBox*>(QStringLiteral("Port"));
    ASSERT_TRUE(chanLbl && portLbl && channel && port);

    struct Case {
        const char* typed;
        bool enter;
        const char* shown;
    };
    const Case cases[] = {{"12", false, "12"}, {"17", false, "12"}, {"3", true, "3"}, {"x", true, "3"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        QTest::mouseDClick(chanLbl, Qt::LeftButton);
        ASSERT_TRUE(channel->isVisible());
        channel->lineEdit()->clear();
        QTest::keyClicks(channel->lineEdit(), QString::fromLatin1(c.typed));
        if (c.enter)
            QTest::keyClick(channel->lineEdit(), Qt::Key_Return);
        EXPECT_FALSE(channel->isVisible());
        EXPECT_EQ(panel->channelText(), QString::fromLatin1(c.shown));
    }
    EXPECT_TRUE(panel->IsChanged);

    QTest::mouseDClick(portLbl, Qt::LeftButton);
    ASSERT_TRUE(port->isVisible());
    port->lineEdit()->clear();
    QTest::keyClicks(port->lineEdit(), QStringLiteral("2"));
    QTest::keyClick(port->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(panel->portText(), "2");
    EXPECT_EQ(desk.midi->openDeviceCount(1), 1);  // port 2 is the second device
    EXPECT_EQ(desk.midi->openDeviceCount(0), 0);

    selectRows(panel, {1});
    panel->RmtDblClick();
    EXPECT_EQ(desk.sentBytes(), (std::vector<Bytes>{{0xC2, 21}}));
}

TEST(PatchListPanel, TheKeyboardTypesIntoTheChannelAndPortSelectors)
{
    Desk desk;
    QApplication::setActiveWindow(desk.window.get());
    PatchListPanel* panel = desk.listOf(2);
    selectRows(panel, {1});
    struct Case {
        const char* label;
        const char* selector;
        const char* typed;  // nullptr: Escape after typing 5
        const char* channel;  // the labels afterwards
        const char* port;
        Bytes sent;  // by Enter on the list afterwards
    };
    const Case cases[] = {
        {"ChanLbl", "Channel", "5", "5", "1", {0xC4, 21}},
        {"ChanLbl", "Channel", "17", "5", "1", {0xC4, 21}},
        {"ChanLbl", "Channel", "x", "5", "1", {0xC4, 21}},
        {"ChanLbl", "Channel", nullptr, "5", "1", {0xC4, 21}},
        {"ChanLbl", "Channel", "16", "16", "1", {0xCF, 21}},
        {"PortLbl", "Port", "2", "16", "2", {0xCF, 21}},
        {"PortLbl", "Port", "9", "16", "2", {0xCF, 21}},
        {"PortLbl", "Port", nullptr, "16", "2", {0xCF, 21}},
        {"PortLbl", "Port", "1", "16", "1", {0xCF, 21}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.selector << " " << (c.typed ? c.typed : "Escape"));
        QTest::mouseDClick(panel->findChild<QLabel*>(QString::fromLatin1(c.label)), Qt::LeftButton);
        auto* combo = panel->findChild<QComboBox*>(QString::fromLatin1(c.selector));
        ASSERT_TRUE(combo->isVisible());
        // Keys go where the keyboard is, as a user's would.
        QWidget* focus = QApplication::focusWidget();
        ASSERT_TRUE(focus == combo || focus == combo->lineEdit());
        QTest::keyClicks(focus, QString::fromLatin1(c.typed ? c.typed : "5"));
        if (combo->isVisible())
            QTest::keyClick(QApplication::focusWidget(), c.typed ? Qt::Key_Return : Qt::Key_Escape);
        EXPECT_FALSE(combo->isVisible());
        EXPECT_EQ(panel->channelText(), QString::fromLatin1(c.channel));
        EXPECT_EQ(panel->portText(), QString::fromLatin1(c.port));
        EXPECT_TRUE(desk.sentBytes().empty());
        // The keyboard is back with the panel, and the list sends on the labels' channel and port.
        EXPECT_NE(QApplication::focusWidget(), combo);
        QTest::keyClick(panel->PatchLst(), Qt::Key_Return);
        EXPECT_EQ(desk.sentBytes(), std::vector<Bytes>{c.sent});
        ASSERT_FALSE(desk.midi->sent().empty());
        EXPECT_EQ(desk.midi->sent().back().port, QString::fromLatin1(c.port).toInt());
        desk.midi->clearSent();
    }
}

TEST(PatchListPanel, SessionKeysRestoreFileChannelPortAndSelection)
{
    Desk desk;
    const QString path = desk.dir.filePath(QStringLiteral("two.ins"));
    ASSERT_TRUE(writeFile(path, "; 4, 1    (last chan,port) @@\r\n[One]\r\n1=A\r\n2=B\r\n3=C\r\n[Two]\r\n9=Z\r\n"));
    struct Case {
        const char* what;
        QString name;
        QByteArray keys;
        QStringList entries;
        int selected;
        QString channel, port;
    };
    const std::vector<Case> cases = {
        {"the caption picks the bank", "Two", "Channel=7\r\nPort=2\r\nCurPatch=0\r\n", {"9=Z"}, 0, "7", "2"},
        {"CurPatch -1 selects nothing", "One", "Channel=4\r\nPort=1\r\nCurPatch=-1\r\n", {"1=A", "2=B", "3=C"}, -1,
         "4", "1"},
        {"CurPatch past the end selects nothing", "One", "Channel=4\r\nPort=1\r\nCurPatch=3\r\n",
         {"1=A", "2=B", "3=C"}, -1, "4", "1"},
        {"CurPatch within the list", "One", "Channel=4\r\nPort=1\r\nCurPatch=2\r\n", {"1=A", "2=B", "3=C"}, 2, "4",
         "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PatchListPanel* panel = desk.addList();
        panel->setCaption(c.name);
        const QByteArray section = "[PatchList Data]\r\nBackPictFile=\r\nIDIcon=37\r\nIsOpaque=False\r\n"
                                   "TextBackColor=-2147483633\r\nFileName=" +
                                   path.toUtf8() + "\r\n" + c.keys;
        SectionReader in(section);
        in.next();
        desk.shared->flags.Initializing = true;
        EXPECT_TRUE(panel->LoadMe(in).isEmpty());
        desk.shared->flags.Initializing = false;
        EXPECT_EQ(names(panel), c.entries);
        EXPECT_EQ(panel->ListIndex(), c.selected);
        EXPECT_EQ(panel->channelText(), c.channel);
        EXPECT_EQ(panel->portText(), c.port);
        EXPECT_EQ(panel->MyFileName, path);
        EXPECT_TRUE(desk.dialogs.asked().empty());
        SectionWriter out;
        panel->SaveMe(out);
        const QByteArray expected =
            section.left(section.lastIndexOf("CurPatch=")) + "CurPatch=" + QByteArray::number(c.selected) + "\r\n";
        EXPECT_EQ(out.bytes().toStdString(), ("\r\n" + expected).toStdString());
    }
}

TEST(PatchListPanel, SaveButtonWritesTheHeaderAndClosingAsksAboutAnUnsavedList)
{
    Desk desk;
    PatchListPanel* panel = desk.listOf(2);
    desk.window->patchClipboard().entries = {{QStringLiteral("Extra"), 77, {}, 0}};
    desk.activate(panel);
    desk.window->PastePtchAfter();
    ASSERT_TRUE(panel->NeedInsSave);

    // Cancel keeps the panel; Yes saves it under the name given, then it closes.
    desk.dialogs.answer(MsgAnswer::Cancel);
    panel->subWindow()->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(desk.dialogs.asked().back().text, desk.shared->msg(231));
    ASSERT_EQ(desk.window->panelsOf(PanelClass::PatchList).size(), 1);

    const QString saved = desk.dir.filePath(QStringLiteral("saved.txt"));
    desk.dialogs.answer(MsgAnswer::Yes);
    desk.dialogs.answer(saved);
    desk.dialogs.answer(QStringLiteral("Renamed"));
    desk.dialogs.answer(MsgAnswer::No);  // the renamed panel asks about its panel file
    panel->subWindow()->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(readAll(saved), "; 1, 1    (last chan,port) @@\r\n[Renamed]\r\n20=Patch 0\r\n21=Patch 1\r\n77=Extra\r\n");
    EXPECT_TRUE(desk.window->panelsOf(PanelClass::PatchList).isEmpty());
}

TEST(PatchListPanel, ACloneCopiesTheListItsChannelAndPort)
{
    Desk desk;
    PatchListPanel* panel = desk.listOf(3);
    selectRows(panel, {2});
    desk.activate(panel);
    desk.window->CloneForm_Click();
    auto* copy = qobject_cast<PatchListPanel*>(desk.window->activePanel());
    ASSERT_TRUE(copy && copy != panel);
    EXPECT_EQ(names(copy), names(panel));
    EXPECT_EQ(copy->caption(), panel->caption());
    EXPECT_EQ(copy->channelText(), "1");
    EXPECT_EQ(copy->portText(), "1");
    EXPECT_EQ(copy->MyFileName, panel->MyFileName);
    EXPECT_EQ(copy->ListIndex(), 2);
    EXPECT_EQ(desk.shared->midi.MidiOutPorts[1].OpenCount, 2);
}

TEST(PatchListPanel, NewPanelOnAnEmptyListLoadsAPatchListIntoIt)
{
    Desk desk;
    PatchListPanel* empty = desk.addList();
    const QString path = desk.dir.filePath(QStringLiteral("one.ins"));
    ASSERT_TRUE(writeFile(path, "[One]\r\n1=A\r\n"));
    desk.activate(empty);
    desk.dialogs.answer(path);
    desk.window->NewForm_Click();
    EXPECT_EQ(desk.window->panelsOf(PanelClass::PatchList).size(), 1);
    EXPECT_EQ(names(empty), QStringList{"1=A"});
    desk.window->NewForm_Click();  // a list with patches gets a sibling
    EXPECT_EQ(desk.window->panelsOf(PanelClass::PatchList).size(), 2);
}

TEST(PatchListPanel, TheExitOffersAnUnsavedListAndIsNotHeldByItsFaders)
{
    Desk desk;
    PatchListPanel* panel = desk.listOf(3);
    patchFader(desk, panel->Tag);
    selectRows(panel, {0});
    key(panel, Qt::Key_Delete);
    ASSERT_TRUE(panel->NeedInsSave);
    desk.dialogs.setDefaultAnswer(MsgAnswer::No);
    EXPECT_TRUE(desk.window->close());
    EXPECT_TRUE(desk.dialogs.wasAsked(desk.shared->msg(231)));
    EXPECT_FALSE(desk.dialogs.wasAsked(desk.shared->msg(171) + "1" + desk.shared->msg(172)));
}

}  // namespace
}  // namespace orvell
