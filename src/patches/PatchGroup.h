#pragma once

#include "patches/PatchFile.h"
#include "patches/PatchPanel.h"
#include "patches/SynthDB.h"

#include <optional>
#include <set>
#include <utility>

class QComboBox;
class QLabel;
class QPushButton;

namespace orvell {

// A database of synths, each with its instrument bank, and a sub-group of
// patches drawn from several of them, each entry on its own channel and port.
// A MIDI input can be routed to the current synth for auditioning.
class PatchGroup : public PatchPanel {
    Q_OBJECT

public:
    PatchGroup(PanelHost& host, PatchClipboard& clipboard, QWidget* parent = nullptr);
    ~PatchGroup() override;

    // Buttons.
    void LoadInsBtn_Click();
    void LoadMultiBtn_Click();
    void AddFavBtn_Click();
    void SaveBtn_Click() override;
    void DelSynthBtn_Click();
    void DelPatchBtn_Click();
    void ClearPatchBtn_Click();
    // Shows the instruments, channel and port of the synth chosen in Synths.
    void Synths_Click();
    // Pick lists: the synth's output channel and port, the audition input.
    void OChannel_Click();
    void OPort_Click();
    void Channel_Click();
    void Port_Click();

    // Reads an instrument file with the questions of the Load button.
    InstrumentLoad loadInstruments(const QString& path);
    // Reads a patch file as the sub-group, as LoadMultiBtn does after its question.
    bool loadSubGroup(const QString& path);

    // Sends the program change of the current sub-group entry.
    void RmtDblClick() override;
    // Sends the program change of instrument `row` of the synth shown.
    void sendInstrument(int row);
    // Routes the audition input to the current synth's port, or removes the
    // route when either is not set.
    void ResetMyThru();

    // Copies the synths, the sub-group and the labels into the clone `to`.
    void CloneSynthDB(PatchGroup& to) const;

    const SynthDB& synths() const { return db_; }
    const PatchEntries& instruments() const { return instr_; }
    QListView* SynthInstr() const { return synthInstr_; }
    // List index of Synths, -1 none.
    int CurSynth() const;
    QString SynthFNames() const { return db_.SynthFNames(); }
    QString outChannelText() const;
    QString outPortText() const;
    QString inChannelText() const;
    QString inPortText() const;
    // The audition route in place: (input, output) port texts, empty when none.
    std::pair<QString, QString> thruRoute() const { return {thruIn_, thruOut_}; }

    // Multi-synth flags: the sub-group as saved is multi-synth (AsMulti), was
    // loaded from one (FrmMulti); PLIsMulti tests the sub-group as it is.
    bool AsMulti = false;
    bool FrmMulti = false;
    bool PLIsMulti() const;

    // PatchTarget
    bool isPatchGroup() const override { return true; }
    void setChanLbl(const QString& channel) override;
    void setPortLbl(const QString& port) override;
    int GetChan(const QString& bankName, const QString& port) override;
    void askChanPort(const QString& bankName, int freeChannel, QString& channel, QString& port) override;
    bool synthsFull() const override { return db_.isFull(); }
    void AddSynth(const QString& synthName, const QString& channel, const QString& port) override;
    void AddSynthInstr(int prog, const QString& insName, int count) override;
    void selectLastSynth() override;

    // PatchEditTarget: on the sub-group, or copying from the instruments.
    void CopyPatch(PatchClipboard& clipboard) override;
    void CutPatch(PatchClipboard& clipboard) override;
    void PastePatch(const PatchClipboard& clipboard, bool addAfter) override;

    void Clone(const QString& fromTag) override;
    void RefreshPortLists() override;
    void SaveMe(SectionWriter& out) override;

protected:
    PatchEntry clipEntry(int row) const override { return entries_.at(row); }
    PatchEntry pastedEntry(const PatchEntry& entry) const override { return entry; }
    bool duplicatesByPort() const override { return true; }
    void listEdited() override;

    void beginLoad() override;
    bool loadKey(const QString& key, const QString& value) override;
    void endLoad() override;
    void saveOwnKeys(SectionWriter& out) override;
    QList<QWidget*> textControls() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void showSynth(int index);
    // Shows the count and enables the buttons that need entries.
    void subGroupChanged();
    // The user changed the sub-group: it is no longer as saved.
    void subGroupEdited();
    // Empties the sub-group and forgets its file.
    void eraseSubGroup();
    // Holds open every port a synth or sub-group entry plays on, and no other.
    void holdPorts();
    void setThru(const QString& in, const QString& out);
    bool instrumentsHaveFocus() const;
    void showHintFor(QObject* control);
    bool keyOnLabel(QObject* watched, int key);
    void openPicker(QLabel* label);
    QString deleteQuestion(const QList<int>& rows) const;
    // Asks for a patch file in the patch folder and remembers the choice; empty on cancel.
    QString choosePatchFile(const QString& title);

    SynthDB db_;
    PatchEntries instr_;  // the instruments of the synth shown
    int shownSynth_ = -1;
    QString loadingFile_;  // the file synths are being read from
    std::set<int> heldPorts_;
    QString thruIn_, thruOut_;
    // Session keys applied once the whole section is read.
    std::optional<int> loadedSynth_, loadedPatch_;
    std::optional<QString> loadedChannel_, loadedPort_;
    bool lastListWasInstruments_ = false;

    QComboBox* synthsBox_ = nullptr;
    QListView* synthInstr_ = nullptr;
    QPushButton* loadInsBtn_ = nullptr;
    QPushButton* delSynthBtn_ = nullptr;
    QLabel* insLbl_ = nullptr;
    QLabel* favLbl_ = nullptr;
    QLabel* ochnLbl_ = nullptr;
    QLabel* oprtLbl_ = nullptr;
    QPushButton* addFavBtn_ = nullptr;
    QPushButton* loadMultiBtn_ = nullptr;
    QPushButton* saveBtn_ = nullptr;
    QPushButton* delPatchBtn_ = nullptr;
    QPushButton* clearPatchBtn_ = nullptr;
    QLabel* auditionLbl_ = nullptr;
    QLabel* chanLbl_ = nullptr;
    QLabel* portLbl_ = nullptr;
    QComboBox* oChannel_ = nullptr;
    QComboBox* oPort_ = nullptr;
    QComboBox* channel_ = nullptr;
    QComboBox* port_ = nullptr;
};

}  // namespace orvell
