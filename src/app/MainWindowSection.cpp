// The main window's side of session files: its own block, and what a load
// asks of the desktop.
#include "app/AOrvell.h"
#include "app/MainMenus.h"
#include "app/MainToolbar.h"
#include "app/SynthControl.h"
#include "core/SectionFile.h"
#include "core/Twips.h"
#include "panels/Panel.h"
#include "panels/PictureFiles.h"
#include "panels/SessionFile.h"
#include "panels/Shared.h"

#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QToolBar>

#include <algorithm>
#include <ranges>

namespace orvell {

namespace {

// Which of the two bars is drawn higher: the upper one's key comes first, so
// bars sharing an edge keep their stacking order.
bool toolBarIsUpper(AOrvell& window)
{
    QToolBar& tool = window.toolbar().bar();
    QToolBar& status = window.statusBarStrip();
    const Qt::ToolBarArea toolArea = window.toolBarArea(&tool);
    const Qt::ToolBarArea statusArea = window.toolBarArea(&status);
    if (toolArea != statusArea)
        return toolArea == Qt::TopToolBarArea;
    if (window.layout())
        window.layout()->activate();
    return tool.geometry().y() <= status.geometry().y();
}

int barPos(AOrvell& window, QToolBar& bar) { return window.toolBarArea(&bar) == Qt::BottomToolBarArea ? 2 : 1; }

class MainWindowReader final : public MainBlockReader {
public:
    explicit MainWindowReader(AOrvell& window) : window_(window), shared_(window.shared()) {}

    void headerKey(const SectionLine& line) override;
    void headerDone() override;
    void data(SectionReader& in) override;
    void done() override;
    std::optional<int> fileCounter() const override { return fileCounter_; }

private:
    void redockBars();

    AOrvell& window_;
    Shared& shared_;
    std::optional<int> pendingState_;
    std::optional<bool> toolBarVisible_;
    std::optional<int> fileCounter_;
    int toolBarPos_ = 0;
    int statusBarPos_ = 0;
    bool toolBarKeyFirst_ = true;
    std::optional<size_t> lastSysEx_;  // the entry SysXMesg lines belong to
};

void MainWindowReader::headerKey(const SectionLine& line)
{
    // Positions are those of the normal state.
    if (window_.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))
        window_.setWindowState(Qt::WindowNoState);
    // Name= is not followed: while a panel is maximised the toolkit adds its
    // name to the title, and an older file may hold that.
    const QString& key = line.key;
    if (key == u"Top" || key == u"Left") {
        if (const auto twips = parseSectionInt(line.value)) {
            const int px = twipsToPixels(*twips);
            window_.move(key == u"Top" ? QPoint(window_.x(), px) : QPoint(px, window_.y()));
        }
    } else if (key == u"Height" || key == u"Width") {
        // Kept within the screens: a damaged file must not ask for a giant
        // backing store.
        if (const auto twips = parseSectionInt(line.value)) {
            QSize most(4096, 4096);
            if (const QScreen* screen = window_.screen())
                most = most.expandedTo(screen->availableVirtualGeometry().size());
            const bool height = key == u"Height";
            const int px = std::clamp(twipsToPixels(*twips), 100, height ? most.height() : most.width());
            window_.resize(height ? QSize(window_.width(), px) : QSize(px, window_.height()));
        }
    } else if (key == u"Color") {
        if (const auto colour = parseSectionColor(line.value))
            window_.setBackColor(*colour);
    } else if (key == u"WindowState") {
        // The main window shows itself at start-up; Visible is not followed.
        if (const auto state = parseSectionInt(line.value))
            pendingState_ = *state;
    }
}

void MainWindowReader::headerDone()
{
    if (pendingState_)
        applyWindowStateCode(window_, *pendingState_);
    pendingState_.reset();
}

void MainWindowReader::data(SectionReader& in)
{
    bool sawToolPos = false;
    bool sawStatusPos = false;
    while (in.peek() && in.peek()->kind != SectionLine::Kind::Header) {
        const SectionLine line = *in.next();
        if (line.kind == SectionLine::Kind::Error) {
            window_.ShowStatusText(0, QStringLiteral("Load MainPanel details:"));
            window_.ShowStatusText(1, QStringLiteral("Error"));
            window_.ShowStatusText(2, QStringLiteral("Param Name missing"));
            continue;
        }
        const QString& key = line.key;
        const QString& value = line.value;
        if (key == u"UniqFormCounter") {
            if (const auto counter = parseSectionInt(value); counter && *counter >= 0)
                fileCounter_ = *counter;
        } else if (key == u"PanlDir") {
            shared_.PanlDir = value;
        } else if (key == u"PatchDir") {
            shared_.PatchDir = value;
        } else if (key == u"SeqDir") {
            shared_.SeqDir = value;
        } else if (key == u"PictDir") {
            shared_.PictDir = value;
        } else if (key == u"IconDir") {
            shared_.IconDir = value;
        } else if (key == u"HelpDir") {
            shared_.HelpDir = value;
        } else if (key == u"ToolBarVisible") {
            if (const auto shown = parseSectionBool(value))
                toolBarVisible_ = *shown;
        } else if (key == u"StatusBarVisible") {
            if (const auto shown = parseSectionBool(value))
                window_.menus().showStatusBar(*shown);
        } else if (key == u"ToolBarPos") {
            if (const auto pos = parseSectionInt(value)) {
                toolBarPos_ = *pos;
                if (!sawStatusPos)
                    toolBarKeyFirst_ = true;
                sawToolPos = true;
            }
        } else if (key == u"StatusBarPos") {
            if (const auto pos = parseSectionInt(value)) {
                statusBarPos_ = *pos;
                if (!sawToolPos)
                    toolBarKeyFirst_ = false;
                sawStatusPos = true;
            }
        } else if (key == u"BackPictFile") {
            QString error;
            if (value.isEmpty())
                window_.setBackPicture({});
            else if (!window_.setBackPicture(value, &error))
                showPictureError(shared_, window_.dialogs(), value, error, QStringLiteral("Load Image"));
        } else if (key == u"SysXLabel") {
            // Labels name entries uniquely: a label already stored takes the
            // new message, so loading a session twice keeps one entry each.
            auto& list = shared_.SysExList;
            auto found = std::ranges::find(list, value, &SysExEntry::label);
            if (found == list.end())
                found = list.insert(list.end(), SysExEntry{value, {}});
            lastSysEx_ = static_cast<size_t>(found - list.begin());
        } else if (key == u"SysXMesg") {
            if (lastSysEx_)
                shared_.SysExList[*lastSysEx_].message = value;
        } else if (SynthControl* synth = window_.synthControl()) {
            synth->readKey(key, value);
        }
        // SysExCount follows from the entries; other keys are skipped.
    }
    if (toolBarPos_ > 0 && statusBarPos_ > 0)
        redockBars();
}

void MainWindowReader::done()
{
    if (toolBarVisible_ && !*toolBarVisible_)
        window_.menus().showToolBar(false);
}

void MainWindowReader::redockBars()
{
    auto area = [](int pos) { return pos == 2 ? Qt::BottomToolBarArea : Qt::TopToolBarArea; };
    QToolBar& tool = window_.toolbar().bar();
    QToolBar& status = window_.statusBarStrip();
    const bool toolHidden = tool.isHidden();
    const bool statusHidden = status.isHidden();
    const Qt::ToolBarArea toolArea = area(toolBarPos_);
    const Qt::ToolBarArea statusArea = area(statusBarPos_);
    window_.removeToolBar(&tool);
    window_.removeToolBar(&status);
    if (toolArea != statusArea) {
        window_.addToolBar(toolArea, &tool);
        window_.addToolBar(statusArea, &status);
    } else {
        // The first key names the upper bar. At the top the first bar added is
        // the upper one; at the bottom the first added is the lower one.
        const bool toolFirst = toolBarKeyFirst_ == (toolArea == Qt::TopToolBarArea);
        QToolBar& first = toolFirst ? tool : status;
        QToolBar& second = toolFirst ? status : tool;
        window_.addToolBar(toolArea, &first);
        window_.addToolBarBreak(toolArea);
        window_.addToolBar(toolArea, &second);
    }
    tool.setVisible(!toolHidden);
    status.setVisible(!statusHidden);
}

}  // namespace

void AOrvell::writeMainBlock(SectionWriter& out)
{
    const int state = windowStateCode(windowState());
    QPoint pos = this->pos();
    QSize size = this->size();
    if (state != 0) {
        pos = normalGeometry().topLeft();
        size = normalGeometry().size();
    }
    writeWindowHeader(out, MainWindowClass, Caption, pos, &size, BackColor, !isHidden(), {}, state);

    out.data(MainWindowClass);
    out.keyInt(QStringLiteral("UniqFormCounter"), shared_.UniqFormCounter);
    out.keyBool(QStringLiteral("ToolBarVisible"), !toolbar().bar().isHidden());
    out.keyBool(QStringLiteral("StatusBarVisible"), !statusBarStrip().isHidden());
    const int toolPos = barPos(*this, toolbar().bar());
    const int statusPos = barPos(*this, statusBarStrip());
    if (toolBarIsUpper(*this)) {
        out.keyInt(QStringLiteral("ToolBarPos"), toolPos);
        out.keyInt(QStringLiteral("StatusBarPos"), statusPos);
    } else {
        out.keyInt(QStringLiteral("StatusBarPos"), statusPos);
        out.keyInt(QStringLiteral("ToolBarPos"), toolPos);
    }
    out.key(QStringLiteral("BackPictFile"), BackPictFile);
    out.key(QStringLiteral("PanlDir"), shared_.PanlDir);
    out.key(QStringLiteral("PatchDir"), shared_.PatchDir);
    out.key(QStringLiteral("SeqDir"), shared_.SeqDir);
    out.key(QStringLiteral("PictDir"), shared_.PictDir);
    out.key(QStringLiteral("IconDir"), shared_.IconDir);
    if (!shared_.HelpDir.isEmpty())
        out.key(QStringLiteral("HelpDir"), shared_.HelpDir);
    out.keyInt(QStringLiteral("SysExCount"), static_cast<qint64>(shared_.SysExList.size()));
    for (const SysExEntry& entry : shared_.SysExList) {
        out.key(QStringLiteral("SysXLabel"), entry.label);
        out.key(QStringLiteral("SysXMesg"), entry.message);
    }
    if (synthControl_)
        synthControl_->writeKeys(out);
}

std::unique_ptr<MainBlockReader> AOrvell::readMainBlock() { return std::make_unique<MainWindowReader>(*this); }

Panel* AOrvell::createPanelFromFile(PanelClass id) { return createPanel(id, Placing::FromFile); }

void AOrvell::beginSessionLoad()
{
    // While the backdrop is hidden the MDI area does not place each new
    // window among all the others; the file gives every place anyway.
    backdropWasShown_ = !mdiArea_->isHidden();
    mdiArea_->hide();
}

void AOrvell::endSessionLoad()
{
    // A window shown in an enabled area becomes the active one; passing that
    // through every loaded window costs more than the load itself.
    const bool enabled = mdiArea_->isEnabled();
    mdiArea_->setEnabled(false);
    mdiArea_->setVisible(backdropWasShown_);
    mdiArea_->setEnabled(enabled);
    sysExTableReplaced();
}

void AOrvell::loadFinished(Panel* last)
{
    if (last && last->subWindow() && !last->subWindow()->isHidden())
        mdiArea_->setActiveSubWindow(last->subWindow());
    for (const PanelClassInfo& info : panelClasses())
        panelVisibilityChanged(info.id);
}

}  // namespace orvell
