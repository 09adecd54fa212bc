#pragma once

#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
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

}  // namespace orvell::test
