#include "app/AOrvell.h"
#include "app/MainMenus.h"
#include "app/MainToolbar.h"
#include "controllers/ButtonsPanel.h"
#include "panels/Shared.h"
#include "support/Files.h"
#include "support/TestDesk.h"
#include "support/WidgetDriving.h"
#include "tools/IconPalette.h"

#include <QAction>
#include <QDropEvent>
#include <QImage>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace orvell {
namespace {

using test::child;
using Kind = test::ScriptedDialogs::Question::Kind;

struct Desk : test::TestDesk {
    Desk()
    {
        start({1000, 700});
        shared->AppDir = home.path() + u'/';
        window->SetIDIcon_Click();
        palette = &window->iconPalette();
        dialogs.clear();
    }

    // A picture file of one colour, written beside the session.
    QString picture(const QString& name, Qt::GlobalColor colour = Qt::red) const
    {
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = home.filePath(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }
    // Right click on slot `slot` with the dialog answered by `path` ("" =
    // Cancel), and the boxes after it by `then`.
    void chooseFor(int slot, const QString& path, std::initializer_list<MsgAnswer> then = {})
    {
        dialogs.answer(path);
        for (MsgAnswer answer : then)
            dialogs.answer(answer);
        QLabel* image = child<QLabel>(palette, QStringLiteral("IDImage%1").arg(slot));
        QTest::mouseClick(image, Qt::RightButton);
    }
    bool save(const QString& path)
    {
        window->SessionFile = path;
        return window->SaveSession_Click();
    }
    QStringList questions() const
    {
        QStringList list;
        for (const auto& question : dialogs.asked())
            list << question.text;
        return list;
    }
    void drop(QWidget* target, int slot)
    {
        std::unique_ptr<QMimeData> data(palette->dragData(slot));
        QDragEnterEvent enter(QPoint(3, 3), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(3, 3), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
    }

    IconPalette* palette = nullptr;
};

QImage imageOf(const QPixmap& picture) { return picture.toImage().convertToFormat(QImage::Format_RGB32); }

TEST(IconPalette, ReplacedSlotsThreeAndTenAreSavedInOrderAndPackedWithBars)
{
    Desk desk;
    const QString ten = desk.picture(QStringLiteral("ten.png"));
    const QString three = desk.picture(QStringLiteral("three.bmp"), Qt::blue);
    desk.chooseFor(10, ten);
    // The next dialog starts with the filter of the file last chosen.
    desk.chooseFor(3, three);
    ASSERT_EQ(desk.dialogs.asked().size(), 2u);
    const FileRequest& first = desk.dialogs.asked()[0].file;
    EXPECT_EQ(first.title, "Load Image");
    EXPECT_EQ(first.filter, "Bitmap files (*.bmp)|*bmp|Icon files (*.ico)|*ico|Cursor files (*.cur)|*cur"
                            "|Pictures (*.png;*.svg)|*.png;*.svg");
    EXPECT_EQ(desk.dialogs.asked()[1].file.filterIndex, 4);
    EXPECT_EQ(desk.dialogs.asked()[1].file.fileName, "ten.png");
    EXPECT_EQ(desk.shared->IconDir, desk.home.path() + u'/');
    EXPECT_TRUE(desk.palette->IsChanged);
    EXPECT_EQ(desk.palette->StoreIcons(), "3, " + three + "|10, " + ten);
    EXPECT_EQ(imageOf(desk.palette->picture(3)).pixelColor(5, 5), QColor(Qt::blue));

    const QString session = desk.home.filePath(QStringLiteral("s.orv"));
    ASSERT_TRUE(desk.save(session));
    const QByteArray bytes = test::readAll(session);
    EXPECT_TRUE(bytes.contains("\r\n[IconPalette Data]\r\nTextBackColor=-2147483633\r\nIconfile=3, " +
                               three.toUtf8() + "\r\nIconfile=10, " + ten.toUtf8() + "\r\n"));
    EXPECT_FALSE(desk.palette->IsChanged);
    EXPECT_TRUE(test::sentBytes(*desk.midi).empty());
}

TEST(IconPalette, CancellingTheDialogOffersTheOwnPictureBackOnlyForAReplacedSlot)
{
    Desk desk;
    desk.chooseFor(4, QString());
    EXPECT_EQ(desk.questions(), QStringList{"Load Image"});  // a factory slot: nothing more
    EXPECT_FALSE(desk.palette->IsChanged);

    const QString path = desk.picture(QStringLiteral("a.png"));
    desk.chooseFor(4, path);
    desk.palette->IsChanged = false;
    const QImage loaded = imageOf(desk.palette->picture(4));

    // No keeps the file; Yes gives it up, the picture going at the next showing.
    desk.dialogs.clear();
    desk.chooseFor(4, QString(), {MsgAnswer::No});
    EXPECT_EQ(desk.questions(), (QStringList{"Load Image", "Restore default Icon Image?"}));
    EXPECT_EQ(desk.palette->IconFiles().file(4), path);
    EXPECT_FALSE(desk.palette->IsChanged);

    desk.dialogs.clear();
    desk.chooseFor(4, QString(), {MsgAnswer::Yes, MsgAnswer::Ok});
    EXPECT_EQ(desk.questions(), (QStringList{"Load Image", "Restore default Icon Image?",
                                             "Default will be restored after next hide/show cycle"}));
    EXPECT_EQ(desk.palette->StoreIcons(), "");
    EXPECT_TRUE(desk.palette->IsChanged);
    EXPECT_EQ(imageOf(desk.palette->picture(4)), loaded);
    desk.window->IconBtn_Click();
    desk.window->IconBtn_Click();
    EXPECT_EQ(imageOf(desk.palette->picture(4)), imageOf(IconPalette::factoryPicture(4, 1)));
}

TEST(IconPalette, AFileThatIsNoPictureIsReportedAndTheSlotKeepsItsPicture)
{
    Desk desk;
    const QString junk = desk.home.filePath(QStringLiteral("junk.bmp"));
    test::writeFile(junk, QByteArray("\x42\x4d\xff\x00garbage", 11));
    const QString missing = desk.home.filePath(QStringLiteral("gone.ico"));
    for (const QString& path : {junk, missing}) {
        SCOPED_TRACE(path.toStdString());
        desk.dialogs.clear();
        const QImage before = imageOf(desk.palette->picture(7));
        desk.chooseFor(7, path);
        EXPECT_EQ(desk.questions(), (QStringList{"Load Image", "Could not load " + path}));
        EXPECT_EQ(imageOf(desk.palette->picture(7)), before);
        EXPECT_EQ(desk.palette->IconFiles().file(7), "");
        EXPECT_FALSE(desk.palette->IsChanged);
    }
}

TEST(IconPalette, TheLastEightSlotsAndIndexesOutsideTheTableAreNeverReplaced)
{
    Desk desk;
    desk.chooseFor(35, desk.picture(QStringLiteral("a.png")));
    EXPECT_TRUE(desk.dialogs.asked().empty());
    desk.dialogs.clear();  // the unused answer

    const QString good = desk.picture(QStringLiteral("good.png"), Qt::green);
    const QString session = desk.home.filePath(QStringLiteral("in.orv"));
    test::writeFile(session, "[Panels]\r\n[IconPalette]\r\nVisible=True\r\n[IconPalette Data]\r\n"
                             "TextBackColor=255\r\nIconfile=32, " + good.toUtf8() + "\r\nIconfile=39, " +
                                 good.toUtf8() + "\r\nIconfile=-1, " + good.toUtf8() + "\r\nIconfile=x, " +
                                 good.toUtf8() + "\r\nIconfile=12\r\nIconfile= 31 , " + good.toUtf8() + "\r\n");
    desk.dialogs.answer(session);
    desk.window->LoadSession_Click();
    EXPECT_EQ(desk.palette->StoreIcons(), "31, " + good);
    EXPECT_EQ(desk.palette->TextBackColor, 255u);
    EXPECT_FALSE(desk.palette->IsChanged);

    const QString out = desk.home.filePath(QStringLiteral("out.orv"));
    ASSERT_TRUE(desk.save(out));
    const QByteArray bytes = test::readAll(out);
    EXPECT_EQ(bytes.count("Iconfile="), 1);
    EXPECT_TRUE(bytes.contains("\r\nIconfile=31, " + good.toUtf8() + "\r\n"));
}

TEST(IconPalette, DroppedPicturesBecomeIdIconsAndButtonFacesAndFollowTheSlot)
{
    Desk desk;
    Panel* faders = desk.window->createPanel(PanelClass::HFaders);
    auto* buttons = qobject_cast<ButtonsPanel*>(desk.window->createPanel(PanelClass::Buttons));
    faders->IsChanged = buttons->IsChanged = false;
    QLabel* icon = child<QLabel>(faders, QStringLiteral("IDIcon"));
    desk.drop(icon, 5);
    EXPECT_EQ(faders->IDIconindx, 5);
    EXPECT_TRUE(faders->IsChanged);
    EXPECT_EQ(imageOf(icon->pixmap()), imageOf(desk.palette->picture(5)));
    QLabel* face = child<QLabel>(buttons, QStringLiteral("MButton1"));
    desk.drop(face, 5);
    EXPECT_EQ(buttons->BtnIcon(1), 5);
    EXPECT_TRUE(buttons->IsChanged);
    EXPECT_TRUE(test::sentBytes(*desk.midi).empty());

    // A new picture in the slot shows at once wherever the slot is used.
    desk.chooseFor(5, desk.picture(QStringLiteral("five.png"), Qt::yellow));
    EXPECT_EQ(imageOf(icon->pixmap()).pixelColor(4, 4), QColor(Qt::yellow));
    EXPECT_EQ(imageOf(face->pixmap()).pixelColor(4, 4), QColor(Qt::yellow));
    EXPECT_TRUE(test::sentBytes(*desk.midi).empty());
}

TEST(IconPalette, AnUnsavedChangeStopsTheExitOnceWithItsMessage)
{
    struct Case {
        MsgAnswer saveDefault;
        bool firstExitCloses;
    };
    for (const Case c : {Case{MsgAnswer::No, false}, Case{MsgAnswer::Yes, true}}) {
        SCOPED_TRACE(int(c.saveDefault));
        Desk desk;
        desk.chooseFor(2, desk.picture(QStringLiteral("two.png")));
        desk.dialogs.clear();
        desk.dialogs.answer(c.saveDefault);
        desk.dialogs.answer(MsgAnswer::Ok);
        EXPECT_EQ(desk.window->close(), c.firstExitCloses);
        if (c.firstExitCloses) {
            EXPECT_EQ(desk.questions(), QStringList{"Save as Default Session?"});
            continue;
        }
        EXPECT_EQ(desk.questions(), (QStringList{"Save as Default Session?",
                                                 "The Icon Palette can only be saved with a complete session.  "
                                                 "Cancelling Exit"}));
        EXPECT_FALSE(desk.shared->flags.ClosingDown);
        // Told once, the user may leave the change behind.
        desk.dialogs.clear();
        desk.dialogs.answer(MsgAnswer::No);
        EXPECT_TRUE(desk.window->close());
        EXPECT_EQ(desk.questions(), QStringList{"Save as Default Session?"});
    }
}

TEST(IconPalette, TheToolbarButtonShowsAndHidesThePaletteAndLooksPressedWhileItShows)
{
    Desk desk;
    QToolButton* button = desk.window->toolbar().button(QStringLiteral("IconBtn"));
    QMdiSubWindow* frame = desk.palette->subWindow();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(button->isChecked());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(frame->isVisible());
    EXPECT_FALSE(button->isChecked());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(button->isChecked());
    // Its close box hides it, and the button follows.
    frame->close();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_FALSE(button->isChecked());
    desk.window->menus().action(QStringLiteral("SetIDIcon"))->trigger();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(button->isChecked());
    EXPECT_EQ(frame->windowTitle(), "Icon Palette");
}

TEST(IconPalette, TheKeyboardMovesBetweenSlotsAndOpensTheDialog)
{
    Desk desk;
    QLabel* first = child<QLabel>(desk.palette, QStringLiteral("IDImage0"));
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "IDImage5");
    desk.dialogs.answer(QString());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(desk.questions(), QStringList{"Load Image"});
}

}  // namespace
}  // namespace orvell
