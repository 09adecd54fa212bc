#include "patches/PatchListPanel.h"

#include "core/Numeric.h"
#include "core/SectionFile.h"
#include "midi/MidiEngine.h"
#include "midi/PortLists.h"
#include "panels/Dialogs.h"
#include "panels/PanelHost.h"
#include "panels/SelectorTools.h"
#include "panels/Shared.h"
#include "patches/PatchDialogs.h"
#include "patches/PatchFile.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>


namespace orvell {

namespace {

enum : int {
    MsgPatchListHint = 27,
    MsgNoPatches = 176,
};

// Ports are held open while a label names them; "port" names none.
bool isPortNumber(const QString& text) { return parseInteger(text).has_value(); }

}  // namespace

PatchListPanel::PatchListPanel(PanelHost& host, PatchClipboard& clipboard, QWidget* parent)
    : PatchPanel(PanelClass::PatchList, host, clipboard, parent)
{
    if (auto* design = findChild<QLabel*>(QStringLiteral("DesignCaption")))
        design->hide();
    buildControls();
    FillOutPortList(*port_, midi_);
}

PatchListPanel::~PatchListPanel()
{
    if (isPortNumber(portText()))
        midi_.CloseMidiOut(portText());
}

void PatchListPanel::buildControls()
{
    const QColor text = palette().color(QPalette::WindowText);
    label1_ = makePanelLabel(this, QStringLiteral("Label1"), QStringLiteral("Chan"), text, false);
    label2_ = makePanelLabel(this, QStringLiteral("Label2"), QStringLiteral("Port"), text, false);
    chanLbl_ = makePanelLabel(this, QStringLiteral("ChanLbl"), QStringLiteral("Chan"), ChanColor, true);
    portLbl_ = makePanelLabel(this, QStringLiteral("PortLbl"), QStringLiteral("port"), PortColor, true);
    saveBtn_ = new QPushButton(QStringLiteral("Save"), this);
    saveBtn_->setObjectName(QStringLiteral("SaveBtn"));
    connect(saveBtn_, &QPushButton::clicked, this, &PatchListPanel::SaveBtn_Click);

    label1_->setGeometry(34, 2, 34, 14);
    chanLbl_->setGeometry(34, 16, 34, 18);
    label2_->setGeometry(72, 2, 34, 14);
    portLbl_->setGeometry(72, 16, 34, 18);
    saveBtn_->setGeometry(112, 6, 52, 26);
    patchLst_->setGeometry(4, 38, width() - 8, height() - 42);

    channel_ = makePanelSelector(this, QStringLiteral("Channel"), true);
    port_ = makePanelSelector(this, QStringLiteral("Port"), true);
    for (int ch = 1; ch <= 16; ++ch)
        channel_->addItem(QString::number(ch), ch);
    connect(channel_, &QComboBox::activated, this, [this] { Channel_Click(); });
    connect(port_, &QComboBox::activated, this, [this] { Port_Click(); });
    connect(channel_->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { checkTypedChannel(text); });

    for (QWidget* w : {static_cast<QWidget*>(label1_), static_cast<QWidget*>(label2_), static_cast<QWidget*>(chanLbl_),
                       static_cast<QWidget*>(portLbl_), static_cast<QWidget*>(saveBtn_),
                       static_cast<QWidget*>(patchLst_->viewport()), static_cast<QWidget*>(patchLst_),
                       static_cast<QWidget*>(channel_), static_cast<QWidget*>(port_),
                       static_cast<QWidget*>(channel_->lineEdit()), static_cast<QWidget*>(port_->lineEdit())})
        w->installEventFilter(this);
}

QString PatchListPanel::channelText() const { return chanLbl_->text(); }

QString PatchListPanel::portText() const { return portLbl_->text(); }

void PatchListPanel::setChanLbl(const QString& channel) { chanLbl_->setText(channel); }

void PatchListPanel::setPortLbl(const QString& port)
{
    if (port == portText())
        return;
    // The panel holds its port open for as long as the label names it.
    if (isPortNumber(portText()))
        midi_.CloseMidiOut(portText());
    portLbl_->setText(port);
    if (isPortNumber(port))
        midi_.OpenMidiOut(port);
}

void PatchListPanel::RmtDblClick()
{
    const int index = ListIndex();
    if (index < 0 || shared_.flags.Initializing)
        return;
    midi_.SendProgChg(portText(), entries_.at(index).prog, channelText());
}

bool PatchListPanel::loadPatchFile(const QString& path, const QString& wantedBank)
{
    DialogsForPatches dialogs(host_.dialogs());
    const bool loaded = LoadPatchFile(patchFileContext(shared_, dialogs), *this, path, wantedBank, false, false);
    if (loaded && !entries_.isEmpty())
        MyFileName = path;
    return loaded;
}

void PatchListPanel::SaveBtn_Click()
{
    const QString header = singleSynthHeader(channelText(), portText());
    DialogsForPatches dialogs(host_.dialogs());
    if (SavePatchList(patchFileContext(shared_, dialogs), *this, header)) {
        NeedInsSave = false;
        markChanged();
    }
}

// Clipboard.

PatchEntry PatchListPanel::clipEntry(int row) const
{
    const PatchEntry& entry = entries_.at(row);
    return {entry.name, entry.prog, channelText(), parseInteger(portText()).value_or(0)};
}

// A plain list plays everything on its own channel and port.
PatchEntry PatchListPanel::pastedEntry(const PatchEntry& entry) const { return {entry.name, entry.prog, {}, 0}; }

void PatchListPanel::listEdited()
{
    if (!entries_.isEmpty())
        NeedInsSave = true;
}

QString PatchListPanel::listHint() const
{
    return shared_.msg(entries_.isEmpty() ? MsgNoPatches : MsgPatchListHint);
}

// Panel settings.

void PatchListPanel::Clone(const QString& fromTag)
{
    Panel::Clone(fromTag);
    auto* source = qobject_cast<PatchListPanel*>(host_.findPanel(PanelClass::PatchList, fromTag));
    if (!source || source == this)
        return;
    setCaption(source->caption());
    setChanLbl(source->channelText());
    setPortLbl(source->portText());
    entries_.clear();
    entries_.append(source->entries_.all());
    MyFileName = source->MyFileName;
    NeedInsSave = source->NeedInsSave;
    selectPatch(source->ListIndex());
    markChanged();
}

void PatchListPanel::RefreshPortLists() { FillOutPortList(*port_, midi_); }

void PatchListPanel::saveOwnKeys(SectionWriter& out)
{
    out.key(QStringLiteral("FileName"), MyFileName);
    out.key(QStringLiteral("Channel"), channelText());
    out.key(QStringLiteral("Port"), portText());
    out.keyInt(QStringLiteral("CurPatch"), ListIndex());
}

bool PatchListPanel::loadKey(const QString& key, const QString& value)
{
    if (key == u"FileName") {
        MyFileName = value;
        // The caption is the bank the list was made from.
        if (!value.isEmpty())
            loadPatchFile(value, caption());
        return true;
    }
    if (key == u"Channel") {
        setChanLbl(value.trimmed());
        return true;
    }
    if (key == u"Port") {
        setPortLbl(midi_.portFromSession(value.trimmed()));
        return true;
    }
    if (key == u"CurPatch") {
        const auto index = parseSectionInt(value);
        if (!index)
            return false;
        selectPatch(*index < entries_.count() ? *index : -1);
        return true;
    }
    return false;
}

QList<QWidget*> PatchListPanel::textControls() const { return {label1_, label2_, chanLbl_, portLbl_}; }

}  // namespace orvell
