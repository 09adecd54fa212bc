#pragma once

#include "core/SectionFile.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/Panel.h"
#include "panels/Shared.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace orvell::test {

// A named control of a panel; fails the test when there is none.
template <typename T>
T* child(QWidget* panel, const QString& name)
{
    T* found = panel->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

// Replaces the text of a box by typing, then presses Enter.
inline void typeEnter(QLineEdit* box, const QString& text)
{
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

// Clicks a slot's label (`label` + slot, "CntrlLbl1"), then types into the
// selector it shows; the selector is gone again after Enter.
inline void chooseInSlot(QWidget* panel, const QString& label, int slot, const QString& selector, const QString& text)
{
    QTest::mouseClick(child<QWidget>(panel, label + QString::number(slot)), Qt::LeftButton);
    auto* combo = child<QComboBox>(panel, selector);
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->isVisible());
    typeEnter(combo->lineEdit(), text);
    EXPECT_FALSE(combo->isVisible());
}

// The middle of a part of a scroll bar as it is drawn now: an arrow, the
// trough on either side of the thumb, or the thumb.
inline QPoint scrollBarPart(const QScrollBar* bar, QStyle::SubControl part)
{
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.subControls = QStyle::SC_All;
    opt.orientation = bar->orientation();
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = bar->sliderPosition();
    opt.sliderValue = bar->value();
    opt.singleStep = bar->singleStep();
    opt.pageStep = bar->pageStep();
    opt.upsideDown = bar->invertedAppearance();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, part, bar).center();
}

// The bytes of every message sent so far, in order.
inline std::vector<std::vector<std::uint8_t>> sentBytes(const VirtualMidiSystem& midi)
{
    std::vector<std::vector<std::uint8_t>> out;
    for (const auto& message : midi.sent())
        out.push_back(message.bytes);
    return out;
}

// A panel's data section as a session save writes it.
inline QByteArray sectionOf(Panel* panel)
{
    SectionWriter out;
    panel->SaveMe(out);
    return out.bytes();
}

// Loads section bytes the way a session load does: header taken, no MIDI, no change marks.
inline QStringList loadSection(Shared& shared, Panel* panel, const QByteArray& bytes)
{
    SectionReader in(bytes);
    in.next();
    shared.flags.Initializing = true;
    QStringList problems = panel->LoadMe(in);
    shared.flags.Initializing = false;
    return problems;
}

}  // namespace orvell::test
