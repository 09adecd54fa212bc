#include "app/AOrvell.h"
#include "app/MainMenus.h"
#include "app/MainToolbar.h"
#include "controllers/ButtonsPanel.h"
#include "controllers/FaderPanel.h"
#include "panels/Shared.h"
#include "patches/PatchListPanel.h"
#include "pointer/PanlPointer.h"
#include "sequencer/SequencerPanel.h"
#include "support/Files.h"
#include "support/TestDesk.h"
#include "support/WidgetDriving.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace orvell {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::child;

struct Desk : test::TestDesk {
    Desk()
    {
        sticks->plug(QStringLiteral("Pad"));
        start({1200, 800});
        dialogs.clear();
    }

    template <typename T>
    T* add(PanelClass id, const QString& name)
    {
        auto* panel = qobject_cast<T*>(window->createPanel(id));
        EXPECT_NE(panel, nullptr);
        panel->setCaption(name);
        return panel;
    }

    ButtonsPanel* buttons(const QString& name) { return add<ButtonsPanel>(PanelClass::Buttons, name); }
    PanlPointer* pointer() { return add<PanlPointer>(PanelClass::PanlPointer, QStringLiteral("Panel Pointer")); }

    // A list of two patches, programs `program` and up, on `channel` and port 1.
    PatchListPanel* list(const QString& name, int program, int channel)
    {
        const QString path = dir.filePath(name + QStringLiteral(".ins"));
        EXPECT_TRUE(test::writeFile(path, "; " + QByteArray::number(channel) + ", 1    (last chan,port) @@\r\n[" +
                                              name.toUtf8() + "]\r\n" + QByteArray::number(program) + "=One\r\n" +
                                              QByteArray::number(program + 1) + "=Two\r\n"));
        auto* panel = add<PatchListPanel>(PanelClass::PatchList, name);
        EXPECT_TRUE(panel->loadPatchFile(path, {}));
        panel->setCaption(name);
        return panel;
    }

    std::vector<Bytes> sent() const { return test::sentBytes(*midi); }
    std::vector<Bytes> take()
    {
        std::vector<Bytes> out = sent();
        midi->clearSent();
        return out;
    }

    QTemporaryDir dir;
};

// Gives slot `slot` the code and points it at `target`, as the selectors do.
void link(SlotPanel* panel, int slot, int code, Panel* target)
{
    QTest::mouseClick(child<QLabel>(panel, QStringLiteral("CntrlLbl%1").arg(slot)), Qt::LeftButton);
    auto* list = panel->Control();
    list->setCurrentIndex(list->findData(code));
    panel->Control_Click();
    ASSERT_EQ(panel->CurCtrl(slot), code);
    if (!target)
        return;
    auto* targets = child<QComboBox>(panel, QStringLiteral("SelPatch"));
    targets->setCurrentIndex(targets->findData(target->Tag.toInt()));
    ASSERT_GE(targets->currentIndex(), 0) << target->caption().toStdString();
    panel->SelPatch_Click();
}

void chooseKind(PanlPointer* pointer, int kind)
{
    pointer->CtrldType()->setCurrentIndex(kind);
    pointer->CtrldType_Click();
}

void chooseController(PanlPointer* pointer, const Panel* controller)
{
    pointer->PanlLst()->setCurrentIndex(pointer->PanlLst()->findData(controller->Tag));
    pointer->PanlLst_Click();
}

QStringList shown(const QListWidget* list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

QStringList controllersShown(const QComboBox* list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->itemText(i);
    return names;
}

void clickEntry(PanlPointer* pointer, int row)
{
    QListWidget* list = pointer->PatchLst();
    const QRect at = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at.center());
}

// Closed windows go, and the main window hears of it.
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void hover(QWidget* widget)
{
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(widget, &enter);
}

TEST(PanlPointer, PushButtonTargetsNeverPressTheControllerAgain)
{
    Desk desk;
    // A presses B, B presses C, C presses D; D presses nothing.
    ButtonsPanel* a = desk.buttons("A");
    ButtonsPanel* b = desk.buttons("B");
    ButtonsPanel* c = desk.buttons("C");
    ButtonsPanel* d = desk.buttons("D");
    link(a, 0, 213, b);
    link(b, 0, 213, c);
    link(c, 0, 213, d);
    PanlPointer* pointer = desk.pointer();
    chooseKind(pointer, PanlPointer::ButtonControls);
    EXPECT_EQ(controllersShown(pointer->PanlLst()), (QStringList{"A", "B", "C"}));

    struct Case {
        ButtonsPanel* controller;
        QStringList targets;
    };
    for (const Case& k : {Case{a, {"B", "C", "D"}}, Case{b, {"C", "D"}}, Case{c, {"D"}}}) {
        chooseController(pointer, k.controller);
        EXPECT_EQ(shown(pointer->PatchLst()), k.targets) << k.controller->caption().toStdString();
    }
    // Applying C to D keeps the chain as it is; nothing was offered that loops.
    clickEntry(pointer, 0);
    EXPECT_EQ(c->patchId(0), d->Tag.toInt());
    EXPECT_EQ(desk.field(0), " C pushes buttons on D");
    EXPECT_TRUE(desk.sent().empty());
}

TEST(PanlPointer, ChoosingAKindWithNothingToListSaysWhatIsMissing)
{
    struct Case {
        const char* what;
        int kind;
        bool withTarget;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"no patch list", PanlPointer::PatchControls, false,
         "You must have PatchList Panels open, and other\rpanels controlling them, to select this panel type"},
        {"nobody drives the list", PanlPointer::PatchControls, true,
         "You must have Button, Joystick, or Fader panels\rcontrolling PatchList Panels, to select this panel type"},
        {"no sequencer", PanlPointer::SequenceControls, false,
         "You must have Play Sequence Panels open, and other\rpanels controlling them, to select this panel type"},
        {"nobody plays the sequencer", PanlPointer::SequenceControls, true,
         "You must have Button or Joystick panels controlling\rPlay Sequence Panels, to select this panel type"},
    };
    for (const Case& c : cases) {
        Desk desk;
        if (c.withTarget) {
            if (c.kind == PanlPointer::PatchControls)
                desk.list("Synth", 10, 1);
            else
                desk.add<SequencerPanel>(PanelClass::Sequencer, "Song");
        }
        PanlPointer* pointer = desk.pointer();
        desk.dialogs.clear();
        chooseKind(pointer, c.kind);
        ASSERT_EQ(desk.dialogs.asked().size(), 1u) << c.what;
        EXPECT_EQ(desk.dialogs.asked()[0].text, c.message) << c.what;
        EXPECT_EQ(pointer->PanlLst()->count(), 0) << c.what;
    }
}

// A fader of type 216 picks, through the pointer, which list a Buttons
// panel's Patch Up steps; every action is checked against the whole MIDI log.
TEST(PanlPointer, AFaderChoosesWhichListAnotherPanelsPatchUpPlays)
{
    Desk desk;
    QAction* menuItem = desk.window->menus().action(QStringLiteral("PatchPanlPtr"));
    EXPECT_FALSE(menuItem->isEnabled());
    PatchListPanel* strings = desk.list("Strings", 40, 2);
    PatchListPanel* brass = desk.list("Brass", 60, 5);
    ButtonsPanel* buttons = desk.buttons("Pads");
    link(buttons, 0, 211, strings);
    // Something drives a list now, so the pointer is offered.
    EXPECT_TRUE(menuItem->isEnabled());
    EXPECT_TRUE(desk.window->toolbar().button(QStringLiteral("PnlPtrBtn"))->isEnabled());
    desk.window->toolsToggle(PanelClass::PanlPointer);
    auto* pointer = qobject_cast<PanlPointer*>(desk.window->panelsOf(PanelClass::PanlPointer).value(0));
    ASSERT_NE(pointer, nullptr);
    EXPECT_EQ(controllersShown(pointer->PanlLst()), QStringList{"Pads"});
    EXPECT_EQ(shown(pointer->PatchLst()), (QStringList{"Strings", "Brass"}));
    EXPECT_EQ(pointer->PatchLst()->currentRow(), 0);  // where Pads points now

    auto* faders = desk.add<FaderPanel>(PanelClass::HFaders, "Chooser");
    link(faders, 0, 216, pointer);
    desk.midi->clearSent();

    struct Step {
        const char* what;
        std::function<void()> act;
        std::vector<Bytes> sent;
        const char* status = nullptr;  // field 0 afterwards, when it matters
    };
    const std::vector<Step> steps = {
        {"Patch Up on Strings wraps to its last patch", [&] { QTest::mousePress(buttons->MButton(0), Qt::LeftButton); },
         {{0xC1, 41}}},
        {"release", [&] { QTest::mouseRelease(buttons->MButton(0), Qt::LeftButton); }, {}},
        {"the fader at the top picks Brass", [&] { faders->fader(0)->setValue(127); }, {},
         " Pads selects patches on Brass"},
        {"Patch Up now plays Brass", [&] { QTest::mousePress(buttons->MButton(0), Qt::LeftButton); }, {{0xC4, 61}}},
        {"release", [&] { QTest::mouseRelease(buttons->MButton(0), Qt::LeftButton); }, {}},
        {"the fader near the middle stays on Brass", [&] { faders->fader(0)->setValue(70); }, {}},
        {"again Brass, one patch up", [&] { QTest::mousePress(buttons->MButton(0), Qt::LeftButton); }, {{0xC4, 60}}},
        {"the fader at the bottom picks Strings", [&] { faders->fader(0)->setValue(0); }, {},
         " Pads selects patches on Strings"},
        {"Strings again", [&] { QTest::mousePress(buttons->MButton(0), Qt::LeftButton); }, {{0xC1, 40}}},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(desk.take(), step.sent) << step.what;
        if (step.status) {
            EXPECT_EQ(desk.field(0).toStdString(), step.status) << step.what;
        }
    }
    EXPECT_EQ(buttons->patchId(0), strings->Tag.toInt());
    EXPECT_NE(buttons->patchId(0), brass->Tag.toInt());
}

TEST(PanlPointer, RepointingAHeldPushButtonLetsGoOfTheOldTarget)
{
    Desk desk;
    ButtonsPanel* from = desk.buttons("From");
    ButtonsPanel* first = desk.buttons("First");
    ButtonsPanel* second = desk.buttons("Second");
    // Hold, Portamento, Sostenuto and Soft pedals: switches, momentary.
    for (int slot = 0; slot < 4; ++slot) {
        link(first, slot, 64 + slot, nullptr);
        link(second, slot, 64 + slot, nullptr);
    }
    link(from, 0, 213, first);
    PanlPointer* pointer = desk.pointer();
    chooseKind(pointer, PanlPointer::ButtonControls);
    ASSERT_EQ(shown(pointer->PatchLst()), (QStringList{"First", "Second"}));
    desk.midi->clearSent();

    const std::vector<Bytes> on = {{0xB0, 64, 127}, {0xB0, 65, 127}, {0xB0, 66, 127}, {0xB0, 67, 127}};
    const std::vector<Bytes> off = {{0xB0, 64, 0}, {0xB0, 65, 0}, {0xB0, 66, 0}, {0xB0, 67, 0}};
    QTest::mousePress(from->MButton(0), Qt::LeftButton);
    EXPECT_EQ(desk.take(), on);
    clickEntry(pointer, 1);  // while the button is held
    EXPECT_EQ(desk.take(), off);
    EXPECT_FALSE(first->isOn(0));
    EXPECT_EQ(from->patchId(0), second->Tag.toInt());
    // The release has nothing left to let go of, on either panel.
    QTest::mouseRelease(from->MButton(0), Qt::LeftButton);
    EXPECT_TRUE(desk.take().empty());
    QTest::mousePress(from->MButton(0), Qt::LeftButton);
    EXPECT_EQ(desk.take(), on);
    QTest::mouseRelease(from->MButton(0), Qt::LeftButton);
    EXPECT_EQ(desk.take(), off);
    EXPECT_TRUE(second->isOn(0) == false && first->isOn(0) == false);
}

TEST(PanlPointer, PanelsInUseRefuseTheirCloseBoxAndClosedOnesLeaveEveryPointer)
{
    Desk desk;
    PatchListPanel* strings = desk.list("Strings", 40, 2);
    PatchListPanel* brass = desk.list("Brass", 60, 5);
    ButtonsPanel* pads = desk.buttons("Pads");
    ButtonsPanel* pressed = desk.buttons("Pressed");
    link(pads, 0, 211, strings);
    link(pads, 1, 213, pressed);
    PanlPointer* pointer = desk.pointer();
    PanlPointer* other = desk.pointer();
    auto* faders = desk.add<FaderPanel>(PanelClass::VFaders, "Chooser");
    link(faders, 0, 216, pointer);
    link(faders, 1, 216, pointer);
    desk.dialogs.clear();
    desk.dialogs.setDefaultAnswer(MsgAnswer::No);  // changed panels close without saving

    struct Refusal {
        Panel* panel;
        const char* message;
    };
    for (const Refusal& r : {Refusal{pointer, "Can't close.  In use by 2 PnlPtr UP/DOWN/Chg Control(s)"},
                             Refusal{pressed, "Can't close.  In use by 1 Push(or Fire)-Button Control(s)"}}) {
        desk.dialogs.clear();
        r.panel->subWindow()->close();
        settle();
        ASSERT_EQ(desk.dialogs.asked().size(), 1u) << r.message;
        EXPECT_EQ(desk.dialogs.asked()[0].text, r.message);
        EXPECT_TRUE(desk.window->panels().contains(r.panel)) << r.message;
    }

    // Brass goes from both pointers' targets, Pads from their controllers.
    for (PanlPointer* p : {pointer, other})
        ASSERT_EQ(shown(p->PatchLst()), (QStringList{"Strings", "Brass"}));
    brass->subWindow()->close();
    settle();
    for (PanlPointer* p : {pointer, other})
        EXPECT_EQ(shown(p->PatchLst()), QStringList{"Strings"});
    pads->subWindow()->close();
    settle();
    for (PanlPointer* p : {pointer, other})
        EXPECT_EQ(p->PanlLst()->count(), 0);

    // Once nothing steps through it the pointer closes.
    faders->subWindow()->close();
    settle();
    pointer->subWindow()->close();
    settle();
    EXPECT_EQ(desk.window->panelsOf(PanelClass::PanlPointer).size(), 1);
}

TEST(PanlPointer, AVanishedPanelIsReportedAndAChangedPointerCannotBeSavedAlone)
{
    Desk desk;
    PatchListPanel* strings = desk.list("Strings", 40, 2);
    ButtonsPanel* pads = desk.buttons("Pads");
    link(pads, 0, 210, strings);
    PanlPointer* pointer = desk.pointer();
    // Gone before the pointer heard of it.
    delete strings->subWindow();
    desk.dialogs.clear();
    clickEntry(pointer, 0);
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    EXPECT_TRUE(desk.dialogs.asked()[0].text.startsWith("PanlPointer: Panel PointerThe selected panel no longer exists ("));
    settle();
    EXPECT_EQ(pointer->PatchLst()->count(), 0);

    // Its own close box offers to save; a pointer is only saved with the session.
    chooseKind(pointer, PanlPointer::PatchControls);
    ASSERT_TRUE(pointer->IsChanged);
    desk.dialogs.clear();
    desk.dialogs.answer(MsgAnswer::Yes);
    pointer->subWindow()->close();
    settle();
    EXPECT_TRUE(desk.dialogs.wasAsked("Panel Pointer Panels can only be saved with a complete session.  Cancelling Exit"));
    EXPECT_TRUE(desk.window->panels().contains(pointer));
}

TEST(PanlPointer, TheKeyboardChoosesKindControllerAndTarget)
{
    Desk desk;
    desk.list("Strings", 40, 2);
    PatchListPanel* brass = desk.list("Brass", 60, 5);
    auto* song = desk.add<SequencerPanel>(PanelClass::Sequencer, "Song");
    ButtonsPanel* pads = desk.buttons("Pads");
    link(pads, 1, 213, desk.buttons("Drums"));
    link(pads, 2, 205, song);
    link(pads, 3, 212, nullptr);
    PanlPointer* pointer = desk.pointer();
    desk.dialogs.clear();
    pointer->CtrldType()->setFocus();
    QTest::keyClick(pointer->CtrldType(), Qt::Key_Down);
    QTest::keyClick(pointer->CtrldType(), Qt::Key_Down);
    EXPECT_EQ(pointer->kind(), PanlPointer::SequenceControls);
    EXPECT_EQ(shown(pointer->PatchLst()), QStringList{"Song"});
    QTest::keyClick(pointer->CtrldType(), Qt::Key_Up);
    QTest::keyClick(pointer->CtrldType(), Qt::Key_Up);
    EXPECT_EQ(shown(pointer->PatchLst()), (QStringList{"Strings", "Brass"}));
    EXPECT_TRUE(desk.dialogs.asked().empty());
    hover(pointer->PatchLst());
    EXPECT_EQ(desk.field(2), " Selects which Patch list a panel's patch up/down/chg buttons will control");

    pointer->PatchLst()->setFocus();
    QTest::keyClick(pointer->PatchLst(), Qt::Key_End);
    EXPECT_EQ(pads->patchId(3), 0);  // moving only selects
    QTest::keyClick(pointer->PatchLst(), Qt::Key_Space);
    EXPECT_EQ(pads->patchId(3), brass->Tag.toInt());
    EXPECT_EQ(pads->patchId(2), song->Tag.toInt());
    EXPECT_TRUE(pads->IsChanged);

    const QString folder = qEnvironmentVariable("ORVELL_SCREENSHOTS");
    if (!folder.isEmpty()) {
        EXPECT_TRUE(pointer->grab().save(folder + QStringLiteral("/PanlPointer.png")));
    }
}

TEST(PanlPointer, TheSessionKeepsKindControllerAndTargetsInOrder)
{
    Desk desk;
    PatchListPanel* strings = desk.list("Strings", 40, 2);
    PatchListPanel* brass = desk.list("Brass", 60, 5);
    PatchListPanel* organ = desk.list("Organ", 16, 3);
    ButtonsPanel* pads = desk.buttons("Pads");
    link(pads, 0, 211, strings);
    PanlPointer* pointer = desk.pointer();
    const QByteArray saved = test::sectionOf(pointer);
    const QByteArray tags[] = {strings->Tag.toLatin1(), brass->Tag.toLatin1(), organ->Tag.toLatin1()};
    EXPECT_TRUE(saved.endsWith("\r\nCtrldType=0\r\nCtrlPanl=Pads\r\nPanlTag=" + pads->Tag.toLatin1() +
                               "\r\nPanlName=Strings\r\nToPanlTag=" + tags[0] + "\r\nPanlName=Brass\r\nToPanlTag=" +
                               tags[1] + "\r\nPanlName=Organ\r\nToPanlTag=" + tags[2] + "\r\n"))
        << saved.toStdString();

    // Three stored pairs in another order come back as three entries in that order.
    PanlPointer* copy = desk.pointer();
    const QByteArray reordered = "[PanlPointer Data]\r\nCtrldType=0\r\nCtrlPanl=Pads\r\nPanlTag=" +
                                 pads->Tag.toLatin1() + "\r\nPanlName=Organ\r\nToPanlTag=" + tags[2] +
                                 "\r\nPanlName=Strings\r\nToPanlTag=" + tags[0] + "\r\nPanlName=Brass\r\nToPanlTag=" +
                                 tags[1] + "\r\n";
    EXPECT_TRUE(test::loadSection(*desk.shared, copy, reordered).isEmpty());
    EXPECT_EQ(shown(copy->PatchLst()), (QStringList{"Organ", "Strings", "Brass"}));
    EXPECT_EQ(controllersShown(copy->PanlLst()), QStringList{"Pads"});
    // Stepping goes through them in that order.
    copy->setRemoteIndex(0);
    copy->RmtDblClick();
    EXPECT_EQ(pads->patchId(0), organ->Tag.toInt());

    // Stored targets that are gone or repeated go when the check runs.
    const QByteArray head = "[PanlPointer Data]\r\nCtrldType=0\r\nPanlName=Gone\r\nToPanlTag=999\r\n";
    struct Case {
        QByteArray section;
        QStringList left;
        const char* status;
        QStringList asked;
        bool result;
    };
    const std::vector<Case> cases = {
        {head + "PanlName=Brass\r\nToPanlTag=" + tags[1] + "\r\nPanlName=Brass twice\r\nToPanlTag=" + tags[1] + "\r\n",
         {"Brass"}, " Deleted invalid panel pointers in Panel Pointer",
         {"Brass twice's stored panelpointer is not unique; it will be fixed now."}, true},
        {head, {}, " No valid panel pointers left in Panel Pointer", {}, false},
    };
    for (const Case& c : cases) {
        desk.dialogs.clear();
        EXPECT_TRUE(test::loadSection(*desk.shared, copy, c.section).isEmpty());
        EXPECT_EQ(copy->CheckMyPointers(), c.result);
        EXPECT_EQ(shown(copy->PatchLst()), c.left);
        EXPECT_EQ(desk.field(0), c.status);
        QStringList asked;
        for (const auto& question : desk.dialogs.asked())
            asked << question.text;
        EXPECT_EQ(asked, c.asked);
    }
}

TEST(PanlPointer, ASessionOfEveryClassRoundTripsAndDropsStaleTargetsOnLoad)
{
    Desk desk;
    PatchListPanel* strings = desk.list("Strings", 40, 2);
    desk.list("Brass", 60, 5);
    ButtonsPanel* pads = desk.buttons("Pads");
    link(pads, 0, 211, strings);
    for (PanelClass id : {PanelClass::HFaders, PanelClass::VFaders, PanelClass::JstkCtrl, PanelClass::Sequencer,
                          PanelClass::PatchGroup})
        ASSERT_NE(desk.window->createPanel(id), nullptr);
    PanlPointer* pointer = desk.pointer();
    auto* chooser = qobject_cast<FaderPanel*>(desk.window->panelsOf(PanelClass::HFaders).value(0));
    link(chooser, 2, 216, pointer);
    clickEntry(pointer, 1);
    const QString first = desk.dir.filePath(QStringLiteral("first.orv"));
    const QString second = desk.dir.filePath(QStringLiteral("second.orv"));
    desk.window->SessionFile = first;
    ASSERT_TRUE(desk.window->SaveSession_Click());
    const QByteArray saved = test::readAll(first);
    for (const PanelClassInfo& info : panelClasses())
        EXPECT_TRUE(saved.contains("\r\n[" + QByteArray(info.name) + " Data]\r\n")) << info.name;

    Desk copy;
    copy.dialogs.answer(first);
    copy.window->LoadSession_Click();
    auto* loaded = qobject_cast<PanlPointer*>(copy.window->panelsOf(PanelClass::PanlPointer).value(0));
    ASSERT_NE(loaded, nullptr);
    // Patch groups are patch targets too.
    const QStringList targets{"Strings", "Brass", "Patch Sub-Group"};
    EXPECT_EQ(shown(loaded->PatchLst()), targets);
    EXPECT_TRUE(copy.window->menus().action(QStringLiteral("PatchPanlPtr"))->isEnabled());
    copy.window->SessionFile = second;
    ASSERT_TRUE(copy.window->SaveSession_Click());
    EXPECT_EQ(test::readAll(second), saved);

    // A target the file names but does not hold goes at load, with a word.
    QByteArray stale = saved;
    const QByteArray brassEntry = "PanlName=Brass\r\n";
    stale.replace(brassEntry, "PanlName=Nowhere\r\nToPanlTag=999\r\n" + brassEntry);
    ASSERT_TRUE(test::writeFile(first, stale));
    Desk third;
    third.dialogs.answer(first);
    third.window->LoadSession_Click();
    auto* checked = qobject_cast<PanlPointer*>(third.window->panelsOf(PanelClass::PanlPointer).value(0));
    ASSERT_NE(checked, nullptr);
    EXPECT_EQ(shown(checked->PatchLst()), targets);
    EXPECT_EQ(third.field(0), " Deleted invalid panel pointers in Panel Pointer");
}

}  // namespace
}  // namespace orvell
