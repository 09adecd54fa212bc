#include "app/AOrvell.h"
#include "app/StatusLine.h"
#include "app/WindowManager.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/ArrangePanels.h"
#include "panels/Panel.h"
#include "panels/Shared.h"
#include "support/TestDesk.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

#include <algorithm>

namespace orvell {
namespace {

using PC = PanelClass;

// A shown main window on virtual ports with named panels.
struct Desk : test::TestDesk {
    explicit Desk(QSize size = {1000, 700}) { start(size); }

    Panel* add(PanelClass id, const QString& name)
    {
        Panel* panel = window->createPanel(id);
        panel->setCaption(name);
        return panel;
    }
    void activate(Panel* panel) { window->mdiArea().setActiveSubWindow(panel->subWindow()); }
    WindowManager& windows() { return window->windows(); }

    // Names of the panels not hidden, in creation order.
    QStringList shownNames() const
    {
        QStringList names;
        for (const Panel* panel : window->panels()) {
            if (!panel->subWindow()->isHidden())
                names << panel->caption();
        }
        return names;
    }
    QStringList allNames() const
    {
        QStringList names;
        for (const Panel* panel : window->panels())
            names << panel->caption();
        return names;
    }
};

QString changedQuestion(const QString& name)
{
    return "Panel '" + name + "' has changed.  Do you want to save it?";
}

// What a test leaves on screen, saved into $ORVELL_SCREENSHOTS for a look by eye.
void screenshotOnRequest(QWidget& window, const QString& name)
{
    const QString folder = qEnvironmentVariable("ORVELL_SCREENSHOTS");
    if (!folder.isEmpty()) {
        EXPECT_TRUE(window.grab().save(folder + '/' + name));
    }
}

int groupRank(PanelClass id)
{
    return static_cast<int>(std::ranges::find(kArrangeGroupOrder, id) - kArrangeGroupOrder.begin());
}

TEST(ArrangePanelsCommand, GroupsVisiblePanelsByClassWithoutOverlapAndLeavesOthersAlone)
{
    Desk desk;
    const std::pair<PC, const char*> made[] = {
        {PC::VFaders, "v1"}, {PC::Sequencer, "s1"}, {PC::Buttons, "b1"}, {PC::HFaders, "h1"},
        {PC::Sequencer, "s2"}, {PC::Buttons, "b2"}, {PC::PatchGroup, "g1"}, {PC::Buttons, "hidden"},
        {PC::Sequencer, "small"},
    };
    for (const auto& [id, name] : made)
        desk.add(id, name);
    const QList<Panel*> panels = desk.window->panels();
    Panel* hidden = panels[7];
    Panel* minimised = panels[8];
    hidden->HideButton_Click();
    minimised->subWindow()->showMinimized();
    const QRect hiddenBefore = hidden->subWindow()->geometry();
    const QRect minimisedBefore = minimised->subWindow()->geometry();

    desk.windows().ArrangePanls_Click();

    EXPECT_EQ(hidden->subWindow()->geometry(), hiddenBefore);
    EXPECT_EQ(minimised->subWindow()->geometry(), minimisedBefore);
    EXPECT_TRUE(hidden->subWindow()->isHidden());

    QList<Panel*> arranged = panels.mid(0, 7);
    const int width = desk.window->mdiArea().viewport()->width();
    for (qsizetype i = 0; i < arranged.size(); ++i) {
        const QRect rect = arranged[i]->subWindow()->geometry();
        EXPECT_GE(rect.left(), 0) << i;
        EXPECT_GE(rect.top(), 0) << i;
        EXPECT_LE(rect.right(), width - 1) << i;
        for (qsizetype j = i + 1; j < arranged.size(); ++j)
            EXPECT_FALSE(rect.intersects(arranged[j]->subWindow()->geometry())) << i << " and " << j;
    }
    // Read row by row, the classes come in group order, each class together.
    std::ranges::sort(arranged, [](const Panel* a, const Panel* b) {
        const QPoint p = a->subWindow()->pos();
        const QPoint q = b->subWindow()->pos();
        return p.y() != q.y() ? p.y() < q.y() : p.x() < q.x();
    });
    QStringList names;
    for (const Panel* panel : arranged)
        names << panel->caption();
    EXPECT_EQ(names, (QStringList{"s1", "s2", "b1", "b2", "h1", "v1", "g1"}));
    for (qsizetype i = 1; i < arranged.size(); ++i)
        EXPECT_LE(groupRank(arranged[i - 1]->panelClass()), groupRank(arranged[i]->panelClass()));
}

TEST(TileCommand, ArrangesThePanelsInsideTheAreaAsItIsAndKeepsTheirSizes)
{
    struct Case {
        const char* what;
        QSize window;
        bool roomForAll;
    };
    const Case cases[] = {
        {"the design size, too small for the panels side by side", {471, 330}, false},
        {"room for every panel", {1000, 700}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Desk desk(c.window);
        desk.add(PC::HFaders, "h1");
        desk.add(PC::Buttons, "b1");
        desk.add(PC::PatchList, "p1");
        Panel* hidden = desk.add(PC::VFaders, "hidden");
        hidden->HideButton_Click();
        const QList<Panel*> tiled = desk.window->panels().mid(0, 3);
        std::vector<QSize> sizes;
        for (const Panel* panel : tiled)
            sizes.push_back(panel->subWindow()->size());
        tiled[1]->subWindow()->showMaximized();
        const QRect hiddenBefore = hidden->subWindow()->geometry();
        const QSize windowBefore = desk.window->size();
        const QSize area = desk.window->mdiArea().viewport()->size();
        desk.midi->clearSent();

        desk.windows().TileWin_Click();
        QCoreApplication::processEvents();

        EXPECT_EQ(desk.window->size(), windowBefore);
        EXPECT_EQ(desk.window->mdiArea().viewport()->size(), area);
        for (qsizetype i = 0; i < tiled.size(); ++i) {
            SCOPED_TRACE(i);
            const QMdiSubWindow* window = tiled[i]->subWindow();
            EXPECT_FALSE(window->isMaximized());
            // A panel's controls are laid out for its own size.
            EXPECT_EQ(window->size(), sizes[static_cast<size_t>(i)]);
            const QRect rect = window->geometry();
            EXPECT_GE(rect.left(), 0);
            EXPECT_GE(rect.top(), 0);
            EXPECT_LE(rect.right(), std::max(area.width(), rect.width()) - 1);
            EXPECT_LE(rect.bottom(), std::max(area.height(), rect.height()) - 1);
            for (qsizetype j = i + 1; j < tiled.size() && c.roomForAll; ++j)
                EXPECT_FALSE(rect.intersects(tiled[j]->subWindow()->geometry())) << "and " << j;
        }
        EXPECT_EQ(hidden->subWindow()->geometry(), hiddenBefore);
        EXPECT_TRUE(hidden->subWindow()->isHidden());
        EXPECT_TRUE(desk.midi->sent().empty());
        screenshotOnRequest(*desk.window, QStringLiteral("tile-%1x%2.png").arg(c.window.width()).arg(c.window.height()));
    }
}

TEST(HideAndShowAll, HideAllHidesEveryPanelAndShowAllBringsThemBackWithTheCount)
{
    Desk desk;
    desk.add(PC::Buttons, "b1");
    desk.add(PC::Buttons, "b2");
    Panel* faders = desk.add(PC::HFaders, "h1");
    faders->subWindow()->showMinimized();

    desk.windows().HideAll_Click();
    EXPECT_TRUE(desk.shownNames().isEmpty());
    EXPECT_FALSE(desk.window->classShown(PC::Buttons));
    EXPECT_FALSE(desk.window->classShown(PC::HFaders));

    desk.window->statusLine().setPanelCounter(QString());
    desk.windows().ShowAll_Click();
    EXPECT_EQ(desk.shownNames(), (QStringList{"b1", "b2", "h1"}));
    EXPECT_FALSE(faders->subWindow()->isMinimized());
    EXPECT_TRUE(desk.window->classShown(PC::Buttons));
    EXPECT_TRUE(desk.window->classShown(PC::HFaders));
    EXPECT_EQ(desk.window->statusLine().fieldText(3), "3");
    EXPECT_TRUE(desk.dialogs.asked().empty());
}

TEST(HiddenPanels, NoHiddenPanelGivesAnEmptyList)
{
    Desk desk;
    desk.add(PC::Buttons, "b1");
    int calls = 0;
    QList<QPair<QString, int>> received = {{"stale", 9}};
    desk.windows().chooseHidden = [&](const QList<QPair<QString, int>>& entries) -> std::optional<int> {
        ++calls;
        received = entries;
        return std::nullopt;
    };
    desk.windows().ShowHiddenMnu_Click();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(received.isEmpty());
    EXPECT_EQ(desk.shownNames(), QStringList{"b1"});
}

TEST(HiddenPanels, ListsHiddenNamesAndShowsTheChosenOne)
{
    Desk desk;
    Panel* first = desk.add(PC::Buttons, "Drums");
    desk.add(PC::HFaders, "Mixer");
    Panel* third = desk.add(PC::Sequencer, "Song");
    first->HideButton_Click();
    third->HideButton_Click();

    struct Case {
        const char* what;
        std::optional<int> pick;  // row in the list, nothing for Cancel
        QStringList shown;
    };
    const Case cases[] = {
        {"Cancel shows nothing", std::nullopt, {"Mixer"}},
        {"the second name", 1, {"Mixer", "Song"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QList<QPair<QString, int>> received;
        desk.windows().chooseHidden = [&](const QList<QPair<QString, int>>& entries) -> std::optional<int> {
            received = entries;
            if (!c.pick)
                return std::nullopt;
            return entries[*c.pick].second;
        };
        desk.windows().ShowHiddenMnu_Click();
        QStringList names;
        for (const auto& entry : received)
            names << entry.first;
        EXPECT_EQ(names, (QStringList{"Drums", "Song"}));
        EXPECT_EQ(desk.shownNames(), c.shown);
    }
    EXPECT_TRUE(desk.window->classShown(PC::Sequencer));
    EXPECT_EQ(desk.window->activePanel(), third);
}

TEST(MatchingIds, CommandsActOnThePanelsSharingTheActiveIcon)
{
    // Three panels with the Buttons icon, one with the HFaders icon, one VFaders.
    enum class Command { ShowAll, ShowOnly, HideAll };
    struct Case {
        const char* what;
        Command command;
        const char* active;
        QStringList hiddenBefore;
        QStringList shownAfter;
    };
    const Case cases[] = {
        {"Show All shows the hidden matches only", Command::ShowAll, "b1", {"b3", "v1"}, {"b1", "b2", "b3", "h1"}},
        {"Show Only with a shared icon", Command::ShowOnly, "b2", {"b1"}, {"b1", "b2", "b3"}},
        {"Show Only with an icon nobody shares", Command::ShowOnly, "h1", {"b1"}, {"h1"}},
        {"Hide All hides the active panel too", Command::HideAll, "b1", {}, {"h1", "v1"}},
        {"Hide All with an icon nobody shares", Command::HideAll, "v1", {}, {"b1", "b2", "b3", "h1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Desk desk;
        for (const char* name : {"b1", "b2", "b3"})
            desk.add(PC::Buttons, name);
        desk.add(PC::HFaders, "h1");
        desk.add(PC::VFaders, "v1");
        Panel* active = nullptr;
        for (Panel* panel : desk.window->panels()) {
            if (c.hiddenBefore.contains(panel->caption()))
                panel->HideButton_Click();
            if (panel->caption() == c.active)
                active = panel;
        }
        ASSERT_NE(active, nullptr);
        desk.activate(active);
        ASSERT_EQ(desk.window->activePanel(), active);

        switch (c.command) {
        case Command::ShowAll:
            desk.windows().ShowAllID_Click();
            break;
        case Command::ShowOnly:
            desk.windows().ShowOnlyID_Click();
            break;
        case Command::HideAll:
            desk.windows().HideAllID_Click();
            break;
        }
        EXPECT_EQ(desk.shownNames(), c.shownAfter);
        EXPECT_EQ(desk.allNames().size(), 5);
        EXPECT_TRUE(desk.dialogs.asked().empty());
    }
}

TEST(MatchingIds, CloseAllClosesTheMatchesWithTheActivePanelLast)
{
    Desk desk;
    for (const char* name : {"b1", "b2", "h1", "b3"})
        desk.add(PC::Buttons, name)->IsChanged = true;
    desk.window->panels()[2]->setIDIcon(panelClassInfo(PC::HFaders).defaultIcon);
    Panel* active = desk.window->panels()[1];
    desk.activate(active);
    for (int i = 0; i < 3; ++i)
        desk.dialogs.answer(BigAnswer::No);

    EXPECT_TRUE(desk.windows().CloseAllID_Click());
    ASSERT_EQ(desk.dialogs.asked().size(), 3u);
    EXPECT_EQ(desk.dialogs.asked()[0].text, changedQuestion("b1"));
    EXPECT_EQ(desk.dialogs.asked()[1].text, changedQuestion("b3"));
    EXPECT_EQ(desk.dialogs.asked()[2].text, changedQuestion("b2"));
    EXPECT_EQ(desk.allNames(), QStringList{"h1"});
    EXPECT_EQ(desk.window->toAllAnswer(), BigAnswer::None);
}

TEST(CloseAllPanels, NothingChangedClosesEverythingWithoutAQuestion)
{
    Desk desk;
    desk.add(PC::Buttons, "b1");
    desk.add(PC::HFaders, "h1")->HideButton_Click();
    desk.window->SessionFile = "/music/live.orv";

    EXPECT_TRUE(desk.windows().CloseAll_Click());
    EXPECT_TRUE(desk.dialogs.asked().empty());
    EXPECT_TRUE(desk.window->panels().isEmpty());
    EXPECT_TRUE(desk.window->isVisible());
    EXPECT_EQ(desk.window->SessionFile, "");
    EXPECT_FALSE(desk.window->IsChanged);
    EXPECT_FALSE(desk.shared->flags.ClosingDown);
    EXPECT_EQ(desk.window->toAllAnswer(), BigAnswer::None);
    EXPECT_EQ(desk.window->statusLine().fieldText(3), "0");
}

TEST(CloseAllPanels, RefusedWhileRecording)
{
    Desk desk;
    desk.add(PC::Buttons, "b1");
    desk.shared->flags.RecorderRunning = true;
    desk.window->IsChanged = true;

    EXPECT_FALSE(desk.windows().CloseAll_Click());
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    EXPECT_EQ(desk.dialogs.asked()[0].text, "Can't Exit while recording events.");
    EXPECT_EQ(desk.dialogs.asked()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(desk.allNames(), QStringList{"b1"});
    EXPECT_TRUE(desk.window->IsChanged);
}

TEST(CloseAllPanels, ChangedSessionAsksFirst)
{
    Desk desk;
    desk.add(PC::Buttons, "b1");
    desk.add(PC::HFaders, "h1")->IsChanged = true;
    desk.add(PC::VFaders, "v1");
    desk.window->SessionFile = "/music/live.orv";
    desk.dialogs.answer(MsgAnswer::Cancel);

    EXPECT_FALSE(desk.windows().CloseAll_Click());
    ASSERT_EQ(desk.dialogs.asked().size(), 1u);
    EXPECT_EQ(desk.dialogs.asked()[0].text, "This session has changed.  Do you want to save it?");
    EXPECT_EQ(desk.dialogs.asked()[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(desk.dialogs.asked()[0].icon, MsgIcon::Question);
    EXPECT_EQ(desk.allNames(), (QStringList{"b1", "h1", "v1"}));
    EXPECT_EQ(desk.window->SessionFile, "/music/live.orv");
    EXPECT_FALSE(desk.shared->flags.ClosingDown);
}

TEST(CloseAllPanels, NoLetsEachChangedPanelAskAndARefusalStopsThere)
{
    Desk desk;
    desk.add(PC::Buttons, "b1")->IsChanged = true;
    desk.add(PC::HFaders, "h1");
    desk.add(PC::VFaders, "v1")->IsChanged = true;
    desk.add(PC::Sequencer, "s1");
    desk.window->IsChanged = true;
    desk.window->SessionFile = "/music/live.orv";
    desk.dialogs.answer(MsgAnswer::No);
    desk.dialogs.answer(BigAnswer::No);
    desk.dialogs.answer(BigAnswer::Cancel);

    EXPECT_FALSE(desk.windows().CloseAll_Click());
    ASSERT_EQ(desk.dialogs.asked().size(), 3u);
    EXPECT_EQ(desk.dialogs.asked()[1].text, changedQuestion("b1"));
    EXPECT_EQ(desk.dialogs.asked()[2].text, changedQuestion("v1"));
    // Closed before the refusal stays closed; the rest stays open.
    EXPECT_EQ(desk.allNames(), (QStringList{"v1", "s1"}));
    EXPECT_EQ(desk.window->SessionFile, "/music/live.orv");
    EXPECT_TRUE(desk.window->IsChanged);
    EXPECT_FALSE(desk.shared->flags.ClosingDown);
    EXPECT_EQ(desk.window->toAllAnswer(), BigAnswer::None);
}

TEST(CloseAllPanels, NoToAllClosesTheRestWithoutAsking)
{
    Desk desk;
    desk.add(PC::Buttons, "b1")->IsChanged = true;
    desk.add(PC::VFaders, "v1")->IsChanged = true;
    desk.dialogs.answer(MsgAnswer::No);
    desk.dialogs.answer(BigAnswer::NoToAll);

    EXPECT_TRUE(desk.windows().CloseAll_Click());
    EXPECT_EQ(desk.dialogs.asked().size(), 2u);
    EXPECT_TRUE(desk.window->panels().isEmpty());
    EXPECT_EQ(desk.window->toAllAnswer(), BigAnswer::None);
}

}  // namespace
}  // namespace orvell
