// The patch group's sub-group: adding instruments, saving, loading and
// deleting, the clipboard, auditioning and cloning.
#include "core/Numeric.h"
#include "midi/MidiEngine.h"
#include "midi/PortLists.h"
#include "panels/Dialogs.h"
#include "panels/PanelHost.h"
#include "panels/Shared.h"
#include "patches/PatchDialogs.h"
#include "patches/PatchGroup.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QPushButton>

namespace orvell {

namespace {

enum : int {
    MsgQuestionMark = 50,
    MsgThese = 82,
    MsgSelectedItems = 83,
    MsgSureToDelete = 90,
    MsgDeleteEntriesOf = 91,
    MsgClearSubGroup = 101,
    MsgSubGroupNotSaved = 102,
    MsgEraseSubGroup = 141,
    MsgDuplicate = 142,
    MsgInstrumentsFixed = 144,
};

}  // namespace

void PatchGroup::subGroupChanged()
{
    const bool any = !entries_.isEmpty();
    favLbl_->setText(QString::number(entries_.count()));
    saveBtn_->setEnabled(any);
    delPatchBtn_->setEnabled(any);
    clearPatchBtn_->setEnabled(any);
}

void PatchGroup::subGroupEdited()
{
    NeedInsSave = !entries_.isEmpty();
    holdPorts();
    markChanged();
}

void PatchGroup::listEdited() { subGroupEdited(); }

void PatchGroup::eraseSubGroup()
{
    entries_.clear();
    MyFileName.clear();
    NeedInsSave = false;
    FrmMulti = AsMulti = false;
}

// Auditioning.

void PatchGroup::RmtDblClick()
{
    const int index = ListIndex();
    if (index < 0 || shared_.flags.Initializing)
        return;
    const PatchEntry& entry = entries_.at(index);
    midi_.SendProgChg(QString::number(entry.port), entry.prog, entry.channel);
}

void PatchGroup::sendInstrument(int row)
{
    if (row < 0 || row >= instr_.count() || shared_.flags.Initializing)
        return;
    midi_.SendProgChg(outPortText(), instr_.at(row).prog, outChannelText());
}

// Editing.

void PatchGroup::AddFavBtn_Click()
{
    const auto port = parseInteger(outPortText());
    const QList<int> rows = selectedRowsOf(*synthInstr_);
    if (!port || rows.isEmpty())
        return;
    std::vector<PatchEntry> added;
    for (int row : rows)
        added.push_back({instr_.at(row).name, instr_.at(row).prog, outChannelText(), *port});
    const PasteResult result = pasteEntries(entries_, entries_.count(), added, true);
    if (result.inserted > 0)
        subGroupEdited();
    if (result.refused)
        host_.dialogs().MsgBox(result.refused->name + shared_.msg(MsgDuplicate) + result.holderName, MsgButtons::Ok,
                               MsgIcon::Exclamation, caption());
}

void PatchGroup::SaveBtn_Click()
{
    if (entries_.isEmpty())
        return;
    const bool multi = PLIsMulti();
    const QString header = multi ? multiSynthHeader() : singleSynthHeader(outChannelText(), outPortText());
    DialogsForPatches dialogs(host_.dialogs());
    if (SavePatchList(patchFileContext(shared_, dialogs), *this, header)) {
        NeedInsSave = false;
        AsMulti = multi;
        markChanged();
    }
}

void PatchGroup::LoadMultiBtn_Click()
{
    if (NeedInsSave && !entries_.isEmpty()) {
        const auto answer = host_.dialogs().MsgBox(shared_.msg(MsgEraseSubGroup), MsgButtons::YesNo,
                                                   MsgIcon::Question, caption());
        if (answer != MsgAnswer::Yes)
            return;
    }
    // The sub-group goes only once there is a file to take its place.
    const QString path = choosePatchFile(QStringLiteral("Load Sub-Group"));
    if (!path.isEmpty())
        loadSubGroup(path);
}

void PatchGroup::DelSynthBtn_Click()
{
    const int index = CurSynth();
    if (index < 0 || index >= db_.count())
        return;
    const Synth synth = db_.at(index);
    Dialogs& dialogs = host_.dialogs();
    const QString sure = shared_.msg(MsgSureToDelete) + synth.name + shared_.msg(MsgQuestionMark);
    if (dialogs.MsgBox(sure, MsgButtons::YesNo, MsgIcon::Question, caption()) != MsgAnswer::Yes)
        return;
    const QString entriesToo = shared_.msg(MsgDeleteEntriesOf) + synth.name + u'?';
    if (dialogs.MsgBox(entriesToo, MsgButtons::YesNo, MsgIcon::Question, caption()) == MsgAnswer::Yes) {
        const std::vector<int> rows = rowsPlayingOn(entries_, synth.channel, parseInteger(synth.port).value_or(-1));
        if (!rows.empty()) {
            entries_.remove(rows);
            subGroupEdited();
        }
    }
    db_.remove(index);
    synthsBox_->removeItem(index);
    showSynth(std::min(index, db_.count() - 1));
    holdPorts();
    markChanged();
}

QString PatchGroup::deleteQuestion(const QList<int>& rows) const
{
    const QString what = rows.size() > 1
                             ? shared_.msg(MsgThese) + QString::number(rows.size()) + shared_.msg(MsgSelectedItems)
                             : entries_.at(rows.front()).name;
    return shared_.msg(MsgSureToDelete) + what + shared_.msg(MsgQuestionMark);
}

void PatchGroup::DelPatchBtn_Click()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    if (host_.dialogs().MsgBox(deleteQuestion(rows), MsgButtons::YesNo, MsgIcon::Question, caption()) !=
        MsgAnswer::Yes)
        return;
    entries_.remove(std::vector<int>(rows.begin(), rows.end()));
    subGroupEdited();
}

void PatchGroup::ClearPatchBtn_Click()
{
    if (entries_.isEmpty())
        return;
    if (NeedInsSave) {
        const QString question = shared_.msg(MsgSubGroupNotSaved) + u'\r' + shared_.msg(MsgClearSubGroup) +
                                 shared_.msg(MsgQuestionMark);
        if (host_.dialogs().MsgBox(question, MsgButtons::YesNo, MsgIcon::Question, caption()) != MsgAnswer::Yes)
            return;
    }
    eraseSubGroup();
    holdPorts();
    markChanged();
}

// Clipboard: the instruments can be copied from, never changed.

void PatchGroup::CopyPatch(PatchClipboard& clipboard)
{
    if (!instrumentsHaveFocus()) {
        PatchPanel::CopyPatch(clipboard);
        return;
    }
    const QList<int> rows = selectedRowsOf(*synthInstr_);
    if (rows.isEmpty())
        return;
    clipboard.entries.clear();
    const int port = parseInteger(outPortText()).value_or(0);
    for (int row : rows)
        clipboard.entries.push_back({instr_.at(row).name, instr_.at(row).prog, outChannelText(), port});
}

void PatchGroup::CutPatch(PatchClipboard& clipboard)
{
    if (instrumentsHaveFocus())
        host_.ShowStatusText(0, shared_.msg(MsgInstrumentsFixed));
    else
        PatchPanel::CutPatch(clipboard);
}

void PatchGroup::PastePatch(const PatchClipboard& clipboard, bool addAfter)
{
    if (instrumentsHaveFocus())
        host_.ShowStatusText(0, shared_.msg(MsgInstrumentsFixed));
    else
        PatchPanel::PastePatch(clipboard, addAfter);
}

// Cloning and ports.

void PatchGroup::CloneSynthDB(PatchGroup& to) const
{
    to.db_ = db_;
    to.synthsBox_->clear();
    for (const Synth& synth : db_.all())
        to.synthsBox_->addItem(synth.name);
    to.entries_.clear();
    to.entries_.append(entries_.all());
    to.MyFileName = MyFileName;
    to.NeedInsSave = NeedInsSave;
    to.AsMulti = AsMulti;
    to.FrmMulti = FrmMulti;
    to.showSynth(CurSynth());
    to.selectPatch(ListIndex());
    to.holdPorts();
}

void PatchGroup::Clone(const QString& fromTag)
{
    Panel::Clone(fromTag);
    auto* source = qobject_cast<PatchGroup*>(host_.findPanel(PanelClass::PatchGroup, fromTag));
    if (!source || source == this)
        return;
    setCaption(source->caption());
    // The audition input stays with the source: an input feeds one synth at a time.
    source->CloneSynthDB(*this);
    markChanged();
}

void PatchGroup::RefreshPortLists()
{
    FillOutPortList(*oPort_, midi_);
    FillInPortList(*port_, midi_);
}

QList<QWidget*> PatchGroup::textControls() const
{
    return {ochnLbl_, oprtLbl_, insLbl_, favLbl_, auditionLbl_, chanLbl_, portLbl_};
}

}  // namespace orvell
