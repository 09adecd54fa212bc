// Feeds arbitrary bytes to the session reader of a whole desk on virtual
// ports, answering every question with OK; built a second time with
// ORVELL_FUZZ_PANEL_FILE for the single-panel file reader.

#include "app/AOrvell.h"
#include "midi/VirtualMidiSystem.h"
#include "panels/Panel.h"
#include "panels/SessionFile.h"
#include "panels/Shared.h"
#include "support/FakeClock.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <cstdint>
#include <memory>

namespace {

struct Desk {
    Desk()
    {
        auto scheduler = std::make_unique<orvell::test::FakeClock>();
        clock = scheduler.get();
        shared = std::make_unique<orvell::Shared>(std::make_unique<orvell::VirtualMidiSystem>(2, 2, *clock),
                                                  std::move(scheduler));
        shared->midi.InitMidiDevs();
        window = std::make_unique<orvell::AOrvell>(*shared, dialogs);
        dialogs.setDefaultAnswer(orvell::MsgAnswer::Ok);
        shared->flags.Initializing = false;
    }

    void clearPanels()
    {
        for (QMdiSubWindow* sub : window->mdiArea().subWindowList()) {
            if (auto* panel = qobject_cast<orvell::Panel*>(sub->widget()))
                panel->IsChanged = false;
            delete sub;
        }
        shared->SysExList.clear();
        dialogs.clear();
        // Nothing else turns the event loop here: timers and deletions the
        // load posted would pile up.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    orvell::test::FakeClock* clock = nullptr;
    orvell::test::ScriptedDialogs dialogs;
    std::unique_ptr<orvell::Shared> shared;
    std::unique_ptr<orvell::AOrvell> window;
};

Desk* desk = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    desk = new Desk;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
#ifdef ORVELL_FUZZ_PANEL_FILE
    orvell::readPanelFile(*desk->window, bytes);
#else
    orvell::readSession(*desk->window, bytes);
#endif
    desk->clearPanels();
    return 0;
}
