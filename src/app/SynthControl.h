#pragma once

#include <QObject>
#include <QString>

class QAction;
class QTimer;

namespace orvell {

class AOrvell;
class BuiltInSynth;
class SectionWriter;

// Routes the mapper (output port 0) to the built-in synth while nothing else
// listens there, or always when the user picks "Built-in synth" in the Setup
// menu, and keeps that choice and the user's soundfont with the session.
class SynthControl : public QObject {
    Q_OBJECT

public:
    static constexpr int WatchMs = 1000;

    SynthControl(AOrvell& window, BuiltInSynth& synth);
    ~SynthControl() override;

    // The Setup menu's check item and the soundfont chooser.
    void BuiltInSynth_Click();
    void SynthSoundFont_Click();

    bool forced() const { return forced_; }
    void setForced(bool forced);
    void setSoundFont(const QString& path);
    // Looks who listens to the mapper and routes it; runs every WatchMs.
    void updateRouting();

    // Session keys; both are written only when set, so files stay as before.
    void writeKeys(SectionWriter& out) const;
    // False for a key that is not the synth's.
    bool readKey(const QString& key, const QString& value);

private:
    void showNotice(const QString& text);

    AOrvell& window_;
    BuiltInSynth& synth_;
    QAction* choice_ = nullptr;
    QTimer* watch_ = nullptr;
    bool forced_ = false;
};

}  // namespace orvell
