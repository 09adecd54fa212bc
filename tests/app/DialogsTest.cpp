#include "app/BigMsgBox.h"
#include "app/HiddenMenu.h"
#include "app/QtDialogs.h"
#include "help/MessageTable.h"
#include "panels/ColorConvert.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace orvell {
namespace {

// What a control sends to the hint callback, in order.
struct HintLog {
    std::function<void(const QString&)> sink() { return [this](const QString& text) { texts << text; }; }
    QStringList texts;
};

void hover(QWidget* widget)
{
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(widget, &enter);
}

// Runs `act` on the visible top-level window called `name` once a modal
// loop is running; closes it if `act` left it open, so a test never hangs.
void whenShown(const QString& name, std::function<void(QWidget*)> act)
{
    QTimer::singleShot(0, [name, act] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == name && widget->isVisible()) {
                act(widget);
                if (widget->isVisible())
                    widget->close();
                return;
            }
        }
        ADD_FAILURE() << "no " << name.toStdString() << " shown";
    });
}

const QString kYesHint = QStringLiteral("You'll be prompted for a file name");
const QString kEachPanel = QStringLiteral(" for each remaining changed panel");
const QString kLosing = QStringLiteral("You're loosing a change of some kind by selecting this");
const QString kOtherPanels =
    QStringLiteral("If you have changed another panel you will still get a chance to save it");
const QString kStopExit = QStringLiteral("Stop the exit process.  The entire session will remain active");

TEST(BigMsgBox, ShowsTheQuestionBesideAPictureUnderTheProgramName)
{
    const MessageTable messages;
    BigMsgBox box(QStringLiteral("Panel 'Faders' has changed.\rDo you want to save it?"), messages);
    EXPECT_EQ(box.windowTitle(), "Orvell");
    EXPECT_TRUE(box.isModal());
    auto* text = box.findChild<QLabel*>("MsgText");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), "Panel 'Faders' has changed.\nDo you want to save it?");
    EXPECT_EQ(text->geometry(), QRect(56, 12, 265, 45));
    auto* image = box.findChild<QLabel*>("Image1");
    ASSERT_NE(image, nullptr);
    EXPECT_FALSE(image->pixmap().isNull());
    EXPECT_LE(image->geometry().right(), text->geometry().left());
    // Every button lies inside the box, side by side without overlapping.
    QRect previous;
    for (const char* name : {"BtnYes", "BtnYesAll", "BtnNo", "BtnNoAll", "BtnCancel"}) {
        auto* button = box.findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_TRUE(box.rect().contains(button->geometry())) << name;
        EXPECT_GT(button->geometry().left(), previous.right()) << name;
        EXPECT_GT(button->geometry().top(), text->geometry().bottom()) << name;
        previous = button->geometry();
    }
}

TEST(BigMsgBox, EachButtonAnswersWithItsCodeAndHintsWhatItDoes)
{
    const struct {
        const char* name;
        const char* caption;
        BigAnswer answer;
        int code;
        QString hint;
    } cases[] = {
        {"BtnYes", "Yes", BigAnswer::Yes, 6, kYesHint},
        {"BtnYesAll", "Yes To All", BigAnswer::YesToAll, 4, kYesHint + kEachPanel},
        {"BtnNo", "No", BigAnswer::No, 7, kLosing + kOtherPanels},
        {"BtnNoAll", "No To All", BigAnswer::NoToAll, 3, kLosing + kEachPanel},
    };
    const MessageTable messages;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HintLog hints;
        BigMsgBox box(QStringLiteral("?"), messages, hints.sink());
        box.show();
        auto* button = box.findChild<QPushButton*>(c.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), c.caption);
        hover(button);
        EXPECT_EQ(hints.texts, QStringList{c.hint});
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(box.answer(), c.answer);
        EXPECT_EQ(box.result(), c.code);
    }
}

TEST(BigMsgBox, CancelHintsOnMouseDownAndAnswersTwo)
{
    HintLog hints;
    const MessageTable messages;
    BigMsgBox box(QStringLiteral("?"), messages, hints.sink());
    box.show();
    auto* cancel = box.findChild<QPushButton*>("BtnCancel");
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), "Cancel");
    hover(cancel);
    EXPECT_TRUE(hints.texts.isEmpty());
    QTest::mousePress(cancel, Qt::LeftButton);
    EXPECT_EQ(hints.texts, QStringList{kStopExit});
    QTest::mouseRelease(cancel, Qt::LeftButton);
    EXPECT_EQ(box.answer(), BigAnswer::Cancel);
    EXPECT_EQ(box.result(), 2);
}

TEST(BigMsgBox, EscapeOrTheCloseBoxAnswersCancel)
{
    const MessageTable messages;
    {
        BigMsgBox box(QStringLiteral("?"), messages);
        box.show();
        QTest::keyClick(&box, Qt::Key_Escape);
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(box.answer(), BigAnswer::Cancel);
        EXPECT_EQ(box.result(), 2);
    }
    {
        BigMsgBox box(QStringLiteral("?"), messages);
        box.show();
        EXPECT_TRUE(box.close());
        EXPECT_EQ(box.answer(), BigAnswer::Cancel);
        EXPECT_EQ(box.result(), 2);
    }
}

TEST(BigMsgBox, HintsComeFromALoadedMessageFile)
{
    MessageTable messages;
    QByteArray bytes = messages.toFileBytes();
    bytes.replace("\"You'll be prompted for a file name\"", "\"Pick a name\"");
    bytes.replace("\" for each remaining changed panel\"", "\", and again\"");
    ASSERT_FALSE(messages.loadFromBytes(bytes).has_value());
    HintLog hints;
    BigMsgBox box(QStringLiteral("?"), messages, hints.sink());
    hover(box.findChild<QPushButton*>("BtnYes"));
    hover(box.findChild<QPushButton*>("BtnYesAll"));
    hover(box.findChild<QPushButton*>("BtnNoAll"));
    EXPECT_EQ(hints.texts, (QStringList{"Pick a name", "Pick a name, and again", kLosing + ", and again"}));
}

TEST(BigMsgBox, AskWaitsForTheButtonPressed)
{
    const MessageTable messages;
    HintLog hints;
    whenShown(QStringLiteral("BigMsgBox"), [](QWidget* box) {
        QTest::mouseClick(box->findChild<QPushButton*>("BtnNoAll"), Qt::LeftButton);
    });
    EXPECT_EQ(BigMsgBox::ask(nullptr, QStringLiteral("Panel 'A' has changed."), messages, hints.sink()),
              BigAnswer::NoToAll);
}

TEST(QtDialogsWithoutScreen, TheFiveButtonBoxPrintsTheQuestionAndAnswersCancel)
{
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        GTEST_SKIP() << "needs the offscreen platform";
    QtDialogs dialogs;
    testing::internal::CaptureStderr();
    EXPECT_EQ(dialogs.BigMsgBox(QStringLiteral("Panel 'A' has changed.\rSave?")), BigAnswer::Cancel);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Orvell: Panel 'A' has changed.\nSave?"), std::string::npos) << err;
}

// HiddenMenu

struct HiddenMenuFixture : testing::Test {
    HiddenMenu::Entries entries{{QStringLiteral("Horizontal Faders"), 3},
                                {QStringLiteral("Patch List"), 11},
                                {QStringLiteral("Play Sequence"), 7}};
    MessageTable messages;
    HintLog hints;

    QListWidget* listOf(HiddenMenu& menu) { return menu.findChild<QListWidget*>("HiddenList"); }
    QPushButton* button(HiddenMenu& menu, const char* name) { return menu.findChild<QPushButton*>(name); }
};

TEST_F(HiddenMenuFixture, ListsTheNamesInOrderUnderItsCaption)
{
    HiddenMenu menu(entries, messages);
    EXPECT_EQ(menu.windowTitle(), "Hidden Panels");
    EXPECT_TRUE(menu.isModal());
    QListWidget* list = listOf(menu);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->geometry(), QRect(8, 8, 157, 108));
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), "Horizontal Faders");
    EXPECT_EQ(list->item(2)->text(), "Play Sequence");
    EXPECT_EQ(list->selectedItems().size(), 0);
    ASSERT_NE(button(menu, "OkBtn"), nullptr);
    ASSERT_NE(button(menu, "CancelBtn"), nullptr);
    EXPECT_EQ(button(menu, "OkBtn")->text(), "OK");
    EXPECT_EQ(button(menu, "CancelBtn")->text(), "Cancel");
}

TEST_F(HiddenMenuFixture, DoubleClickOnANameChoosesItsPanel)
{
    HiddenMenu menu(entries, messages);
    menu.show();
    QListWidget* list = listOf(menu);
    const QPoint row = list->visualItemRect(list->item(1)).center();
    // As a real double-click arrives: a click, then the double-click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
    EXPECT_TRUE(menu.isVisible());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);
    EXPECT_FALSE(menu.isVisible());
    EXPECT_EQ(menu.chosen(), 11);
}

TEST_F(HiddenMenuFixture, OkChoosesOnlyASelectedName)
{
    const struct {
        const char* what;
        HiddenMenu::Entries entries;
        int selectRow;  // -1 selects nothing
        std::optional<int> chosen;
    } cases[] = {
        {"selected", entries, 2, 7},
        {"nothing selected", entries, -1, std::nullopt},
        {"empty list", {}, -1, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HiddenMenu menu(c.entries, messages);
        menu.show();
        EXPECT_EQ(listOf(menu)->count(), c.entries.size());
        if (c.selectRow >= 0)
            QTest::mouseClick(listOf(menu)->viewport(), Qt::LeftButton, {},
                              listOf(menu)->visualItemRect(listOf(menu)->item(c.selectRow)).center());
        QTest::mouseClick(button(menu, "OkBtn"), Qt::LeftButton);
        EXPECT_FALSE(menu.isVisible());
        EXPECT_EQ(menu.chosen(), c.chosen);
    }
}

TEST_F(HiddenMenuFixture, CancelOrClosingChoosesNoneEvenWithASelection)
{
    for (const bool viaCancel : {true, false}) {
        SCOPED_TRACE(viaCancel ? "Cancel" : "close box");
        HiddenMenu menu(entries, messages);
        menu.show();
        listOf(menu)->setCurrentRow(0);
        ASSERT_EQ(listOf(menu)->selectedItems().size(), 1);
        if (viaCancel)
            QTest::mouseClick(button(menu, "CancelBtn"), Qt::LeftButton);
        else
            menu.close();
        EXPECT_FALSE(menu.isVisible());
        EXPECT_EQ(menu.chosen(), std::nullopt);
    }
}

TEST_F(HiddenMenuFixture, HintsNameWhatEachControlDoes)
{
    HiddenMenu menu(entries, messages, hints.sink());
    hover(listOf(menu));
    hover(button(menu, "OkBtn"));
    hover(button(menu, "CancelBtn"));
    EXPECT_EQ(hints.texts, (QStringList{"Double-click a panel name to make the panel visible and exit",
                                        "Make the selected panel visible, and exit",
                                        "Exit without making a panel visible"}));
}

TEST_F(HiddenMenuFixture, ChooseWaitsForTheChoice)
{
    whenShown(QStringLiteral("HiddenMenu"), [](QWidget* menu) {
        auto* list = menu->findChild<QListWidget*>("HiddenList");
        list->setCurrentRow(1);
        QTest::mouseClick(menu->findChild<QPushButton*>("OkBtn"), Qt::LeftButton);
    });
    EXPECT_EQ(HiddenMenu::choose(nullptr, entries, messages, hints.sink()), 11);

    whenShown(QStringLiteral("HiddenMenu"), [](QWidget* menu) {
        QTest::mouseClick(menu->findChild<QPushButton*>("CancelBtn"), Qt::LeftButton);
    });
    EXPECT_EQ(HiddenMenu::choose(nullptr, entries, messages, hints.sink()), std::nullopt);
}

// File dialogs

TEST(FileFilter, PairsBecomeQtNameFilters)
{
    const struct {
        const char* filter;
        const char* qt;
    } cases[] = {
        {"", ""},
        {"MIDI Files (*.mid)|*.mid", "MIDI Files (*.mid)"},
        {"Bitmap files (*.bmp)|*bmp", "Bitmap files (*.bmp)"},
        {"Sessions (*.orv)|*.orv|All Files (*.*)|*.*", "Sessions (*.orv);;All Files (*)"},
        {"Pictures|*.bmp;*ico", "Pictures (*.bmp *.ico)"},
        {"Pictures (*.bmp; *.ico)|*.bmp; *.ico", "Pictures (*.bmp *.ico)"},
        {"Panels (*.pnl)|*.hfd;*.vfd", "Panels (*.hfd *.vfd)"},
        {"Text files|*.txt|", "Text files (*.txt)"},
        {"Messages|ORV*.txt", "Messages (ORV*.txt)"},
        {"Anything|*", "Anything (*)"},
        {"|*.mid", "*.mid"},
        {"Sessions (*.orv)", "Sessions (*.orv)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        EXPECT_EQ(qtFileFilter(QString::fromLatin1(c.filter)), QString::fromLatin1(c.qt));
    }
}

TEST(FileFilter, RequestSettingsReachTheDialog)
{
    const QString filter = QStringLiteral("MIDI Files (*.mid)|*.mid|All Files (*.*)|*.*");
    const struct {
        const char* what;
        int filterIndex;
        const char* extension;
        bool confirmOverwrite;
        bool save;
        const char* selectedFilter;
        const char* suffix;
    } cases[] = {
        {"first pair", 1, "mid", true, true, "MIDI Files (*.mid)", "mid"},
        {"second pair", 2, ".mid", false, true, "All Files (*)", "mid"},
        {"index past the end", 3, "*.txt", true, false, "MIDI Files (*.mid)", "txt"},
        {"index zero", 0, "", false, false, "MIDI Files (*.mid)", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        FileRequest request;
        request.title = QStringLiteral("Save Sequence");
        request.directory = QDir::tempPath();
        request.fileName = QStringLiteral("song.mid");
        request.filter = filter;
        request.filterIndex = c.filterIndex;
        request.defaultExtension = QString::fromLatin1(c.extension);
        request.confirmOverwrite = c.confirmOverwrite;
        applyFileRequest(dialog, request, c.save);
        EXPECT_EQ(dialog.windowTitle(), "Save Sequence");
        EXPECT_EQ(dialog.nameFilters(), (QStringList{"MIDI Files (*.mid)", "All Files (*)"}));
        EXPECT_EQ(dialog.selectedNameFilter(), c.selectedFilter);
        EXPECT_EQ(dialog.defaultSuffix(), c.suffix);
        EXPECT_EQ(dialog.testOption(QFileDialog::DontConfirmOverwrite), !c.confirmOverwrite);
        EXPECT_EQ(dialog.acceptMode(), c.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        EXPECT_EQ(dialog.fileMode(), c.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        EXPECT_EQ(QDir(dialog.directory()).canonicalPath(), QDir(QDir::tempPath()).canonicalPath());
    }
}

// Colours

TEST(ColorConvert, PlainColoursAreRedGreenBlueFromTheLowByte)
{
    const struct {
        StoredColor stored;
        QColor color;
    } cases[] = {
        {0x000000, QColor(0, 0, 0)},
        {0x0000FF, QColor(255, 0, 0)},
        {0x00FF00, QColor(0, 255, 0)},
        {0xFF0000, QColor(0, 0, 255)},
        {0x123456, QColor(0x56, 0x34, 0x12)},
        {0xFFFFFF, QColor(255, 255, 255)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(toQColor(c.stored), c.color);
        EXPECT_EQ(fromQColor(c.color), c.stored);
        EXPECT_EQ(fromQColor(toQColor(c.stored)), c.stored);
    }
}

TEST(ColorConvert, FromQColorAlwaysGivesAPlainValue)
{
    EXPECT_EQ(fromQColor(QColor(1, 2, 3, 4)), 0x030201u);
    EXPECT_EQ(fromQColor(QColor::fromHsv(240, 255, 255)), 0xFF0000u);
    EXPECT_EQ(fromQColor(QColor()), 0u);
    const QColor face = QApplication::palette().color(QPalette::Button);
    const StoredColor stored = fromQColor(face);
    EXPECT_FALSE(isSystemColor(stored));
    EXPECT_EQ(toQColor(stored), QColor(face.red(), face.green(), face.blue()));
}

TEST(ColorConvert, DesktopSchemeColoursFollowThePalette)
{
    // Each role its own colour, so a wrong role shows.
    QPalette palette;
    int shade = 1;
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            palette.setColor(group, static_cast<QPalette::ColorRole>(role), QColor::fromRgb(shade++, role, group));
    }
    const auto active = [&](QPalette::ColorRole role) { return palette.color(QPalette::Active, role); };
    const struct {
        StoredColor index;
        QColor color;
    } cases[] = {
        {0x01, active(QPalette::Window)},
        {0x04, active(QPalette::Window)},
        {0x05, active(QPalette::Base)},
        {0x07, active(QPalette::WindowText)},
        {0x08, active(QPalette::WindowText)},
        {0x0C, active(QPalette::Dark)},
        {0x0D, active(QPalette::Highlight)},
        {0x0E, active(QPalette::HighlightedText)},
        {0x0F, active(QPalette::Button)},
        {0x10, active(QPalette::Dark)},
        {0x11, palette.color(QPalette::Disabled, QPalette::Text)},
        {0x12, active(QPalette::ButtonText)},
        {0x14, active(QPalette::Light)},
        {0x17, active(QPalette::ToolTipText)},
        {0x18, active(QPalette::ToolTipBase)},
        {0x63, active(QPalette::Button)},
        {0x7FFFFFFF, active(QPalette::Button)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(toQColor(0x80000000u | c.index, palette), c.color);
    }
    EXPECT_EQ(toQColor(SysColor::ButtonFace), QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(toQColor(SysColor::AppWorkspace), QApplication::palette().color(QPalette::Dark));
    EXPECT_EQ(toQColor(SysColor::Highlight3D), QApplication::palette().color(QPalette::Light));
}

}  // namespace
}  // namespace orvell
