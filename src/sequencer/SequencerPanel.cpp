#include "sequencer/SequencerPanel.h"

#include "core/SectionFile.h"
#include "core/Twips.h"
#include "panels/Dialogs.h"
#include "panels/PanelHost.h"
#include "panels/Shared.h"
#include "sequencer/PlayerClock.h"
#include "sequencer/SequencePlayer.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

namespace orvell {

namespace {

enum : int {
    MsgFail = 3,
    MsgPanelGone = 72,
    MsgCouldNotLoad = 168,
    MsgOpenSequence = 179,
    MsgButtonControls = 230,
};

// The track line and the marker, in twips as the panel was drawn.
constexpr int TrackLeft = 120;
constexpr int TrackLength = 1320;
constexpr int TrackY = 480;
constexpr int MarkerTop = 465;
constexpr int MarkerHeight = 30;
constexpr int MarkerPixels = 2;

const QColor MarkerGreen{0, 255, 0};

QFrame* makeLine(QWidget* parent, const QString& name, const QColor& color)
{
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, color);
    line->setPalette(palette);
    line->setMouseTracking(true);
    return line;
}

QToolButton* makeTransportButton(QWidget* parent, const QString& name, QStyle::StandardPixmap icon)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setAutoRaise(false);
    return button;
}

}  // namespace

SequencerPanel::SequencerPanel(PanelHost& host, QWidget* parent)
    : Panel(PanelClass::Sequencer, host, parent), ownClock_(std::make_unique<SteadyPlayerClock>())
{
    if (auto* design = findChild<QLabel*>(QStringLiteral("DesignCaption")))
        design->hide();
    buildControls();
    player_ = std::make_unique<SequencePlayer>(host.shared().midi, *ownClock_);
    attachPlayer();
}

SequencerPanel::~SequencerPanel() = default;

void SequencerPanel::buildControls()
{
    track_ = makeLine(this, QStringLiteral("Track"), palette().color(QPalette::WindowText));
    track_->setGeometry(twipsToPixels(TrackLeft), twipsToPixels(TrackY), twipsToPixels(TrackLength) + 1, 1);
    position_ = makeLine(this, QStringLiteral("Position"), MarkerGreen);
    showPosition(0);

    rewindBtn_ = makeTransportButton(this, QStringLiteral("RewindBtn"), QStyle::SP_MediaSkipBackward);
    playBtn_ = makeTransportButton(this, QStringLiteral("PlayBtn"), QStyle::SP_MediaPlay);
    stopBtn_ = makeTransportButton(this, QStringLiteral("StopBtn"), QStyle::SP_MediaStop);
    openBtn_ = new QPushButton(QStringLiteral("Open"), this);
    openBtn_->setObjectName(QStringLiteral("OpenBtn"));

    // The transport row sits under the track, where the media control stood.
    constexpr int RowTop = 44;
    constexpr int ButtonSize = 26;
    int x = twipsToPixels(TrackLeft);
    for (QToolButton* button : {rewindBtn_, playBtn_, stopBtn_}) {
        button->setGeometry(x, RowTop, ButtonSize, ButtonSize);
        x += ButtonSize + 4;
    }
    openBtn_->setGeometry(twipsToPixels(TrackLeft + TrackLength) + 16, RowTop, 56, ButtonSize);

    connect(openBtn_, &QPushButton::clicked, this, &SequencerPanel::OpenBtn_Click);
    connect(playBtn_, &QToolButton::clicked, this, &SequencerPanel::PlayBtn_Click);
    connect(stopBtn_, &QToolButton::clicked, this, &SequencerPanel::StopBtn_Click);
    connect(rewindBtn_, &QToolButton::clicked, this, &SequencerPanel::RewindBtn_Click);
    for (QWidget* control : std::initializer_list<QWidget*>{openBtn_, playBtn_, stopBtn_, rewindBtn_, track_, position_})
        control->installEventFilter(this);
    updateButtons();
}

void SequencerPanel::attachPlayer()
{
    SequenceStatus& status = player_->status();
    connect(&status, &SequenceStatus::positionChanged, this, &SequencerPanel::showPosition);
    connect(&status, &SequenceStatus::playingChanged, this, &SequencerPanel::updateButtons);
}

void SequencerPanel::usePlayerClock(PlayerClock& clock)
{
    player_ = std::make_unique<SequencePlayer>(host_.shared().midi, clock);
    ownClock_.reset();
    attachPlayer();
    QString error;
    if (!fileName_.isEmpty())
        player_->open(fileName_, error);
    updateButtons();
}

bool SequencerPanel::LoadSeq(const QString& fileName)
{
    QString error;
    if (!player_->open(fileName, error)) {
        Shared& shared = host_.shared();
        const QString what = shared.msg(MsgCouldNotLoad) + QDir::toNativeSeparators(fileName);
        host_.ShowStatusText(0, what);
        host_.ShowStatusText(1, shared.msg(MsgFail));
        host_.dialogs().MsgBox(what + u'\r' + error, MsgButtons::Ok, MsgIcon::Exclamation, shared.msg(MsgOpenSequence));
        return false;
    }
    fileName_ = fileName;
    setCaption(QFileInfo(fileName).completeBaseName());
    updateButtons();
    return true;
}

void SequencerPanel::OpenBtn_Click()
{
    Shared& shared = host_.shared();
    FileRequest request;
    request.title = shared.msg(MsgOpenSequence);
    request.directory = shared.SeqDir;
    request.fileName = QFileInfo(fileName_).fileName();
    request.filter = QStringLiteral("MIDI Files (*.mid)|*.mid");
    request.defaultExtension = QStringLiteral("mid");
    const QString path = host_.dialogs().OpenFile(request);
    if (path.isEmpty() || !LoadSeq(path))
        return;
    shared.SeqDir = QFileInfo(path).absolutePath() + u'/';
    markChanged();
}

bool SequencerPanel::isPlaying() const { return player_->isPlaying(); }

void SequencerPanel::PlayBtn_Click()
{
    player_->play();
    updateButtons();
}

void SequencerPanel::StopBtn_Click()
{
    player_->stop();
    updateButtons();
}

void SequencerPanel::RewindBtn_Click()
{
    player_->seek(0);
    updateButtons();
}

void SequencerPanel::PlayOnOff()
{
    if (player_->isPlaying())
        player_->seek(0);
    else
        player_->play();
    updateButtons();
}

int SequencerPanel::markerTwips() const { return pixelsToTwips(position_->x()); }

void SequencerPanel::showPosition(qint64 micros)
{
    const std::int64_t length = player_ ? player_->length() : 0;
    const std::int64_t along = length > 0 ? std::clamp<std::int64_t>(micros, 0, length) * TrackLength / length : 0;
    const int x = twipsToPixels(TrackLeft + static_cast<int>(along));
    position_->setGeometry(x, twipsToPixels(MarkerTop), MarkerPixels, twipsToPixels(MarkerHeight) + 1);
}

void SequencerPanel::updateButtons()
{
    const bool loaded = player_ && player_->isOpen();
    const bool playing = loaded && player_->isPlaying();
    playBtn_->setEnabled(loaded && !playing);
    stopBtn_->setEnabled(playing);
    rewindBtn_->setEnabled(loaded);
}

bool SequencerPanel::eventFilter(QObject* watched, QEvent* event)
{
    // The keyboard reaches the buttons too: they explain themselves either way.
    if (event->type() == QEvent::Enter || event->type() == QEvent::FocusIn) {
        QString hint;
        if (watched == openBtn_)
            hint = host_.shared().msg(MsgOpenSequence);
        else if (watched == playBtn_)
            hint = QStringLiteral("Play the sequence");
        else if (watched == stopBtn_)
            hint = QStringLiteral("Stop where it is");
        else if (watched == rewindBtn_)
            hint = QStringLiteral("Stop and go back to the start");
        else if (watched == track_ || watched == position_)
            hint = fileName_.isEmpty() ? QStringLiteral("No sequence loaded") : QDir::toNativeSeparators(fileName_);
        if (!hint.isEmpty())
            host_.ShowHint(hint);
    }
    return Panel::eventFilter(watched, event);
}

void SequencerPanel::saveOwnKeys(SectionWriter& out) { out.key(QStringLiteral("FileName"), fileName_); }

bool SequencerPanel::loadKey(const QString& key, const QString& value)
{
    if (key != u"FileName")
        return false;
    // A file that is missing now keeps its name, so saving the session again does not forget it.
    if (!value.isEmpty() && !LoadSeq(value))
        fileName_ = value;
    return true;
}

bool SequencerPanel::queryOwnClose(CloseReason reason) { return !refusedWhileTargeted(reason, MsgButtonControls); }

void SequencerPanel::closeEvent(QCloseEvent* event)
{
    Panel::closeEvent(event);
    if (event->isAccepted())
        player_->close();
}

bool RemotePlayOnOff(PanelHost& host, const QString& tag)
{
    auto* target = qobject_cast<SequencerPanel*>(host.findPanel(PanelClass::Sequencer, tag));
    if (!target) {
        host.dialogs().MsgBox(QStringLiteral("Play On/Off: ") + host.shared().msg(MsgPanelGone) + QStringLiteral(" (") +
                                  tag + u')',
                              MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    target->PlayOnOff();
    return true;
}

}  // namespace orvell
