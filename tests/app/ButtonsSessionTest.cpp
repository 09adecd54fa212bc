#include "app/AOrvell.h"
#include "controllers/ButtonsPanel.h"
#include "panels/Shared.h"
#include "support/TestDesk.h"

#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace orvell {
namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Desk : test::TestDesk {
    explicit Desk(const QString& appDir)
    {
        start({1000, 700});
        shared->AppDir = appDir + u'/';
        dialogs.clear();
    }

    bool save(const QString& path)
    {
        window->SessionFile = path;
        return window->SaveSession_Click();
    }

    void load(const QString& path)
    {
        dialogs.answer(path);
        window->LoadSession_Click();
    }

    QList<ButtonsPanel*> buttonsPanels() const
    {
        QList<ButtonsPanel*> list;
        for (Panel* panel : window->panels()) {
            if (auto* buttons = qobject_cast<ButtonsPanel*>(panel))
                list << buttons;
        }
        return list;
    }
};

TEST(ButtonsSession, SaveLoadSaveKeepsButtonsAndTheirSweepsByteForByte)
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.orv"));
    const QString second = dir.filePath(QStringLiteral("second.orv"));

    Desk original(dir.path());
    auto* target = qobject_cast<ButtonsPanel*>(original.window->createPanel(PanelClass::Buttons));
    auto* panel = qobject_cast<ButtonsPanel*>(original.window->createPanel(PanelClass::Buttons));
    ASSERT_TRUE(target && panel);
    panel->setCaption(QStringLiteral("Pedals"));
    const auto choose = [panel](int slot, int code) {
        panel->CIndx = slot;
        panel->Control()->setCurrentIndex(panel->Control()->findData(code));
        panel->Control_Click();
    };
    choose(0, 64);
    panel->BtnOptLbl_Click(0);  // toggle
    choose(1, 7);
    panel->setAutoSettings(1, AutoSettings{QStringLiteral("Swell"), 1500, 20, 110, true, true, false});
    choose(2, 202);
    panel->setAutoSettings(2, AutoSettings{QStringLiteral("Dive"), 0, 0, -8192, false, false, true});
    choose(3, 213);
    panel->SelPatch_Click();
    panel->setBtnIcon(3, 9);
    ASSERT_TRUE(original.save(first));
    const QByteArray saved = readAll(first);
    EXPECT_TRUE(saved.contains("\r\n[Buttons Data]\r\n"));
    EXPECT_TRUE(saved.contains("AMCName=Swell\r\nADuration=1500\r\nAstart=20\r\nAend=110\r\nARepeat=True\r\n"
                               "ATriangle=True\r\nAIsSet=True\r\n"));
    EXPECT_TRUE(saved.contains("Control=Push Butns\r\nControlNum=213\r\nPatchID=" + target->Tag.toLatin1() +
                               "\r\nBtnIcon=9\r\n"));

    Desk copy(dir.path());
    copy.load(first);
    const QList<ButtonsPanel*> loaded = copy.buttonsPanels();
    ASSERT_EQ(loaded.size(), 2);
    ButtonsPanel* restored = loaded[1];
    EXPECT_EQ(restored->caption(), "Pedals");
    EXPECT_EQ(restored->BtnOpt(0), 2);
    EXPECT_EQ(restored->autoSettings(1),
              (AutoSettings{QStringLiteral("Swell"), 1500, 20, 110, true, true, true}));
    EXPECT_EQ(restored->autoSettings(2).Aend, -8192);
    EXPECT_EQ(restored->patchId(3), loaded[0]->Tag.toInt());
    EXPECT_EQ(restored->BtnIcon(3), 9);
    EXPECT_FALSE(restored->IsChanged);
    ASSERT_TRUE(copy.save(second));
    EXPECT_EQ(readAll(second), saved);
}

}  // namespace
}  // namespace orvell
