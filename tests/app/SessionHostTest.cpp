// Session files read and written against a desktop of the test's own, with
// no main window behind it.
#include "core/SectionFile.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/Dialogs.h"
#include "panels/Panel.h"
#include "panels/SessionFile.h"
#include "panels/SessionHost.h"
#include "panels/Shared.h"
#include "support/FakeClock.h"
#include "support/ScriptedDialogs.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

namespace orvell {
namespace {

struct FakeMain final : MainBlockReader {
    explicit FakeMain(QStringList& log) : log(log) {}
    void headerKey(const SectionLine& line) override { log << QStringLiteral("header ") + line.key + u'=' + line.value; }
    void headerDone() override { log << QStringLiteral("header done"); }
    void data(SectionReader& in) override
    {
        while (in.peek() && in.peek()->kind != SectionLine::Kind::Header) {
            const SectionLine line = *in.next();
            log << QStringLiteral("data ") + line.key + u'=' + line.value;
            if (line.key == u"UniqFormCounter")
                counter = parseSectionInt(line.value);
        }
    }
    void done() override { log << QStringLiteral("done"); }
    std::optional<int> fileCounter() const override { return counter; }

    QStringList& log;
    std::optional<int> counter;
};

class FakeDesk final : public PanelHost, public SessionHost {
public:
    FakeDesk()
    {
        auto system = std::make_unique<VirtualMidiSystem>(1, 2, *clock);
        shared_ = std::make_unique<Shared>(std::move(system), std::move(scheduler));
        area.resize(800, 600);
    }
    ~FakeDesk() override
    {
        for (Panel* panel : panels_)
            delete panel->subWindow();
    }

    Shared& shared() override { return *shared_; }
    Dialogs& dialogs() override { return dialogs_; }
    void ShowStatusText(int field, const QString& text) override { log << QStringLiteral("status %1 %2").arg(field).arg(text); }
    void ShowHint(const QString&) override {}
    Panel* findPanel(PanelClass, const QString&) override { return nullptr; }
    QList<Panel*> panelsOf(PanelClass) const override { return {}; }
    void popupPanelMenu(QPoint) override {}
    void popupMatchIdMenu(QPoint) override {}
    void popupDupMenu(QPoint) override {}
    void popupPatchMenu(QPoint) override {}
    void panelVisibilityChanged(PanelClass) override {}
    bool SavePanel(Panel&) override { return false; }
    QPixmap paletteIcon(int) override { return {}; }
    BigAnswer toAllAnswer() const override { return BigAnswer::None; }
    void setToAllAnswer(BigAnswer) override {}

    QList<Panel*> panels() const override { return panels_; }
    Panel* createPanelFromFile(PanelClass id) override
    {
        auto* panel = new Panel(id, *this);
        panel->Tag = QString::number(++shared_->UniqFormCounter);
        area.addSubWindow(panel)->show();
        panels_ << panel;
        return panel;
    }
    void RefreshPortLists() override { log << QStringLiteral("refresh ports"); }
    void writeMainBlock(SectionWriter& out) override
    {
        out.blank();
        out.header(MainWindowClass);
        out.key(QStringLiteral("Name"), QStringLiteral("Desk"));
    }
    std::unique_ptr<MainBlockReader> readMainBlock() override { return std::make_unique<FakeMain>(log); }
    void beginSessionLoad() override { log << QStringLiteral("begin"); }
    void endSessionLoad() override { log << QStringLiteral("end"); }
    void loadFinished(Panel* last) override { log << QStringLiteral("finished ") + (last ? last->caption() : QString()); }

    QStringList log;
    QMdiArea area;

private:
    std::unique_ptr<test::FakeClock> scheduler = std::make_unique<test::FakeClock>();
    test::FakeClock* clock = scheduler.get();
    std::unique_ptr<Shared> shared_;
    test::ScriptedDialogs dialogs_;
    QList<Panel*> panels_;
};

TEST(SessionHost, ReadsPanelsAndHandsTheMainBlockToTheHost)
{
    FakeDesk desk;
    readSession(desk, QByteArrayLiteral("[Panels]\r\n\r\n[AOrvell]\r\nName=Orvell\r\nTop=0\r\nWindowState=0\r\n"
                                        "[AOrvell Data]\r\nUniqFormCounter=9\r\n\r\n"
                                        "[HFaders]\r\nName=Strings\r\nTop=150\r\nLeft=300\r\nTag=4\r\n"
                                        "[HFaders Data]\r\n"));
    ASSERT_EQ(desk.panels().size(), 1);
    Panel* panel = desk.panels().at(0);
    EXPECT_EQ(panel->caption(), "Strings");
    EXPECT_EQ(panel->Tag, "4");
    EXPECT_EQ(panel->subWindow()->pos(), QPoint(20, 10));
    // The counter is the higher of the file's and the tags'.
    EXPECT_EQ(desk.shared().UniqFormCounter, 9);
    EXPECT_EQ(desk.log, (QStringList{"begin", "header Name=Orvell", "header Top=0", "header WindowState=0",
                                     "header done", "data UniqFormCounter=9", "header done", "done", "end",
                                     "finished Strings"}));
}

TEST(SessionHost, WritesTheHostsMainBlockBeforeThePanels)
{
    FakeDesk desk;
    desk.createPanelFromFile(PanelClass::Buttons)->setCaption(QStringLiteral("Pads"));
    const QByteArray bytes = writeSession(desk);
    const qsizetype main = bytes.indexOf("[AOrvell]\r\nName=Desk\r\n");
    const qsizetype panel = bytes.indexOf("[Buttons]\r\nName=Pads\r\n");
    ASSERT_GE(main, 0);
    EXPECT_GT(panel, main);

    FakeDesk other;
    readPanelFile(other, writePanelFile(*desk.panels().at(0)));
    ASSERT_EQ(other.panels().size(), 1);
    EXPECT_EQ(other.panels().at(0)->caption(), "Pads");
    EXPECT_EQ(other.log.last(), "finished Pads");
}

}  // namespace
}  // namespace orvell
