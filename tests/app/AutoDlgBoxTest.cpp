#include "controllers/AutoDlgBox.h"
#include "help/MessageTable.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace orvell {
namespace {

struct Box {
    explicit Box(int code, const AutoSettings& stored = {}, const QString& name = QStringLiteral("  Vol  "))
        : dialog(name, code, stored, messages, dialogs, [this](const QString& text) { hints << text; })
    {
        dialog.show();
    }

    template <typename T>
    T* get(const char* name)
    {
        T* found = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString text(const char* name) { return get<QLineEdit>(name)->text(); }
    QString label(const char* name) { return get<QLabel>(name)->text(); }
    void type(const char* name, const QString& value)
    {
        QLineEdit* box = get<QLineEdit>(name);
        box->selectAll();
        QTest::keyClicks(box, value);
        QTest::keyClick(box, Qt::Key_Return);
    }

    MessageTable messages;
    test::ScriptedDialogs dialogs;
    QStringList hints;
    AutoDlgBox dialog;
};

TEST(AutoDlgBox, OpensWithTheDefaultsOfItsController)
{
    struct Case {
        int code;
        int start, end, lower, upper, small, large;
    };
    for (const Case& c : {Case{7, 127, 0, 0, 127, 1, 10}, Case{11, 127, 0, 0, 127, 1, 10},
                          Case{8, 63, 0, 0, 127, 1, 10}, Case{10, 63, 0, 0, 127, 1, 10},
                          Case{202, 0, -8192, -8192, 8191, 64, 645}, Case{1, 0, 127, 0, 127, 1, 10}}) {
        Box box(c.code);
        EXPECT_EQ(box.text("StartVal"), QString::number(c.start)) << c.code;
        EXPECT_EQ(box.text("EndVal"), QString::number(c.end)) << c.code;
        EXPECT_EQ(box.label("DMinLbl"), QString::number(c.lower));
        EXPECT_EQ(box.label("DMaxLbl"), QString::number(c.upper));
        auto* bar = box.get<QScrollBar>("StartScrol");
        EXPECT_EQ(bar->singleStep(), c.small);
        EXPECT_EQ(bar->pageStep(), c.large);
        EXPECT_EQ(box.text("ActiveVal"), "500");
        EXPECT_EQ(box.label("TimeUnits"), "ms");
        EXPECT_FALSE(box.get<QCheckBox>("RepeatChk")->isChecked());
        EXPECT_FALSE(box.get<QRadioButton>("RptOptn0")->isVisible());
        EXPECT_FALSE(box.get<QRadioButton>("RptOptn1")->isVisible());
    }
    Box box(7);
    EXPECT_EQ(box.dialog.windowTitle(), "  Vol   Auto Settings");
}

TEST(AutoDlgBox, ShowsStoredSettingsOnceSet)
{
    Box box(7, AutoSettings{QStringLiteral("Swell"), 1500, 20, 110, true, false, true});
    EXPECT_EQ(box.text("CName"), "Swell");
    EXPECT_EQ(box.text("StartVal"), "20");
    EXPECT_EQ(box.text("EndVal"), "110");
    EXPECT_EQ(box.text("ActiveVal"), "1.5");
    EXPECT_EQ(box.label("TimeUnits"), "s");
    EXPECT_TRUE(box.get<QCheckBox>("RepeatChk")->isChecked());
    EXPECT_TRUE(box.get<QRadioButton>("RptOptn1")->isChecked());  // ramp
    EXPECT_TRUE(box.get<QRadioButton>("RptOptn0")->isVisible());

    box.get<QCheckBox>("RepeatChk")->click();
    EXPECT_FALSE(box.get<QRadioButton>("RptOptn0")->isVisible());
}

TEST(AutoDlgBox, DurationMovesInTicksAndShowsItsUnit)
{
    Box box(1);
    auto* bar = box.get<QScrollBar>("ActiveScrol");
    EXPECT_EQ(bar->maximum(), 7000);
    EXPECT_EQ(bar->singleStep(), 50);
    EXPECT_EQ(bar->pageStep(), 500);
    struct Case {
        const char* typed;
        int ms;
        const char* shown;
        const char* unit;
    };
    // Typed values are read in the unit shown at the time.
    for (const Case& c : {Case{"30", 0, "0", "ms"}, Case{"999", 999, "999", "ms"}, Case{"1000", 1000, "1", "s"},
                          Case{"2.5", 2500, "2.5", "s"}, Case{"none", 2500, "2.5", "s"}, Case{"60", 7000, "7", "s"}}) {
        box.type("ActiveVal", QString::fromLatin1(c.typed));
        EXPECT_EQ(bar->value(), c.ms) << c.typed;
        EXPECT_EQ(box.text("ActiveVal"), c.shown) << c.typed;
        EXPECT_EQ(box.label("TimeUnits"), c.unit) << c.typed;
    }
    bar->setValue(20);
    EXPECT_EQ(bar->value(), 0);
}

TEST(AutoDlgBox, RepeatIsHiddenForAZeroLengthSweepToTheSameValue)
{
    Box box(1);
    auto* repeat = box.get<QCheckBox>("RepeatChk");
    box.type("ActiveVal", QStringLiteral("0"));
    EXPECT_TRUE(repeat->isVisible());
    box.type("EndVal", QStringLiteral("0"));
    EXPECT_FALSE(repeat->isVisible());
    box.type("ActiveVal", QStringLiteral("50"));
    EXPECT_TRUE(repeat->isVisible());
}

TEST(AutoDlgBox, TypedValuesAreClampedAndNonNumbersRevert)
{
    Box bend(202);
    struct Case {
        const char* typed;
        const char* shown;
    };
    for (const Case& c : {Case{"-9000", "-8192"}, Case{"9000", "8191"}, Case{"x", "8191"}, Case{"12.5", "12"}}) {
        bend.type("StartVal", QString::fromLatin1(c.typed));
        EXPECT_EQ(bend.text("StartVal"), c.shown) << c.typed;
    }
    Box volume(7);
    volume.type("EndVal", QStringLiteral("200"));
    EXPECT_EQ(volume.text("EndVal"), "127");
}

TEST(AutoDlgBox, DraggedPitchBendNearTheCentreSnapsToIt)
{
    struct Case {
        int code, dragTo, shown;
    };
    for (const Case& c : {Case{202, 500, 0}, Case{202, -800, 0}, Case{202, 801, 801}, Case{7, 5, 5}}) {
        Box box(c.code);
        auto* bar = box.get<QScrollBar>("EndScrol");
        bar->setSliderDown(true);
        bar->setSliderPosition(c.dragTo);
        EXPECT_EQ(box.text("EndVal"), QString::number(c.shown)) << c.code << " " << c.dragTo;
        bar->setSliderDown(false);
        EXPECT_EQ(bar->value(), c.shown);
    }
}

TEST(AutoDlgBox, OkReportsTheSettingsAndCancelNothing)
{
    {
        Box box(10);
        box.get<QLineEdit>("CName")->setText(QStringLiteral("Sweep"));
        box.type("StartVal", QStringLiteral("5"));
        box.get<QCheckBox>("RepeatChk")->click();
        box.get<QRadioButton>("RptOptn0")->click();
        QTest::mouseClick(box.get<QPushButton>("OkBtn"), Qt::LeftButton);
        ASSERT_TRUE(box.dialog.outcome().has_value());
        EXPECT_EQ(*box.dialog.outcome(), (AutoSettings{QStringLiteral("Sweep"), 500, 5, 0, true, true, true}));
    }
    Box box(10);
    box.type("StartVal", QStringLiteral("5"));
    QTest::mouseClick(box.get<QPushButton>("CancelBtn"), Qt::LeftButton);
    EXPECT_FALSE(box.dialog.outcome().has_value());
}

TEST(AutoDlgBox, NumericNameIsQuestioned)
{
    Box box(7);
    box.dialogs.answer(MsgAnswer::No);
    box.type("CName", QStringLiteral("42"));
    ASSERT_EQ(box.dialogs.asked().size(), 1u);
    EXPECT_EQ(box.dialogs.asked()[0].text, "This field is for a descriptive name. Are you sure want a number here?");
    EXPECT_TRUE(box.dialog.isVisible());
    box.dialogs.answer(MsgAnswer::Yes);
    box.type("CName", QStringLiteral("43"));
    EXPECT_EQ(box.text("CName"), "43");
    box.type("CName", QStringLiteral("Swell"));
    EXPECT_EQ(box.dialogs.asked().size(), 2u);
}

TEST(AutoDlgBox, HintsByControl)
{
    Box box(7, AutoSettings{{}, 500, 0, 127, true, true, true});
    struct Case {
        const char* control;
        const char* hint;
    };
    for (const Case& c : {
             Case{"CName", "Text Controller Name (Label). Use Spaces to center or move to 2nd line"},
             Case{"StartScrol", "Sets initial data value for MIDI Auto Controller events"},
             Case{"EndVal", "Sets terminal data value for MIDI Auto  events"},
             Case{"ActiveScrol", "Sets the duration of the sweep of messages from start to end value"},
             Case{"RepeatChk",
                  "Continuously repeat sweep of data values until you release the controlling push-button"},
             Case{"RptOptn0", "Data values sweep from start to end, then reverse sweep from end to start values"},
             Case{"RptOptn1", "Data values sweep from start to end.  At end, data jumps to start value for next sweep"},
             Case{"OkBtn", "Save changes and exit"},
             Case{"CancelBtn", "Discard any changes and exit"},
             Case{"AutoDlgBox", "Automatic (sweep) controller setup.  Push button can produce "},
         }) {
        QWidget* widget = QString::fromLatin1(c.control) == u"AutoDlgBox"
                              ? &box.dialog
                              : box.dialog.findChild<QWidget*>(QString::fromLatin1(c.control));
        ASSERT_NE(widget, nullptr) << c.control;
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(widget, &enter);
        EXPECT_EQ(box.hints.last().toStdString(), c.hint);
    }
}

TEST(AutoDlgBox, ScreenshotOnRequest)
{
    const QString folder = qEnvironmentVariable("ORVELL_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "set ORVELL_SCREENSHOTS to a folder to get a screenshot";
    Box box(202, AutoSettings{QStringLiteral("Dive"), 1500, 0, -8192, true, true, true}, QStringLiteral("Pitch Bend"));
    EXPECT_TRUE(box.dialog.grab().save(folder + "/auto-settings.png"));
}

}  // namespace
}  // namespace orvell
