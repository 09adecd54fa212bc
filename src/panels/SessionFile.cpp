#include "panels/SessionFile.h"

#include "app/AOrvell.h"
#include "app/Dialogs.h"
#include "app/MainMenus.h"
#include "app/MainToolbar.h"
#include "app/PictureFiles.h"
#include "core/Shared.h"
#include "core/Twips.h"
#include "midi/PortConfigFile.h"
#include "panels/Panel.h"
#include "panels/SectionFile.h"

#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QToolBar>

#include <algorithm>
#include <optional>

namespace orvell {

namespace {

enum : int { MsgFail = 3, MsgPortConfigInvalid = 75 };

const QString MainClass = QStringLiteral("AOrvell");
// The main window's caption. While a panel is maximised the toolkit adds the
// panel's name to the title; that is not the caption, and must not come back
// from a file either.
const QString MainCaption = QStringLiteral("Orvell");
// Single windows that always exist in the full program; their blocks are
// accepted so a session written by it loads, but they are not built yet.
const QStringList OtherSingleWindows = {QStringLiteral("HelpView"), QStringLiteral("IconPalette"),
                                        QStringLiteral("SysXDlg")};

int stateCode(Qt::WindowStates state)
{
    if (state & Qt::WindowMinimized)
        return 1;
    if (state & Qt::WindowMaximized)
        return 2;
    return 0;
}

Qt::WindowStates stateFromCode(int code)
{
    switch (code) {
    case 1:
        return Qt::WindowMinimized;
    case 2:
        return Qt::WindowMaximized;
    default:
        return Qt::WindowNoState;
    }
}

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

void writeHeader(SectionWriter& out, const QString& className, const QString& name, QPoint pos,
                 const QSize* size, quint32 colour, bool visible, const QString& tag, int state)
{
    out.blank();
    out.header(className);
    out.key(QStringLiteral("Name"), name);
    out.keyInt(QStringLiteral("Top"), pixelsToTwips(pos.y()));
    out.keyInt(QStringLiteral("Left"), pixelsToTwips(pos.x()));
    if (size) {
        out.keyInt(QStringLiteral("Height"), pixelsToTwips(size->height()));
        out.keyInt(QStringLiteral("Width"), pixelsToTwips(size->width()));
    }
    out.keyColor(QStringLiteral("Color"), colour);
    out.keyBool(QStringLiteral("Visible"), visible);
    out.key(QStringLiteral("Tag"), tag);
    out.keyInt(QStringLiteral("WindowState"), state);
}

void writeMainWindow(SectionWriter& out, AOrvell& window)
{
    const int state = stateCode(window.windowState());
    QPoint pos = window.pos();
    QSize size = window.size();
    if (state != 0) {
        pos = window.normalGeometry().topLeft();
        size = window.normalGeometry().size();
    }
    writeHeader(out, MainClass, MainCaption, pos, &size, window.BackColor, !window.isHidden(), {}, state);

    Shared& shared = window.shared();
    out.data(MainClass);
    out.keyInt(QStringLiteral("UniqFormCounter"), shared.UniqFormCounter);
    out.keyBool(QStringLiteral("ToolBarVisible"), !window.toolbar().bar().isHidden());
    out.keyBool(QStringLiteral("StatusBarVisible"), !window.statusBarStrip().isHidden());
    const int toolPos = barPos(window, window.toolbar().bar());
    const int statusPos = barPos(window, window.statusBarStrip());
    if (toolBarIsUpper(window)) {
        out.keyInt(QStringLiteral("ToolBarPos"), toolPos);
        out.keyInt(QStringLiteral("StatusBarPos"), statusPos);
    } else {
        out.keyInt(QStringLiteral("StatusBarPos"), statusPos);
        out.keyInt(QStringLiteral("ToolBarPos"), toolPos);
    }
    out.key(QStringLiteral("BackPictFile"), window.BackPictFile);
    out.key(QStringLiteral("PanlDir"), shared.PanlDir);
    out.key(QStringLiteral("PatchDir"), shared.PatchDir);
    out.key(QStringLiteral("SeqDir"), shared.SeqDir);
    out.key(QStringLiteral("PictDir"), shared.PictDir);
    out.key(QStringLiteral("IconDir"), shared.IconDir);
    if (!shared.HelpDir.isEmpty())
        out.key(QStringLiteral("HelpDir"), shared.HelpDir);
    out.keyInt(QStringLiteral("SysExCount"), static_cast<qint64>(shared.SysExList.size()));
    for (const SysExEntry& entry : shared.SysExList) {
        out.key(QStringLiteral("SysXLabel"), entry.label);
        out.key(QStringLiteral("SysXMesg"), entry.message);
    }
}

void writePanel(SectionWriter& out, Panel& panel)
{
    QMdiSubWindow* window = panel.subWindow();
    QPoint pos;
    int state = 0;
    bool visible = !panel.isHidden();
    if (window) {
        visible = !window->isHidden();
        const Qt::WindowStates saved = window->windowState();
        state = stateCode(saved);
        if (state != 0) {
            // The normal position is only known in the normal state.
            window->setWindowState(saved & ~(Qt::WindowMinimized | Qt::WindowMaximized));
            pos = window->pos();
            window->setWindowState(saved);
            if (!visible)
                window->hide();
        } else {
            pos = window->pos();
        }
    }
    writeHeader(out, panel.className(), panel.caption(), pos, nullptr, panel.BackColor, visible, panel.Tag, state);
    panel.SaveMe(out);
}

// The state of one load: the window the header keys go to and what the main
// window's data section left to apply at the end.
class SessionLoader {
public:
    explicit SessionLoader(AOrvell& window) : window_(window), shared_(window.shared()) {}

    void run(const QByteArray& bytes);
    bool loadPanels(SectionReader& in);

private:
    void finishBlock();
    void readHeaderKey(const SectionLine& line);
    void loadMainData(SectionReader& in);
    void redockBars();
    void skipKeys(SectionReader& in);
    bool unsupported(const SectionLine& line);

    AOrvell& window_;
    Shared& shared_;
    // The window header keys apply to: the main window, a panel, or nothing
    // (a single window this version does not have).
    bool currentIsMain_ = false;
    Panel* currentPanel_ = nullptr;
    std::optional<int> pendingState_;
    std::optional<bool> pendingVisible_;
    std::optional<bool> toolBarVisible_;
    std::optional<int> fileCounter_;
    int toolBarPos_ = 0;
    int statusBarPos_ = 0;
    bool toolBarKeyFirst_ = true;
    std::optional<size_t> lastSysEx_;

public:
    Panel* lastCreated_ = nullptr;  // the entry SysXMesg lines belong to
};

bool SessionLoader::unsupported(const SectionLine& line)
{
    return window_.dialogs().MsgBox(QStringLiteral("Unsupported Option, ") + line.text, MsgButtons::OkCancel,
                                    MsgIcon::Exclamation) != MsgAnswer::Cancel;
}

void SessionLoader::skipKeys(SectionReader& in)
{
    while (in.peek() && in.peek()->kind != SectionLine::Kind::Header)
        in.next();
}

void SessionLoader::run(const QByteArray& bytes)
{
    SectionReader in(bytes);
    while (auto line = in.next()) {
        if (line->kind == SectionLine::Kind::Header) {
            if (line->name == u"Panels") {
                loadPanels(in);
                continue;
            }
            if (line->name == u"MIDI In Devs") {
                if (ReadMidiDevSections(in, shared_.midi))
                    window_.RefreshPortLists();
                else
                    window_.dialogs().MsgBox(shared_.msg(MsgPortConfigInvalid), MsgButtons::Ok, MsgIcon::Exclamation);
                continue;
            }
        }
        if (!unsupported(*line))
            break;
    }
    finishBlock();

    if (toolBarVisible_ && !*toolBarVisible_)
        window_.menus().showToolBar(false);
    int highest = fileCounter_.value_or(0);
    for (Panel* panel : window_.panels()) {
        bool ok = false;
        const int tag = panel->Tag.toInt(&ok);
        if (ok)
            highest = std::max(highest, tag);
    }
    shared_.UniqFormCounter = highest;
}

// Window state and visibility go last in a block, so the saved state wins
// over the moves and resizes before them.
void SessionLoader::finishBlock()
{
    if (currentPanel_) {
        if (QMdiSubWindow* sub = currentPanel_->subWindow()) {
            const bool visible = pendingVisible_.value_or(!sub->isHidden());
            if (pendingState_)
                sub->setWindowState(stateFromCode(*pendingState_));
            sub->setVisible(visible);
        }
    } else if (currentIsMain_ && pendingState_) {
        window_.setWindowState(stateFromCode(*pendingState_));
    }
    pendingState_.reset();
    pendingVisible_.reset();
}

bool SessionLoader::loadPanels(SectionReader& in)
{
    currentIsMain_ = false;
    currentPanel_ = nullptr;
    while (in.peek()) {
        const SectionLine& line = *in.peek();
        if (line.kind == SectionLine::Kind::Error) {
            in.next();
            finishBlock();
            currentIsMain_ = false;
            currentPanel_ = nullptr;
            window_.ShowStatusText(0, QStringLiteral("Load Panel "));
            window_.ShowStatusText(1, shared_.msg(MsgFail));
            window_.ShowStatusText(2, QStringLiteral("Param Name missing"));
            window_.dialogs().MsgBox(QStringLiteral("An error occurred during LOAD"), MsgButtons::Ok,
                                     MsgIcon::Exclamation);
            return false;
        }
        if (line.kind == SectionLine::Kind::Key) {
            const SectionLine key = *in.next();
            readHeaderKey(key);
            continue;
        }
        // A header.
        if (const auto dataClass = dataSectionClass(line.name)) {
            const QString name = *dataClass;
            const bool known = name == MainClass || OtherSingleWindows.contains(name) || panelClassByName(name);
            if (!known) {
                finishBlock();
                return true;  // the caller reports it
            }
            in.next();
            finishBlock();
            if (currentIsMain_ && name == MainClass)
                loadMainData(in);
            else if (currentPanel_ && currentPanel_->className() == name)
                currentPanel_->LoadMe(in);  // keys it does not know are skipped
            else
                skipKeys(in);
            continue;
        }
        const QString name = line.name;
        if (name == MainClass || OtherSingleWindows.contains(name)) {
            in.next();
            finishBlock();
            currentIsMain_ = name == MainClass;
            currentPanel_ = nullptr;
            continue;
        }
        if (const auto id = panelClassByName(name)) {
            in.next();
            finishBlock();
            currentIsMain_ = false;
            currentPanel_ = window_.createPanel(*id, AOrvell::Placing::FromFile);
            lastCreated_ = currentPanel_;
            continue;
        }
        finishBlock();
        return true;  // not ours: back to the caller as the pending line
    }
    finishBlock();
    return true;
}

void SessionLoader::readHeaderKey(const SectionLine& line)
{
    if (!currentIsMain_ && !currentPanel_)
        return;
    QWidget* target = currentIsMain_ ? static_cast<QWidget*>(&window_) : currentPanel_->subWindow();
    if (!target)
        return;
    // Positions are those of the normal state.
    if (target->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))
        target->setWindowState(Qt::WindowNoState);
    const QString& key = line.key;
    if (key == u"Name") {
        if (!currentIsMain_)
            currentPanel_->setCaption(line.value);
    } else if (key == u"Top" || key == u"Left") {
        if (const auto twips = parseSectionInt(line.value)) {
            const int px = twipsToPixels(*twips);
            target->move(key == u"Top" ? QPoint(target->x(), px) : QPoint(px, target->y()));
        }
    } else if (key == u"Height" || key == u"Width") {
        // Panels keep their design size. The main window is kept within its
        // screens: a damaged file must not ask for a giant backing store.
        const auto twips = parseSectionInt(line.value);
        if (currentIsMain_ && twips) {
            QSize most(4096, 4096);
            if (const QScreen* screen = window_.screen())
                most = most.expandedTo(screen->availableVirtualGeometry().size());
            const bool height = key == u"Height";
            const int px = std::clamp(twipsToPixels(*twips), 100, height ? most.height() : most.width());
            target->resize(height ? QSize(target->width(), px) : QSize(px, target->height()));
        }
    } else if (key == u"Color") {
        if (const auto colour = parseSectionColor(line.value)) {
            if (currentIsMain_) {
                window_.setBackColor(*colour);
            } else {
                currentPanel_->BackColor = *colour;
                currentPanel_->applyBackColor();
            }
        }
    } else if (key == u"Visible") {
        // The main window shows itself at start-up; only panels follow the file.
        if (const auto visible = parseSectionBool(line.value); visible && !currentIsMain_)
            pendingVisible_ = *visible;
    } else if (key == u"Tag") {
        if (currentPanel_)
            currentPanel_->Tag = line.value;
    } else if (key == u"WindowState") {
        if (const auto state = parseSectionInt(line.value))
            pendingState_ = *state;
    }
}

void SessionLoader::loadMainData(SectionReader& in)
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
        }
        // SysExCount follows from the entries; other keys are skipped.
    }
    if (toolBarPos_ > 0 && statusBarPos_ > 0)
        redockBars();
}

void SessionLoader::redockBars()
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

QByteArray writeSession(AOrvell& window)
{
    SectionWriter out;
    WriteMidiDevSections(out, window.shared().midi);
    out.blank();
    out.header(QStringLiteral("Panels"));
    writeMainWindow(out, window);
    for (Panel* panel : window.panels())
        writePanel(out, *panel);
    return out.bytes();
}

namespace {

// The last panel read becomes the active one, and the Tools menu and toolbar
// follow the panels now shown.
void finishLoad(AOrvell& window, Panel* last)
{
    if (last && last->subWindow() && !last->subWindow()->isHidden())
        window.mdiArea().setActiveSubWindow(last->subWindow());
    for (const PanelClassInfo& info : panelClasses())
        window.panelVisibilityChanged(info.id);
}

}  // namespace

void readSession(AOrvell& window, const QByteArray& bytes)
{
    // While the backdrop is hidden the MDI area does not place each new
    // window among all the others; the file gives every place anyway.
    QWidget& backdrop = window.mdiArea();
    const bool shown = !backdrop.isHidden();
    backdrop.hide();
    SessionLoader loader(window);
    loader.run(bytes);
    // A window shown in an enabled area becomes the active one; passing that
    // through every loaded window costs more than the load itself.
    const bool enabled = backdrop.isEnabled();
    backdrop.setEnabled(false);
    backdrop.setVisible(shown);
    backdrop.setEnabled(enabled);
    finishLoad(window, loader.lastCreated_);
}

QByteArray writePanelFile(Panel& panel)
{
    SectionWriter out;
    writePanel(out, panel);
    return out.bytes();
}

bool readPanelFile(AOrvell& window, const QByteArray& bytes)
{
    SectionReader in(bytes);
    SessionLoader loader(window);
    const bool ok = loader.loadPanels(in);
    finishLoad(window, loader.lastCreated_);
    return ok;
}

}  // namespace orvell
