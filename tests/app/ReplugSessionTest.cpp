#include "app/AOrvell.h"
#include "controllers/FaderPanel.h"
#include "panels/Shared.h"
#include "support/Files.h"
#include "support/TestDesk.h"
#include "support/WidgetDriving.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace orvell {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Log = std::vector<std::pair<int, Bytes>>;

// A desk whose synths the machine enumerates in the given order.
struct Desk : test::TestDesk {
    explicit Desk(const QStringList& synths)
    {
        midi->setOutputNames(synths);
        start({1000, 700});
        dialogs.clear();
    }

    // The first fader's value typed in and Enter pressed; the MIDI log it gave.
    Log typeFader(FaderPanel* panel, const QString& value)
    {
        midi->clearSent();
        auto* box = panel->findChild<QLineEdit*>(QStringLiteral("DataVal0"));
        box->selectAll();
        QTest::keyClicks(box, value);
        QTest::keyClick(box, Qt::Key_Return);
        Log log;
        for (const auto& sent : midi->sent())
            log.emplace_back(sent.port, sent.bytes);
        return log;
    }

    // A new fader panel whose first slot sends volume.
    FaderPanel* addFader(PanelClass id)
    {
        window->createPanel(id);
        test::chooseInSlot(fader(), QStringLiteral("CntrlLbl"), 0, QStringLiteral("Control"), QStringLiteral("7"));
        return fader();
    }

    FaderPanel* fader() const { return qobject_cast<FaderPanel*>(window->panels().value(0)); }

    bool save(const QString& path)
    {
        window->SessionFile = path;
        return window->SaveSession_Click();
    }
};

TEST(PortsFollowDevices, ASessionDrivesTheSameSynthOnAMachineThatNumbersThemOtherwise)
{
    QTemporaryDir files;
    const QString written = files.filePath(QStringLiteral("written.orv"));
    const QString again = files.filePath(QStringLiteral("again.orv"));
    {
        Desk there({QStringLiteral("B"), QStringLiteral("A")});
        there.addFader(PanelClass::VFaders);
        ASSERT_EQ(there.fader()->portOfSlot(0), 1);  // "B"
        EXPECT_EQ(there.typeFader(there.fader(), "64"), (Log{{1, {0xB0, 7, 64}}}));
        there.shared->PanlDir = files.path() + u'/';  // as loading it here will make it
        ASSERT_TRUE(there.save(written));
    }

    Desk here({QStringLiteral("A"), QStringLiteral("B")});
    here.dialogs.answer(written);
    here.window->LoadSession_Click();
    EXPECT_EQ(here.field(2), " Ports follow their devices: 1 to 2 (B), 2 to 1 (A)");
    ASSERT_NE(here.fader(), nullptr);
    EXPECT_EQ(here.fader()->portOfSlot(0), 2);
    EXPECT_EQ(here.typeFader(here.fader(), "64"), (Log{{2, {0xB0, 7, 64}}}));

    // Saved here, the file is the same but for this machine's numbers.
    ASSERT_TRUE(here.save(again));
    QByteArray expected = test::readAll(written);
    expected.replace("\r\nB\r\nA\r\n", "\r\nA\r\nB\r\n");
    expected.replace("\r\nPort=1\r\n", "\r\nPort=2\r\n");
    EXPECT_EQ(test::readAll(again), expected);

    // Read back here, nothing moves.
    here.dialogs.answer(again);
    here.window->LoadSession_Click();
    EXPECT_EQ(here.field(2), "");
    EXPECT_EQ(qobject_cast<FaderPanel*>(here.window->panels().value(1))->portOfSlot(0), 2);
}

TEST(PortsFollowDevices, AnUnpluggedSynthIsReopenedOnItsPortWhenItReturns)
{
    Desk desk({QStringLiteral("A"), QStringLiteral("B")});
    FaderPanel* panel = desk.addFader(PanelClass::HFaders);
    test::chooseInSlot(panel, QStringLiteral("PortLbl"), 0, QStringLiteral("Port"), QStringLiteral("2"));
    ASSERT_EQ(panel->portOfSlot(0), 2);

    ASSERT_TRUE(desk.midi->unplugOutput("B"));
    QCoreApplication::processEvents();  // the watcher's word reaches the window
    EXPECT_EQ(desk.field(0), " MIDI OUT Port 2 (B) is unplugged");
    desk.dialogs.setDefaultAnswer(MsgAnswer::Ok);
    EXPECT_EQ(desk.typeFader(panel, "20"), Log{});
    EXPECT_EQ(desk.field(1), " FAIL!");

    ASSERT_TRUE(desk.midi->replugOutput("B"));
    QCoreApplication::processEvents();
    EXPECT_EQ(desk.field(0), " Open MIDI OUT Port 2 (B) again");
    EXPECT_EQ(desk.typeFader(panel, "30"), (Log{{2, {0xB0, 7, 30}}}));
    EXPECT_EQ(panel->portOfSlot(0), 2);
}

}  // namespace
}  // namespace orvell
