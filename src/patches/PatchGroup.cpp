#include "patches/PatchGroup.h"

#include "core/Numeric.h"
#include "core/SectionFile.h"
#include "midi/MidiEngine.h"
#include "midi/PortLists.h"
#include "panels/Dialogs.h"
#include "panels/PanelHost.h"
#include "panels/SelectorTools.h"
#include "panels/Shared.h"
#include "patches/PatchDialogs.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QPushButton>

namespace orvell {

namespace {

enum : int {
    MsgSaveSubGroup = 129,
};

const QString NoChannel = QStringLiteral("Chan");
const QString NoPort = QStringLiteral("port");

// A port a synth can play on or an input can be routed from: the mapper and
// "Empty In" (0) never carry an audition route.
bool isRoutablePort(const QString& text)
{
    const auto port = parseInteger(text);
    return port && *port >= 1;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text, QRect at)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(at);
    return button;
}

}  // namespace

PatchGroup::PatchGroup(PanelHost& host, PatchClipboard& clipboard, QWidget* parent)
    : PatchPanel(PanelClass::PatchGroup, host, clipboard, parent)
{
    if (auto* design = findChild<QLabel*>(QStringLiteral("DesignCaption")))
        design->hide();
    buildControls();
    RefreshPortLists();
    subGroupChanged();
    showSynth(-1);
}

PatchGroup::~PatchGroup()
{
    setThru({}, {});
    for (int port : heldPorts_)
        midi_.CloseMidiOut(QString::number(port));
}

void PatchGroup::buildControls()
{
    const QColor text = palette().color(QPalette::WindowText);
    synthsBox_ = new QComboBox(this);
    synthsBox_->setObjectName(QStringLiteral("Synths"));
    synthsBox_->setGeometry(34, 30, 150, 22);
    connect(synthsBox_, &QComboBox::activated, this, [this] { Synths_Click(); });
    loadInsBtn_ = makeButton(this, QStringLiteral("LoadInsBtn"), QStringLiteral("Load"), {188, 30, 40, 22});
    delSynthBtn_ = makeButton(this, QStringLiteral("DelSynthBtn"), QStringLiteral("Del"), {230, 30, 36, 22});
    connect(loadInsBtn_, &QPushButton::clicked, this, &PatchGroup::LoadInsBtn_Click);
    connect(delSynthBtn_, &QPushButton::clicked, this, &PatchGroup::DelSynthBtn_Click);

    ochnLbl_ = makePanelLabel(this, QStringLiteral("OchnLbl"), NoChannel, ChanColor, true);
    oprtLbl_ = makePanelLabel(this, QStringLiteral("OprtLbl"), NoPort, PortColor, true);
    insLbl_ = makePanelLabel(this, QStringLiteral("InsLbl"), QStringLiteral("0"), text, true);
    ochnLbl_->setGeometry(4, 56, 34, 20);
    oprtLbl_->setGeometry(40, 56, 34, 20);
    insLbl_->setGeometry(76, 56, 40, 20);
    addFavBtn_ = makeButton(this, QStringLiteral("AddFavBtn"), QStringLiteral("Add To Group"), {118, 55, 92, 22});
    connect(addFavBtn_, &QPushButton::clicked, this, &PatchGroup::AddFavBtn_Click);

    synthInstr_ = new QListView(this);
    synthInstr_->setObjectName(QStringLiteral("SynthInstr"));
    synthInstr_->setModel(&instr_);
    synthInstr_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    synthInstr_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    synthInstr_->setUniformItemSizes(true);
    synthInstr_->setContextMenuPolicy(Qt::PreventContextMenu);
    synthInstr_->setGeometry(4, 80, 152, height() - 84);
    connect(synthInstr_, &QListView::doubleClicked, this, [this](const QModelIndex& at) { sendInstrument(at.row()); });

    patchLst_->setGeometry(160, 80, width() - 164, height() - 84 - 56);
    const int row = height() - 56;
    favLbl_ = makePanelLabel(this, QStringLiteral("FavLbl"), QStringLiteral("0"), text, true);
    favLbl_->setGeometry(160, row + 2, 30, 20);
    loadMultiBtn_ = makeButton(this, QStringLiteral("LoadMultiBtn"), QStringLiteral("Load"), {192, row, 40, 22});
    saveBtn_ = makeButton(this, QStringLiteral("SaveBtn"), QStringLiteral("Save"), {234, row, 40, 22});
    delPatchBtn_ = makeButton(this, QStringLiteral("DelPatchBtn"), QStringLiteral("Del"), {276, row, 36, 22});
    clearPatchBtn_ = makeButton(this, QStringLiteral("ClearPatchBtn"), QStringLiteral("Clear"), {214, row + 26, 44, 22});
    connect(loadMultiBtn_, &QPushButton::clicked, this, &PatchGroup::LoadMultiBtn_Click);
    connect(saveBtn_, &QPushButton::clicked, this, &PatchGroup::SaveBtn_Click);
    connect(delPatchBtn_, &QPushButton::clicked, this, &PatchGroup::DelPatchBtn_Click);
    connect(clearPatchBtn_, &QPushButton::clicked, this, &PatchGroup::ClearPatchBtn_Click);

    auditionLbl_ = makePanelLabel(this, QStringLiteral("AuditionLbl"), QStringLiteral("Audition In"), text, false);
    auditionLbl_->setGeometry(212, 4, 70, 14);
    chanLbl_ = makePanelLabel(this, QStringLiteral("ChanLbl"), NoChannel, ChanColor, true);
    portLbl_ = makePanelLabel(this, QStringLiteral("PortLbl"), NoPort, PortColor, true);
    // Wide enough for "Chan" and two-digit ports.
    chanLbl_->setGeometry(214, 56, 36, 20);
    portLbl_->setGeometry(252, 56, 34, 20);

    oChannel_ = makePanelSelector(this, QStringLiteral("OChannel"), false);
    oPort_ = makePanelSelector(this, QStringLiteral("OPort"), false);
    channel_ = makePanelSelector(this, QStringLiteral("Channel"), false);
    port_ = makePanelSelector(this, QStringLiteral("Port"), false);
    for (int ch = 1; ch <= 16; ++ch) {
        oChannel_->addItem(QString::number(ch), ch);
        channel_->addItem(QString::number(ch), ch);
    }
    connect(oChannel_, &QComboBox::activated, this, [this] { OChannel_Click(); });
    connect(oPort_, &QComboBox::activated, this, [this] { OPort_Click(); });
    connect(channel_, &QComboBox::activated, this, [this] { Channel_Click(); });
    connect(port_, &QComboBox::activated, this, [this] { Port_Click(); });

    // The buttons follow the sub-group, whoever changed it.
    for (auto signal : {&PatchEntries::rowsInserted, &PatchEntries::rowsRemoved})
        connect(&entries_, signal, this, [this] { subGroupChanged(); });
    connect(&entries_, &PatchEntries::modelReset, this, [this] { subGroupChanged(); });

    for (QLabel* label : {ochnLbl_, oprtLbl_, chanLbl_, portLbl_})
        label->setFocusPolicy(Qt::StrongFocus);
    for (QWidget* w : std::initializer_list<QWidget*>{
             synthsBox_, loadInsBtn_, delSynthBtn_, ochnLbl_, oprtLbl_, insLbl_, addFavBtn_, synthInstr_,
             synthInstr_->viewport(), patchLst_, patchLst_->viewport(), favLbl_, loadMultiBtn_, saveBtn_,
             delPatchBtn_, clearPatchBtn_, auditionLbl_, chanLbl_, portLbl_, oChannel_, oPort_, channel_, port_})
        w->installEventFilter(this);
}

QString PatchGroup::outChannelText() const { return ochnLbl_->text(); }

QString PatchGroup::outPortText() const { return oprtLbl_->text(); }

QString PatchGroup::inChannelText() const { return chanLbl_->text(); }

QString PatchGroup::inPortText() const { return portLbl_->text(); }

int PatchGroup::CurSynth() const { return synthsBox_->currentIndex(); }

bool PatchGroup::PLIsMulti() const { return needsMultiHeader(entries_, outChannelText(), outPortText()); }

// Synths.

void PatchGroup::AddSynth(const QString& synthName, const QString& channel, const QString& port)
{
    if (!db_.AddSynth(synthName, channel, port, loadingFile_))
        return;
    synthsBox_->addItem(synthName);
    holdPorts();
}

void PatchGroup::AddSynthInstr(int prog, const QString& insName, int count) { db_.AddSynthInstr(prog, insName, count); }

int PatchGroup::GetChan(const QString& bankName, const QString& port)
{
    (void)bankName;
    return db_.GetChan(port);
}

void PatchGroup::askChanPort(const QString& bankName, int freeChannel, QString& channel, QString& port)
{
    DialogsForPatches dialogs(host_.dialogs());
    if (port.isEmpty()) {
        port = askSynthPort(dialogs, bankName).value_or(QString());
        if (port.isEmpty())
            return;
        freeChannel = db_.GetChan(port);
    }
    if (channel.isEmpty() && freeChannel > 0)
        channel = askSynthChannel(dialogs, bankName, freeChannel).value_or(QString());
}

void PatchGroup::selectLastSynth() { showSynth(db_.count() - 1); }

void PatchGroup::Synths_Click()
{
    if (!Initializing)
        showSynth(synthsBox_->currentIndex());
}

void PatchGroup::showSynth(int index)
{
    if (index < 0 || index >= db_.count())
        index = db_.isEmpty() ? -1 : 0;
    synthsBox_->setCurrentIndex(index);
    shownSynth_ = index;
    instr_.clear();
    if (index >= 0) {
        const Synth& synth = db_.at(index);
        instr_.append(synth.instruments);
        ochnLbl_->setText(synth.channel);
        oprtLbl_->setText(synth.port);
    } else {
        ochnLbl_->setText(NoChannel);
        oprtLbl_->setText(NoPort);
    }
    insLbl_->setText(QString::number(instr_.count()));
    delSynthBtn_->setEnabled(index >= 0);
    addFavBtn_->setEnabled(index >= 0);
    ResetMyThru();
}

void PatchGroup::setChanLbl(const QString& channel)
{
    ochnLbl_->setText(channel);
    if (shownSynth_ >= 0)
        db_.at(shownSynth_).channel = channel;
}

void PatchGroup::setPortLbl(const QString& port)
{
    oprtLbl_->setText(port);
    if (shownSynth_ >= 0)
        db_.at(shownSynth_).port = port;
    holdPorts();
    ResetMyThru();
}

void PatchGroup::holdPorts()
{
    std::set<int> wanted;
    for (const Synth& synth : db_.all()) {
        if (const auto port = parseInteger(synth.port))
            wanted.insert(*port);
    }
    for (const PatchEntry& entry : entries_.all())
        wanted.insert(entry.port);
    // The audition route needs its output open until it is taken down.
    if (const auto routed = parseInteger(thruOut_))
        wanted.insert(*routed);
    for (int port : heldPorts_) {
        if (!wanted.contains(port))
            midi_.CloseMidiOut(QString::number(port));
    }
    for (int port : wanted) {
        if (!heldPorts_.contains(port))
            midi_.OpenMidiOut(QString::number(port));
    }
    heldPorts_ = std::move(wanted);
}

void PatchGroup::ResetMyThru()
{
    const QString in = inPortText(), out = outPortText();
    if (isRoutablePort(in) && isRoutablePort(out))
        setThru(in, out);
    else
        setThru({}, {});
}

void PatchGroup::setThru(const QString& in, const QString& out)
{
    if (in == thruIn_ && out == thruOut_)
        return;
    // Taken down in the reverse order it was made, while its output is still held.
    if (!thruIn_.isEmpty()) {
        midi_.RemoveThru(thruIn_, thruOut_);
        midi_.CloseMidiIn(thruIn_);
    }
    thruIn_.clear();
    thruOut_ = out;
    holdPorts();
    if (in.isEmpty())
        return;
    const auto port = parseInteger(in).value_or(-1);
    const auto openCount = [&] {
        return port >= 0 && port < int(midi_.MidiInPorts.size()) ? midi_.MidiInPorts[size_t(port)].OpenCount : 0;
    };
    const int before = openCount();
    midi_.OpenMidiIn(in);
    // An input that would not open is not ours to close later.
    if (openCount() == before) {
        thruOut_.clear();
        holdPorts();
        return;
    }
    thruIn_ = in;
    midi_.AddThru(in, out);
}

// Loading.

InstrumentLoad PatchGroup::loadInstruments(const QString& path)
{
    DialogsForPatches dialogs(host_.dialogs());
    loadingFile_ = path;
    const int before = db_.count();
    const InstrumentLoad result = LoadInstruments(patchFileContext(shared_, dialogs), *this, path);
    loadingFile_.clear();
    if (result == InstrumentLoad::SubGroup) {
        MyFileName = path;
        FrmMulti = true;
        NeedInsSave = false;
        holdPorts();
    }
    if (result == InstrumentLoad::SubGroup || db_.count() != before)
        markChanged();
    return result;
}

QString PatchGroup::choosePatchFile(const QString& title)
{
    FileRequest request;
    request.title = title;
    request.directory = shared_.PatchDir.isEmpty() ? shared_.AppDir : shared_.PatchDir;
    request.fileName = shared_.LastPatchName;
    request.filter =
        QStringLiteral("Instrument Definition Files (*.ins)|*.ins|Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
    const QString path = host_.dialogs().OpenFile(request);
    if (path.isEmpty())
        return path;
    const QFileInfo chosen(path);
    shared_.PatchDir = chosen.absolutePath() + u'/';
    shared_.LastPatchName = chosen.fileName();
    return path;
}

void PatchGroup::LoadInsBtn_Click()
{
    const QString path = choosePatchFile(QStringLiteral("Load PatchList"));
    if (!path.isEmpty())
        loadInstruments(path);
}

bool PatchGroup::loadSubGroup(const QString& path)
{
    eraseSubGroup();
    setCaption(DefCaption);
    DialogsForPatches dialogs(host_.dialogs());
    const bool read = LoadPatchFile(patchFileContext(shared_, dialogs), *this, path, {}, true, true);
    if (!entries_.isEmpty())
        MyFileName = path;
    FrmMulti = true;
    NeedInsSave = false;
    holdPorts();
    markChanged();
    return read;
}

// Session.

void PatchGroup::SaveMe(SectionWriter& out)
{
    if (NeedInsSave && !entries_.isEmpty() && !shared_.flags.Initializing) {
        const auto answer =
            host_.dialogs().MsgBox(shared_.msg(MsgSaveSubGroup), MsgButtons::YesNo, MsgIcon::Question, caption());
        if (answer == MsgAnswer::Yes)
            SaveBtn_Click();
    }
    PatchPanel::SaveMe(out);
}

void PatchGroup::saveOwnKeys(SectionWriter& out)
{
    out.key(QStringLiteral("SynthFNames"), db_.SynthFNames());
    out.key(QStringLiteral("FileName"), MyFileName);
    out.key(QStringLiteral("Channel"), outChannelText());
    out.key(QStringLiteral("Port"), outPortText());
    out.key(QStringLiteral("InChannel"), inChannelText());
    out.key(QStringLiteral("InPort"), inPortText());
    out.keyInt(QStringLiteral("CurSynth"), CurSynth());
    out.keyInt(QStringLiteral("CurPatch"), ListIndex());
}

void PatchGroup::beginLoad()
{
    loadedSynth_.reset();
    loadedPatch_.reset();
    loadedChannel_.reset();
    loadedPort_.reset();
}

bool PatchGroup::loadKey(const QString& key, const QString& value)
{
    if (key == u"SynthFNames") {
        DialogsForPatches dialogs(host_.dialogs());
        const PatchFileContext context = patchFileContext(shared_, dialogs);
        for (const auto& [bank, file] : parseSynthFNames(value)) {
            loadingFile_ = file;
            const bool read = LoadPatchFile(context, *this, file, bank, true, false);
            loadingFile_.clear();
            // One missing file would only bring more of the same errors.
            if (!read)
                break;
        }
        if (!db_.isEmpty())
            showSynth(db_.count() - 1);
        return true;
    }
    if (key == u"FileName") {
        if (!value.isEmpty()) {
            DialogsForPatches dialogs(host_.dialogs());
            LoadPatchFile(patchFileContext(shared_, dialogs), *this, value, caption(), true, true);
            MyFileName = value;
            FrmMulti = true;
            NeedInsSave = false;
            holdPorts();
        }
        return true;
    }
    const auto remember = [&](std::optional<QString>& slot) {
        slot = value.trimmed();
        return true;
    };
    if (key == u"Channel")
        return remember(loadedChannel_);
    if (key == u"Port")
        return remember(loadedPort_);
    if (key == u"InChannel") {
        chanLbl_->setText(value.trimmed());
        return true;
    }
    if (key == u"InPort") {
        portLbl_->setText(value.trimmed());
        return true;
    }
    const auto index = parseSectionInt(value);
    if (key == u"CurSynth" && index) {
        loadedSynth_ = *index;
        return true;
    }
    if (key == u"CurPatch" && index) {
        loadedPatch_ = *index;
        return true;
    }
    return false;
}

void PatchGroup::endLoad()
{
    if (loadedSynth_ && *loadedSynth_ >= 0 && *loadedSynth_ < db_.count())
        showSynth(*loadedSynth_);
    // The channel and port the user gave the current synth win over its file's.
    if (loadedChannel_)
        setChanLbl(*loadedChannel_);
    if (loadedPort_)
        setPortLbl(*loadedPort_);
    if (loadedPatch_)
        selectPatch(*loadedPatch_ < entries_.count() ? *loadedPatch_ : -1);
    ResetMyThru();
    // Named by RemoveThru's error text.
    midi_.ThruLoadedIn = inPortText();
    midi_.ThruLoadedOut = outPortText();
}

}  // namespace orvell
