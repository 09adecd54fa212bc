#include "app/PortConfig.h"

#include "app/AOrvell.h"
#include "panels/HoverHints.h"
#include "panels/Shared.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace orvell {

namespace {

enum : int {
    MsgOkHint = 41,
    MsgCancelHint = 42,
    MsgFormHint = 209,
    MsgInPortsHint = 210,
    MsgOutPortsHint = 211,
};

// Lists the present ports; `skipHighlight` is never shown highlighted.
void fillPorts(QListWidget& list, const std::vector<MidiPort>& ports, int last, int skipHighlight)
{
    for (int i = 0; i <= last && i < static_cast<int>(ports.size()); ++i) {
        if (!ports[i].Present)
            continue;
        auto* item = new QListWidgetItem(ports[i].Name, &list);
        item->setData(Qt::UserRole, i);
        item->setSelected(ports[i].Enabled && i != skipHighlight);
    }
}

void applyPorts(const QListWidget& list, std::vector<MidiPort>& ports)
{
    for (int row = 0; row < list.count(); ++row) {
        const QListWidgetItem* item = list.item(row);
        const int port = item->data(Qt::UserRole).toInt();
        if (port >= 0 && port < static_cast<int>(ports.size()))
            ports[port].Enabled = item->isSelected() && ports[port].Present;
    }
}

}  // namespace

PortConfig::PortConfig(AOrvell& window) : QDialog(&window), window_(window)
{
    setObjectName(QStringLiteral("PortConfig"));
    setWindowTitle(QStringLiteral("Configure MIDI Ports"));
    setModal(true);

    InPorts = new QListWidget(this);
    OutPorts = new QListWidget(this);
    for (QListWidget* list : {InPorts, OutPorts})
        list->setSelectionMode(QAbstractItemView::MultiSelection);
    InPorts->setObjectName(QStringLiteral("InPorts"));
    OutPorts->setObjectName(QStringLiteral("OutPorts"));
    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    OkBtn->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("MIDI In Ports"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("MIDI Out Ports"), this), 0, 1);
    grid->addWidget(InPorts, 1, 0);
    grid->addWidget(OutPorts, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("Use Highlighted Ports"), this));
    buttons->addStretch();
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    grid->addLayout(buttons, 2, 0, 1, 2);

    const MidiEngine& midi = window_.shared().midi;
    fillPorts(*InPorts, midi.MidiInPorts, midi.NumInDevs, -1);
    // The mapper is offered but never shown chosen.
    fillPorts(*OutPorts, midi.MidiOutPorts, midi.NumOutDevs, 0);
    connect(InPorts, &QListWidget::itemSelectionChanged, this, [this] { inChanged_ = true; });
    connect(OutPorts, &QListWidget::itemSelectionChanged, this, [this] { outChanged_ = true; });
    connect(OkBtn, &QPushButton::clicked, this, &PortConfig::OkBtn_Click);
    connect(CancelBtn, &QPushButton::clicked, this, &PortConfig::CancelBtn_Click);

    const Shared& shared = window_.shared();
    auto* hints = new HoverHints([this](const QString& text) { window_.ShowHint(text); }, this);
    hints->add(this, shared.msg(MsgFormHint));
    hints->add(InPorts, shared.msg(MsgInPortsHint));
    hints->add(OutPorts, shared.msg(MsgOutPortsHint));
    hints->add(OkBtn, shared.msg(MsgOkHint));
    hints->add(CancelBtn, shared.msg(MsgCancelHint));
}

void PortConfig::OkBtn_Click()
{
    MidiEngine& midi = window_.shared().midi;
    if (inChanged_)
        applyPorts(*InPorts, midi.MidiInPorts);
    if (outChanged_)
        applyPorts(*OutPorts, midi.MidiOutPorts);
    applied_ = inChanged_ || outChanged_;
    window_.RefreshPortLists();
    accept();
}

void PortConfig::CancelBtn_Click() { reject(); }

}  // namespace orvell
