#include "app/SysXDlg.h"

#include "app/AOrvell.h"
#include "app/MainToolbar.h"
#include "core/FileBytes.h"
#include "core/Numeric.h"
#include "core/SectionFile.h"
#include "core/StoredColor.h"
#include "core/Twips.h"
#include "panels/Dialogs.h"
#include "panels/SessionFile.h"
#include "panels/SessionHost.h"
#include "panels/Shared.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <variant>

namespace orvell {

namespace {

enum : int {
    MsgDone = 1,
    MsgAddHint = 247,
    MsgBlank = 248,
    MsgUnique = 249,
    MsgTableChanged = 250,
    MsgOkHint = 251,
    MsgDelHint = 252,
    MsgConfirmDelete = 253,
    MsgSelHint = 254,
    MsgScrollHint = 255,
    MsgLabelHint = 256,
    MsgMessageHint = 257,
    MsgNotHex = 258,
};

// A .syx file of a whole synthesizer's memory is a few hundred kilobytes.
constexpr qint64 MaxSyxFileBytes = 16 * 1024 * 1024;
const QString SyxFilter = QStringLiteral("Sys Ex Files (*.syx)|*.syx");

}  // namespace

SysXDlg::SysXDlg(AOrvell& window) : window_(window)
{
    setObjectName(QStringLiteral("SysXDlg"));
    setWindowTitle(QStringLiteral("Sys Ex Messages"));

    SysXSel = new QLineEdit(QStringLiteral("0"), this);
    SysXSel->setObjectName(QStringLiteral("SysXSel"));
    SysXSel->setMaximumWidth(48);
    SysXScrol = new QScrollBar(Qt::Vertical, this);
    SysXScrol->setObjectName(QStringLiteral("SysXScrol"));
    SysXScrol->setFocusPolicy(Qt::StrongFocus);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    SysXLbl = new QLineEdit(this);
    SysXLbl->setObjectName(QStringLiteral("SysXLbl"));
    SysXMsg = new QLineEdit(this);
    SysXMsg->setObjectName(QStringLiteral("SysXMsg"));
    // Room for the longest message written with a blank after every byte.
    SysXMsg->setMaxLength(static_cast<int>(3 * MaxSysExBytes));
    SysXMsg->setMinimumWidth(320);

    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->installEventFilter(this);
        return b;
    };
    AddBtn = button("AddBtn", QStringLiteral("Add"));
    OkBtn = button("OkBtn", QStringLiteral("OK"));
    DelBtn = button("DelBtn", QStringLiteral("Del"));
    ImportBtn = button("ImportBtn", QStringLiteral("Import..."));
    ExportBtn = button("ExportBtn", QStringLiteral("Export..."));
    HideButton = new QToolButton(this);
    HideButton->setObjectName(QStringLiteral("HideButton"));
    HideButton->setIcon(QIcon(QStringLiteral(":/toolbar/HideButton.svg")));
    HideButton->setAutoRaise(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(SysXScrol, 1, 0, 3, 1);
    grid->addWidget(Label2, 4, 0);
    grid->addWidget(SysXSel, 0, 1);
    grid->addWidget(HideButton, 0, 4, Qt::AlignRight);
    grid->addWidget(new QLabel(QStringLiteral("Sys Ex Label"), this), 1, 1);
    grid->addWidget(SysXLbl, 1, 2, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Sys Ex String"), this), 2, 1);
    grid->addWidget(SysXMsg, 2, 2, 1, 3);
    auto* row = new QHBoxLayout;
    for (QPushButton* b : {AddBtn, OkBtn, DelBtn, ImportBtn, ExportBtn})
        row->addWidget(b);
    grid->addLayout(row, 3, 1, 2, 4);

    for (QWidget* w : std::initializer_list<QWidget*>{SysXSel, SysXScrol, SysXLbl, SysXMsg})
        w->installEventFilter(this);

    connect(SysXScrol, &QScrollBar::valueChanged, this, [this](int value) {
        SysXSel->setText(QString::number(value));
        if (value > 0)
            SetSysXIndex(value);
    });
    connect(AddBtn, &QPushButton::clicked, this, &SysXDlg::AddBtn_Click);
    connect(OkBtn, &QPushButton::clicked, this, &SysXDlg::OkBtn_Click);
    connect(DelBtn, &QPushButton::clicked, this, &SysXDlg::DelBtn_Click);
    connect(ImportBtn, &QPushButton::clicked, this, &SysXDlg::Import_Click);
    connect(ExportBtn, &QPushButton::clicked, this, &SysXDlg::Export_Click);
    connect(HideButton, &QToolButton::clicked, this, &SysXDlg::HideButton_Click);
    Load();
}

void SysXDlg::setRange(int count)
{
    const bool any = count > 0;
    const QSignalBlocker block(SysXScrol);
    SysXScrol->setRange(any ? 1 : 0, count);
    Label1->setText(QString::number(SysXScrol->minimum()));
    Label2->setText(QString::number(SysXScrol->maximum()));
    OkBtn->setEnabled(any);
    DelBtn->setEnabled(any);
    ExportBtn->setEnabled(any);
    SysXSel->setReadOnly(!any);
}

void SysXDlg::Load()
{
    const int count = static_cast<int>(window_.shared().SysExList.size());
    const int shown = std::clamp(shownIndex(), 1, std::max(1, count));
    setRange(count);
    if (count > 0) {
        SetSysXIndex(shown);
        return;
    }
    SysXSel->setText(QStringLiteral("0"));
    SysXLbl->clear();
    SysXMsg->clear();
}

int SysXDlg::shownIndex() const { return parseInteger(SysXSel->text()).value_or(0); }

void SysXDlg::SetSysXIndex(int Indx)
{
    const auto& list = window_.shared().SysExList;
    if (Indx < 1 || Indx > static_cast<int>(list.size()))
        return;
    SysXSel->setText(QString::number(Indx));
    {
        const QSignalBlocker block(SysXScrol);
        SysXScrol->setValue(Indx);
    }
    SysXLbl->setText(list[static_cast<size_t>(Indx - 1)].label);
    SysXMsg->setText(list[static_cast<size_t>(Indx - 1)].message);
}

bool SysXDlg::HexCheck(const QString& TheString)
{
    if (isHexText(TheString))
        return true;
    window_.dialogs().MsgBox(TheString + u'\r' + window_.shared().msg(MsgNotHex), MsgButtons::Ok, MsgIcon::None);
    return false;
}

bool SysXDlg::labelTaken(const QString& label, int own) const
{
    const auto& list = window_.shared().SysExList;
    for (int i = 0; i < static_cast<int>(list.size()); ++i) {
        if (i != own && list[static_cast<size_t>(i)].label == label)
            return true;
    }
    return false;
}

bool SysXDlg::acceptable(const QString& label, const QString& message, int own)
{
    Dialogs& dialogs = window_.dialogs();
    if (label.isEmpty() || message.isEmpty()) {
        dialogs.MsgBox(window_.shared().msg(MsgBlank), MsgButtons::Ok, MsgIcon::None);
        (label.isEmpty() ? SysXLbl : SysXMsg)->setFocus();
        return false;
    }
    if (!HexCheck(message)) {
        SysXMsg->setFocus();
        return false;
    }
    // Only whole messages are stored, so a button never sends a broken one.
    const auto parsed = parseSysEx(message);
    if (const auto* fault = std::get_if<SysExFault>(&parsed)) {
        dialogs.MsgBox(message + u'\r' + sysExFaultText(*fault), MsgButtons::Ok, MsgIcon::None);
        SysXMsg->setFocus();
        return false;
    }
    if (labelTaken(label, own)) {
        dialogs.MsgBox(window_.shared().msg(MsgUnique), MsgButtons::Ok, MsgIcon::None);
        SysXLbl->setFocus();
        return false;
    }
    return true;
}

void SysXDlg::tableChanged()
{
    window_.IsChanged = true;
    // The focus first, so its hint does not hide the outcome.
    SysXScrol->setFocus();
    window_.ShowStatusText(2, window_.shared().msg(MsgTableChanged) + window_.shared().msg(MsgDone));
}

void SysXDlg::AddBtn_Click()
{
    const QString label = SysXLbl->text();
    const QString message = SysXMsg->text();
    if (!acceptable(label, message, -1))
        return;
    auto& list = window_.shared().SysExList;
    list.push_back({label, message});
    setRange(static_cast<int>(list.size()));
    SetSysXIndex(static_cast<int>(list.size()));
    tableChanged();
}

void SysXDlg::OkBtn_Click()
{
    auto& list = window_.shared().SysExList;
    const int n = shownIndex();
    if (n < 1 || n > static_cast<int>(list.size()))
        return;
    const QString label = SysXLbl->text();
    const QString message = SysXMsg->text();
    if (!acceptable(label, message, n - 1))
        return;
    SysExEntry& entry = list[static_cast<size_t>(n - 1)];
    if (entry.label != label || entry.message != message) {
        entry = {label, message};
        tableChanged();
        return;
    }
    SysXScrol->setFocus();
}

void SysXDlg::DelBtn_Click()
{
    auto& list = window_.shared().SysExList;
    const int n = shownIndex();
    if (n < 1 || n > static_cast<int>(list.size()))
        return;
    if (window_.dialogs().MsgBox(window_.shared().msg(MsgConfirmDelete), MsgButtons::OkCancel, MsgIcon::Question) ==
        MsgAnswer::Cancel)
        return;
    list.erase(list.begin() + (n - 1));
    const int count = static_cast<int>(list.size());
    setRange(count);
    if (count == 0) {
        SysXSel->setText(QStringLiteral("0"));
        SysXLbl->clear();
        SysXMsg->clear();
    } else {
        SetSysXIndex(std::min(n, count));
    }
    tableChanged();
}

void SysXDlg::SysXSel_Enter()
{
    const auto number = parseInteger(SysXSel->text());
    if (!number) {
        SysXSel->setText(QString::number(SysXScrol->value()));
        return;
    }
    const int value = std::clamp(*number, SysXScrol->minimum(), SysXScrol->maximum());
    SysXSel->setText(QString::number(value));
    if (value > 0)
        SetSysXIndex(value);
}

void SysXDlg::HideButton_Click()
{
    if (QWidget* frame = parentWidget())
        frame->hide();
    else
        hide();
    if (QToolButton* indicator = window_.toolbar().button(QStringLiteral("SysXBtn")))
        indicator->setChecked(false);
}

void SysXDlg::closeEvent(QCloseEvent* event)
{
    // The one window of the run: closing it only hides it.
    event->ignore();
    HideButton_Click();
}

namespace {

// The window's session block: where it stood and the entry it showed.
class SysXDlgReader final : public WindowBlockReader {
public:
    SysXDlgReader(AOrvell& window, SysXDlg& dialog) : window_(window), dialog_(dialog) {}

    void headerKey(const SectionLine& line) override
    {
        QWidget* frame = dialog_.parentWidget();
        if (line.key == u"Top" || line.key == u"Left") {
            if (const auto twips = parseSectionInt(line.value)) {
                const int px = twipsToPixels(*twips);
                frame->move(line.key == u"Top" ? QPoint(frame->x(), px) : QPoint(px, frame->y()));
            }
        } else if (line.key == u"Visible") {
            visible_ = parseSectionBool(line.value);
        } else if (line.key == u"WindowState") {
            state_ = parseSectionInt(line.value);
        }
    }

    void headerDone() override
    {
        if (state_)
            applyWindowStateCode(*dialog_.parentWidget(), *state_);
        // The backdrop is hidden while a session loads: only the frame's own state counts.
        const bool hidden = dialog_.parentWidget()->isHidden();
        if (visible_ && *visible_ && hidden)
            window_.SysXBtn_Click();
        else if (visible_ && !*visible_ && !hidden)
            dialog_.HideButton_Click();
        state_.reset();
        visible_.reset();
    }

    void data(SectionReader& in) override
    {
        while (in.peek() && in.peek()->kind != SectionLine::Kind::Header) {
            const SectionLine line = *in.next();
            if (line.kind == SectionLine::Kind::Key && line.key == u"SysExIndex")
                index_ = parseSectionInt(line.value);
        }
    }

    // The table is complete only now; an entry it no longer has is not shown.
    void done() override
    {
        dialog_.Load();
        if (index_)
            dialog_.SetSysXIndex(*index_);
    }

private:
    AOrvell& window_;
    SysXDlg& dialog_;
    std::optional<int> state_;
    std::optional<bool> visible_;
    std::optional<int> index_;
};

}  // namespace

void SysXDlg::writeBlock(SectionWriter& out)
{
    QWidget* frame = parentWidget();
    const int state = windowStateCode(frame->windowState());
    const QPoint pos = state == 0 ? frame->pos() : frame->normalGeometry().topLeft();
    writeWindowHeader(out, objectName(), windowTitle(), pos, nullptr, SysColor::ButtonFace, !frame->isHidden(), {},
                      state);
    out.data(objectName());
    out.keyInt(QStringLiteral("SysExIndex"), shownIndex());
}

std::unique_ptr<WindowBlockReader> SysXDlg::blockReader() { return std::make_unique<SysXDlgReader>(window_, *this); }

void SysXDlg::Import_Click()
{
    FileRequest request;
    request.title = QStringLiteral("Import Sys Ex");
    request.filter = SyxFilter;
    request.defaultExtension = QStringLiteral("syx");
    const QString path = window_.dialogs().OpenFile(request);
    if (path.isEmpty())
        return;
    FileError error;
    const std::optional<QByteArray> bytes = readFileBytes(path, MaxSyxFileBytes, error);
    if (!bytes) {
        window_.dialogs().MsgBox(error.text + QStringLiteral(":\r") + path, MsgButtons::Ok, MsgIcon::Exclamation,
                                 request.title);
        return;
    }
    const auto messages = splitSyxFile(*bytes);
    if (messages.empty()) {
        window_.dialogs().MsgBox(QStringLiteral("No Sys Ex message found in:\r") + path, MsgButtons::Ok,
                                 MsgIcon::Exclamation, request.title);
        return;
    }
    auto& list = window_.shared().SysExList;
    const int first = static_cast<int>(list.size()) + 1;
    QString base = QFileInfo(path).completeBaseName();
    if (base.isEmpty())
        base = QStringLiteral("Sys Ex");  // labels are never blank
    for (std::size_t i = 0; i < messages.size(); ++i) {
        const QString stem = messages.size() == 1 ? base : base + u' ' + QString::number(i + 1);
        // Labels stay unique: a file imported twice gets numbered copies.
        QString label = stem;
        for (int copy = 2; labelTaken(label, -1); ++copy)
            label = stem + QStringLiteral(" (%1)").arg(copy);
        list.push_back({label, sysExText(messages[i])});
    }
    setRange(static_cast<int>(list.size()));
    SetSysXIndex(first);
    tableChanged();
}

void SysXDlg::Export_Click()
{
    const auto& list = window_.shared().SysExList;
    const int n = shownIndex();
    if (n < 1 || n > static_cast<int>(list.size()))
        return;
    const SysExEntry& entry = list[static_cast<size_t>(n - 1)];
    const auto parsed = parseSysEx(entry.message);
    if (const auto* fault = std::get_if<SysExFault>(&parsed)) {
        const QString why = *fault == SysExFault::NotHex ? window_.shared().msg(MsgNotHex) : sysExFaultText(*fault);
        window_.dialogs().MsgBox(entry.message + u'\r' + why, MsgButtons::Ok, MsgIcon::None);
        return;
    }
    FileRequest request;
    request.title = QStringLiteral("Export Sys Ex");
    request.fileName = entry.label + QStringLiteral(".syx");
    request.filter = SyxFilter;
    request.defaultExtension = QStringLiteral("syx");
    const QString path = window_.dialogs().SaveFile(request);
    if (path.isEmpty())
        return;
    const auto& data = std::get<std::vector<std::uint8_t>>(parsed);
    FileError error;
    if (!writeFileBytes(path, QByteArray(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size())),
                        error)) {
        window_.dialogs().MsgBox(QStringLiteral("Error saving ") + path + u'\r' + error.text + QStringLiteral(" (") +
                                     QString::number(error.number) + u')',
                                 MsgButtons::Ok, MsgIcon::Exclamation, request.title);
        return;
    }
    window_.ShowStatusText(2, QStringLiteral("Sys Ex saved to ") + path);
}

bool SysXDlg::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress) {
        const auto key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (enter && watched == SysXSel) {
            SysXSel_Enter();
            return true;
        }
        if (enter && watched == SysXMsg)
            return true;
    }
    if (type == QEvent::FocusIn && watched == SysXSel)
        QTimer::singleShot(0, SysXSel, [this] { SysXSel->selectAll(); });
    if (type == QEvent::Enter || type == QEvent::FocusIn) {
        int message = 0;
        if (watched == AddBtn)
            message = MsgAddHint;
        else if (watched == OkBtn)
            message = MsgOkHint;
        else if (watched == DelBtn)
            message = MsgDelHint;
        else if (watched == SysXSel)
            message = MsgSelHint;
        else if (watched == SysXScrol && type == QEvent::FocusIn)
            message = MsgScrollHint;
        else if (watched == SysXLbl)
            message = MsgLabelHint;
        else if (watched == SysXMsg)
            message = MsgMessageHint;
        if (message != 0)
            window_.ShowHint(window_.shared().msg(message));
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace orvell

namespace orvell {

SysXDlg& AOrvell::sysExWindow()
{
    if (!sysXDlg_) {
        sysXDlg_ = new SysXDlg(*this);
        QMdiSubWindow* frame = mdiArea_->addSubWindow(sysXDlg_);
        frame->setWindowIcon(windowIcon());
        frame->hide();
    }
    return *sysXDlg_;
}

// The window has a block once it exists; a session that never opened it has none.
void AOrvell::writeSingleWindows(SectionWriter& out)
{
    if (sysXDlg_)
        sysXDlg_->writeBlock(out);
}

std::unique_ptr<WindowBlockReader> AOrvell::readSingleWindow(const QString& className)
{
    if (className == u"SysXDlg")
        return sysExWindow().blockReader();
    return nullptr;
}

void AOrvell::sysExTableReplaced()
{
    if (sysXDlg_)
        sysXDlg_->Load();
}

void AOrvell::SysXBtn_Click()
{
    SysXDlg& dialog = sysExWindow();
    QMdiSubWindow* frame = qobject_cast<QMdiSubWindow*>(dialog.parentWidget());
    if (frame->isVisible()) {
        dialog.HideButton_Click();
        return;
    }
    dialog.Load();
    frame->show();
    mdiArea_->setActiveSubWindow(frame);
    toolbar().button(QStringLiteral("SysXBtn"))->setChecked(true);
}

}  // namespace orvell
