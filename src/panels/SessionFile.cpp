#include "panels/SessionFile.h"

#include "core/SectionFile.h"
#include "core/Twips.h"
#include "midi/PortConfigFile.h"
#include "panels/Dialogs.h"
#include "panels/Panel.h"
#include "panels/SessionHost.h"
#include "panels/Shared.h"

#include <QMdiSubWindow>

#include <algorithm>
#include <map>
#include <optional>

namespace orvell {

namespace {

enum : int { MsgFail = 3, MsgPortConfigInvalid = 75 };

// Single windows besides the main one; a desktop reads the blocks of those it has.
const QStringList SingleWindows = {QStringLiteral("HelpView"), QStringLiteral("IconPalette"),
                                        QStringLiteral("SysXDlg")};

Qt::WindowStates windowStateFromCode(int code)
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

// The normal-state position, the state code and the visibility of a window.
struct WindowPlace {
    QPoint pos;
    QSize size;
    int state = 0;
    bool visible = false;
};

WindowPlace placeOf(QMdiSubWindow* window, bool visible)
{
    WindowPlace place;
    place.visible = visible;
    if (!window)
        return place;
    place.visible = !window->isHidden();
    const Qt::WindowStates saved = window->windowState();
    place.state = windowStateCode(saved);
    if (place.state != 0) {
        // The normal position is only known in the normal state.
        window->setWindowState(saved & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        place.pos = window->pos();
        place.size = window->size();
        window->setWindowState(saved);
        if (!place.visible)
            window->hide();
    } else {
        place.pos = window->pos();
        place.size = window->size();
    }
    return place;
}

void writePanel(SectionWriter& out, Panel& panel)
{
    const WindowPlace place = placeOf(panel.subWindow(), !panel.isHidden());
    writeWindowHeader(out, panel.className(), panel.caption(), place.pos, nullptr, panel.BackColor, place.visible,
                      panel.Tag, place.state);
    panel.SaveMe(out);
}

void writeSessionWindow(SectionWriter& out, SessionWindow& window)
{
    const WindowPlace place = placeOf(window.subWindow(), false);
    writeWindowHeader(out, window.className(), window.caption(), place.pos, window.keepsSize() ? &place.size : nullptr,
                      window.backColor(), place.visible, QString(), place.state);
    window.SaveMe(out);
}

// The state of one load: the window the header keys go to.
class SessionLoader {
public:
    explicit SessionLoader(SessionHost& host) : host_(host), shared_(host.shared()) {}

    void run(const QByteArray& bytes);
    bool loadPanels(SectionReader& in);

    Panel* lastCreated() const { return lastCreated_; }
    const QString& portNote() const { return portNote_; }

private:
    void finishBlock();
    void readHeaderKey(const SectionLine& line);
    void skipKeys(SectionReader& in);
    bool unsupported(const SectionLine& line);
    MainBlockReader& mainBlock();
    WindowBlockReader* singleWindow(const QString& name);

    SessionHost& host_;
    Shared& shared_;
    std::unique_ptr<MainBlockReader> mainBlock_;
    std::map<QString, std::unique_ptr<WindowBlockReader>> singleWindows_;
    // The window header keys apply to: a single window, a panel, or nothing
    // (a single window this desktop does not have).
    WindowBlockReader* currentSingle_ = nullptr;
    QString currentSingleName_;
    Panel* currentPanel_ = nullptr;
    // A single window that keeps its place like a panel (help viewer, palette).
    SessionWindow* currentWindow_ = nullptr;
    QMdiSubWindow* currentFrame() const;
    Panel* lastCreated_ = nullptr;
    std::optional<int> pendingState_;
    std::optional<bool> pendingVisible_;
    QString portNote_;
};

MainBlockReader& SessionLoader::mainBlock()
{
    if (!mainBlock_)
        mainBlock_ = host_.readMainBlock();
    return *mainBlock_;
}

WindowBlockReader* SessionLoader::singleWindow(const QString& name)
{
    if (name == MainWindowClass)
        return &mainBlock();
    auto found = singleWindows_.find(name);
    if (found == singleWindows_.end())
        found = singleWindows_.emplace(name, host_.readSingleWindow(name)).first;
    return found->second.get();
}

bool SessionLoader::unsupported(const SectionLine& line)
{
    return host_.dialogs().MsgBox(QStringLiteral("Unsupported Option, ") + line.text, MsgButtons::OkCancel,
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
                QStringList outputs;
                if (ReadMidiDevSections(in, shared_.midi, &outputs))
                    host_.RefreshPortLists();
                else
                    host_.dialogs().MsgBox(shared_.msg(MsgPortConfigInvalid), MsgButtons::Ok, MsgIcon::Exclamation);
                // The session drives the same synths here, whatever their numbers.
                const std::map<int, int> map = portsByName(outputs, shared_.midi.MidiOutPorts);
                shared_.midi.setSessionPortMap(map);
                if (!map.empty())
                    portNote_ = QStringLiteral("Ports follow their devices: ") +
                                describePortMap(map, shared_.midi.MidiOutPorts);
                continue;
            }
        }
        if (!unsupported(*line))
            break;
    }
    finishBlock();

    for (auto& [name, reader] : singleWindows_) {
        if (reader)
            reader->done();
    }
    std::optional<int> fileCounter;
    if (mainBlock_) {
        mainBlock_->done();
        fileCounter = mainBlock_->fileCounter();
    }
    int highest = fileCounter.value_or(0);
    for (Panel* panel : host_.panels()) {
        bool ok = false;
        const int tag = panel->Tag.toInt(&ok);
        if (ok)
            highest = std::max(highest, tag);
    }
    shared_.UniqFormCounter = highest;
}

// Window state and visibility go last in a block, so the saved state wins
// over the moves and resizes before them.
QMdiSubWindow* SessionLoader::currentFrame() const
{
    if (currentPanel_)
        return currentPanel_->subWindow();
    return currentWindow_ ? currentWindow_->subWindow() : nullptr;
}

void SessionLoader::finishBlock()
{
    if (QMdiSubWindow* sub = currentFrame()) {
        const bool visible = pendingVisible_.value_or(!sub->isHidden());
        if (pendingState_)
            sub->setWindowState(windowStateFromCode(*pendingState_));
        sub->setVisible(visible);
    } else if (currentSingle_) {
        currentSingle_->headerDone();
    }
    pendingState_.reset();
    pendingVisible_.reset();
}

bool SessionLoader::loadPanels(SectionReader& in)
{
    currentSingle_ = nullptr;
    currentWindow_ = nullptr;
    currentPanel_ = nullptr;
    while (in.peek()) {
        const SectionLine& line = *in.peek();
        if (line.kind == SectionLine::Kind::Error) {
            in.next();
            finishBlock();
            currentSingle_ = nullptr;
            currentWindow_ = nullptr;
            currentPanel_ = nullptr;
            host_.ShowStatusText(0, QStringLiteral("Load Panel "));
            host_.ShowStatusText(1, shared_.msg(MsgFail));
            host_.ShowStatusText(2, QStringLiteral("Param Name missing"));
            host_.dialogs().MsgBox(QStringLiteral("An error occurred during LOAD"), MsgButtons::Ok,
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
            const bool known = name == MainWindowClass || SingleWindows.contains(name) || panelClassByName(name);
            if (!known) {
                finishBlock();
                return true;  // the caller reports it
            }
            in.next();
            finishBlock();
            if (currentSingle_ && name == currentSingleName_)
                currentSingle_->data(in);
            else if (currentPanel_ && currentPanel_->className() == name)
                currentPanel_->LoadMe(in);  // keys it does not know are skipped
            else if (currentWindow_ && currentWindow_->className() == name)
                currentWindow_->LoadMe(in);
            else
                skipKeys(in);
            continue;
        }
        const QString name = line.name;
        if (name == MainWindowClass || SingleWindows.contains(name)) {
            in.next();
            finishBlock();
            currentWindow_ = name == MainWindowClass ? nullptr : host_.sessionWindow(name);
            currentSingle_ = currentWindow_ ? nullptr : singleWindow(name);
            currentSingleName_ = name;
            currentPanel_ = nullptr;
            continue;
        }
        if (const auto id = panelClassByName(name)) {
            in.next();
            finishBlock();
            currentSingle_ = nullptr;
            currentWindow_ = nullptr;
            currentPanel_ = host_.createPanelFromFile(*id);
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
    if (currentSingle_) {
        currentSingle_->headerKey(line);
        return;
    }
    QMdiSubWindow* target = currentFrame();
    if (!target)
        return;
    // Positions are those of the normal state.
    if (target->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))
        target->setWindowState(Qt::WindowNoState);
    // Panels keep their design size: Height and Width are not theirs. A
    // single window names and tags itself.
    const QString& key = line.key;
    if (key == u"Name") {
        if (currentPanel_)
            currentPanel_->setCaption(line.value);
    } else if (key == u"Top" || key == u"Left") {
        if (const auto twips = parseSectionInt(line.value)) {
            const int px = twipsToPixels(*twips);
            target->move(key == u"Top" ? QPoint(target->x(), px) : QPoint(px, target->y()));
        }
    } else if (key == u"Height" || key == u"Width") {
        const auto twips = parseSectionInt(line.value);
        if (twips && *twips > 0 && currentWindow_ && currentWindow_->keepsSize()) {
            const int px = twipsToPixels(*twips);
            target->resize(key == u"Height" ? QSize(target->width(), px) : QSize(px, target->height()));
        }
    } else if (key == u"Color") {
        if (const auto colour = parseSectionColor(line.value)) {
            if (currentPanel_) {
                currentPanel_->BackColor = *colour;
                currentPanel_->applyBackColor();
            } else {
                currentWindow_->setBackColor(*colour);
            }
        }
    } else if (key == u"Visible") {
        if (const auto visible = parseSectionBool(line.value))
            pendingVisible_ = *visible;
    } else if (key == u"Tag") {
        if (currentPanel_)
            currentPanel_->Tag = line.value;
    } else if (key == u"WindowState") {
        if (const auto state = parseSectionInt(line.value))
            pendingState_ = *state;
    }
}

}  // namespace

const QString MainWindowClass = QStringLiteral("AOrvell");

int windowStateCode(Qt::WindowStates state)
{
    if (state & Qt::WindowMinimized)
        return 1;
    if (state & Qt::WindowMaximized)
        return 2;
    return 0;
}

void applyWindowStateCode(QWidget& window, int code) { window.setWindowState(windowStateFromCode(code)); }

void writeWindowHeader(SectionWriter& out, const QString& className, const QString& name, QPoint pos,
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

QByteArray writeSession(SessionHost& host)
{
    SectionWriter out;
    WriteMidiDevSections(out, host.shared().midi);
    out.blank();
    out.header(QStringLiteral("Panels"));
    host.writeMainBlock(out);
    for (SessionWindow* window : host.sessionWindows())
        writeSessionWindow(out, *window);
    host.writeSingleWindows(out);
    for (Panel* panel : host.panels())
        writePanel(out, *panel);
    return out.bytes();
}

QString readSession(SessionHost& host, const QByteArray& bytes)
{
    host.beginSessionLoad();
    SessionLoader loader(host);
    loader.run(bytes);
    // Panels read later, from their own files, keep the numbers they name.
    host.shared().midi.setSessionPortMap({});
    host.endSessionLoad();
    host.loadFinished(loader.lastCreated());
    return loader.portNote();
}

QByteArray writePanelFile(Panel& panel)
{
    SectionWriter out;
    writePanel(out, panel);
    return out.bytes();
}

bool readPanelFile(SessionHost& host, const QByteArray& bytes)
{
    SectionReader in(bytes);
    SessionLoader loader(host);
    const bool ok = loader.loadPanels(in);
    host.loadFinished(loader.lastCreated());
    return ok;
}

}  // namespace orvell
