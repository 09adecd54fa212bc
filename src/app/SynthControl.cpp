#include "app/SynthControl.h"

#include "app/AOrvell.h"
#include "app/MainMenus.h"
#include "app/StatusLine.h"
#include "core/SectionFile.h"
#include "midi/BuiltInSynth.h"
#include "panels/Dialogs.h"
#include "panels/Shared.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>

namespace orvell {

SynthControl::SynthControl(AOrvell& window, BuiltInSynth& synth) : window_(window), synth_(synth)
{
    // Beside the port configuration, where the ports are chosen.
    QMenu* setup = window.menus().menu(QStringLiteral("Setup"));
    QAction* before = window.menus().action(QStringLiteral("MPortCfg"));
    choice_ = new QAction(QStringLiteral("Built-in synth"), setup);
    choice_->setObjectName(QStringLiteral("BuiltInSynth"));
    choice_->setCheckable(true);
    connect(choice_, &QAction::triggered, this, [this] { BuiltInSynth_Click(); });
    auto* soundFont = new QAction(QStringLiteral("Synth S&oundfont..."), setup);
    soundFont->setObjectName(QStringLiteral("SynthSoundFont"));
    connect(soundFont, &QAction::triggered, this, [this] { SynthSoundFont_Click(); });
    setup->insertAction(before, choice_);
    setup->insertAction(before, soundFont);

    // A notice comes from the synth's thread and is shown on this one.
    synth_.setNotice([this](const QString& text) {
        QMetaObject::invokeMethod(this, [this, text] { showNotice(text); }, Qt::QueuedConnection);
    });
    window.shared().midi.setMapperTap(&synth_);

    watch_ = new QTimer(this);
    watch_->setObjectName(QStringLiteral("SynthWatch"));
    watch_->setInterval(WatchMs);
    connect(watch_, &QTimer::timeout, this, &SynthControl::updateRouting);
    watch_->start();
    updateRouting();
}

SynthControl::~SynthControl()
{
    window_.shared().midi.setMapperTap(nullptr);
    synth_.setNotice({});
    synth_.setRouted(false);
}

void SynthControl::BuiltInSynth_Click()
{
    setForced(!forced_);
    window_.IsChanged = true;
}

void SynthControl::SynthSoundFont_Click()
{
    FileRequest request;
    request.title = QStringLiteral("Synth Soundfont");
    const QString current = synth_.chosenSoundFont().isEmpty() ? synth_.loadedSoundFont() : synth_.chosenSoundFont();
    request.directory = QFileInfo(current).absolutePath();
    request.fileName = QFileInfo(current).fileName();
    request.filter = QStringLiteral("SoundFont Files (*.sf2;*.sf3)|*.sf2;*.sf3");
    request.confirmOverwrite = false;
    const QString path = window_.dialogs().OpenFile(request);
    if (path.isEmpty())
        return;
    // Loaded at once when the synth plays, else kept for when it starts.
    setSoundFont(path);
    window_.IsChanged = true;
}

void SynthControl::setForced(bool forced)
{
    forced_ = forced;
    choice_->setChecked(forced);
    updateRouting();
}

void SynthControl::setSoundFont(const QString& path) { synth_.setSoundFont(path); }

void SynthControl::updateRouting()
{
    // A system that cannot tell who listens gets the synth only when asked for.
    const bool routed = forced_ || window_.shared().midi.mapperListeners() == 0;
    if (routed)
        synth_.start();
    synth_.setRouted(routed);
}

void SynthControl::writeKeys(SectionWriter& out) const
{
    if (forced_)
        out.keyBool(QStringLiteral("BuiltInSynth"), true);
    if (!synth_.chosenSoundFont().isEmpty())
        out.key(QStringLiteral("SynthSoundFont"), synth_.chosenSoundFont());
}

bool SynthControl::readKey(const QString& key, const QString& value)
{
    if (key == u"BuiltInSynth") {
        if (const auto on = parseSectionBool(value))
            setForced(*on);
        return true;
    }
    if (key == u"SynthSoundFont") {
        setSoundFont(value);
        return true;
    }
    return false;
}

void SynthControl::showNotice(const QString& text)
{
    StatusLine& status = window_.statusLine();
    status.setKeep(false);
    status.ShowStatusText(2, text);
    // Trouble stays in view until the next menu; a working synth is just said.
    status.setKeep(synth_.state() != BuiltInSynth::State::Playing);
}

}  // namespace orvell
