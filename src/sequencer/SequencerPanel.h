#pragma once

#include "panels/Panel.h"

#include <memory>

class QFrame;
class QPushButton;
class QToolButton;

namespace orvell {

class PlayerClock;
class SequencePlayer;

// Plays one standard MIDI file: open, play, stop, rewind, with a marker
// moving along the track line. Buttons panels start and stop it remotely.
class SequencerPanel : public Panel {
    Q_OBJECT

public:
    explicit SequencerPanel(PanelHost& host, QWidget* parent = nullptr);
    ~SequencerPanel() override;

    // Reads the file and makes it the panel's sequence, named after the
    // file. A file that cannot be read is reported and the sequence loaded
    // before stays; false then.
    bool LoadSeq(const QString& fileName);
    QString FileName() const { return fileName_; }

    void OpenBtn_Click();
    void PlayBtn_Click();
    void StopBtn_Click();
    void RewindBtn_Click();
    // Starts a stopped sequence, or stops a playing one and rewinds it.
    void PlayOnOff();
    bool isPlaying() const;

    // Where the position marker stands, in twips from the panel's left.
    int markerTwips() const;

    // From now on the player keeps time by this clock (tests and benches);
    // the loaded sequence is opened again on it.
    void usePlayerClock(PlayerClock& clock);
    SequencePlayer& player() { return *player_; }

    bool queryOwnClose(CloseReason reason) override;

protected:
    bool loadKey(const QString& key, const QString& value) override;
    void saveOwnKeys(SectionWriter& out) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void attachPlayer();
    void showPosition(qint64 micros);
    void updateButtons();

    std::unique_ptr<PlayerClock> ownClock_;
    std::unique_ptr<SequencePlayer> player_;  // after the clock it sleeps on
    QString fileName_;
    QFrame* track_ = nullptr;
    QFrame* position_ = nullptr;
    QPushButton* openBtn_ = nullptr;
    QToolButton* playBtn_ = nullptr;
    QToolButton* stopBtn_ = nullptr;
    QToolButton* rewindBtn_ = nullptr;
};

// The play toggle of the sequencer panel with that tag, for the controls of
// other panels. False, with a message, when the panel is gone.
bool RemotePlayOnOff(PanelHost& host, const QString& tag);

}  // namespace orvell
