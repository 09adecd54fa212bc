#pragma once

#include "app/AOrvell.h"
#include "app/StatusLine.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/Shared.h"
#include "support/FakeClock.h"
#include "support/FakeJoysticks.h"
#include "support/ScriptedDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QEvent>

#include <gtest/gtest.h>

#include <memory>

namespace orvell::test {

// A main window on virtual ports (or the given MIDI system) with scripted
// dialogs and a fake clock.
struct TestDesk {
    explicit TestDesk(int inputs = 1, int outputs = 2)
    {
        auto system = std::make_unique<VirtualMidiSystem>(inputs, outputs, *clock);
        midi = system.get();
        open(std::move(system));
    }
    explicit TestDesk(std::unique_ptr<MidiSystem> system) { open(std::move(system)); }
    ~TestDesk()
    {
        // Closed panels go away with the next turn of the event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window.reset();
        shared.reset();
        QDir::setCurrent(previousDir);
    }
    TestDesk(const TestDesk&) = delete;
    TestDesk& operator=(const TestDesk&) = delete;

    // Runs start-up and shows the window at the given size.
    void start(QSize size)
    {
        EXPECT_TRUE(window->Load({}));
        window->resize(size);
        window->show();
        QCoreApplication::processEvents();
    }

    QString field(int n) const { return window->statusLine().fieldText(n); }

    void open(std::unique_ptr<MidiSystem> system)
    {
        // Start-up reads the default session from the current directory and
        // the exit writes it there: give each desk an empty one of its own.
        QFile(home.filePath(QStringLiteral("Orvell.ini"))).open(QIODevice::WriteOnly);
        QDir::setCurrent(home.path());
        shared = std::make_unique<Shared>(std::move(system), std::move(scheduler));
        window = std::make_unique<AOrvell>(*shared, dialogs);
        window->setJoystickSystem(joysticks.get());
    }

    QString previousDir = QDir::currentPath();
    QTemporaryDir home;
    std::unique_ptr<FakeClock> scheduler = std::make_unique<FakeClock>();
    FakeClock* clock = scheduler.get();
    VirtualMidiSystem* midi = nullptr;  // none on another system
    ScriptedDialogs dialogs;
    // No stick until a test plugs one in, or puts SDL's own in its place before start().
    std::unique_ptr<JoystickSystem> joysticks = std::make_unique<FakeJoysticks>();
    FakeJoysticks* sticks = static_cast<FakeJoysticks*>(joysticks.get());
    std::unique_ptr<Shared> shared;
    std::unique_ptr<AOrvell> window;
};

}  // namespace orvell::test
