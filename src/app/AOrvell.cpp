#include "app/AOrvell.h"

#include "app/CommandLine.h"
#include "app/MainMenus.h"
#include "app/MainToolbar.h"
#include "app/PanelFactory.h"
#include "app/PanicControl.h"
#include "app/RecorderControl.h"
#include "app/StatusLine.h"
#include "app/SynthControl.h"
#include "app/WindowManager.h"
#include "controllers/JoystickSystem.h"
#include "core/Twips.h"
#include "panels/ColorConvert.h"
#include "panels/Dialogs.h"
#include "panels/Panel.h"
#include "panels/PictureFiles.h"
#include "panels/Placement.h"
#include "panels/SessionFile.h"
#include "panels/Shared.h"
#include "patches/PatchListPanel.h"
#include "patches/RemotePatch.h"
#include "pointer/PanlPointer.h"
#include "sequencer/SequencerPanel.h"
#include "tools/IconPalette.h"

#include <QCloseEvent>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QSaveFile>
#include <QSet>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <cstdio>
#include <limits>
#include <optional>

// The pictures live in the widgets library; a static library has to pull its
// resources in by hand.
static void initResources() { Q_INIT_RESOURCE(orvell); }

namespace orvell {

namespace {

enum : int {
    MsgFail = 3,
    MsgLoaded = 18,
    MsgNoPorts = 71,
    MsgSaveDefault = 77,
    MsgCantExitRecording = 114,
    MsgSessionNotSaved = 115,
    MsgPanelNotSaved = 117,
    MsgSaved = 43,
    MsgNoJoystickDriver = 68,
    MsgNoJoystick = 69,
    MsgDefaultNotFound = 76,
    MsgLoadSession = 107,
    MsgPanelNotLoaded = 108,
    MsgDefaultSession = 109,
    MsgSaveSession = 116,
    MsgSavedAs = 225,
    MsgMessagesFile = 226,
};

// Design geometry of the window, in twips.
constexpr int DesignLeft = 1860;
constexpr int DesignTop = 1680;
constexpr int DesignWidth = 7068;
constexpr int DesignHeight = 4956;

}  // namespace

AOrvell::AOrvell(Shared& shared, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), shared_(shared), dialogs_(dialogs)
{
    initResources();
    shared_.flags.Initializing = true;
    setObjectName(QStringLiteral("AOrvell"));
    setWindowTitle(Caption);
    setWindowIcon(QIcon(QStringLiteral(":/toolbar/AppIcon.svg")));
    move(twipsToPixels(DesignLeft), twipsToPixels(DesignTop));
    resize(twipsToPixels(DesignWidth), twipsToPixels(DesignHeight));

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("Backdrop"));
    mdiArea_->viewport()->installEventFilter(this);
    setCentralWidget(mdiArea_);
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this] { emit panelsChanged(); });

    statusLine_ = new StatusLine(shared_.Msgs, this);
    statusBar_ = new QToolBar(QStringLiteral("Statusbar"), this);
    statusBar_->setObjectName(QStringLiteral("Statusbar"));
    statusBar_->setMovable(false);
    statusBar_->setFloatable(false);
    statusBar_->setContentsMargins(0, 0, 0, 0);
    statusBar_->addWidget(statusLine_);
    addToolBar(Qt::BottomToolBarArea, statusBar_);

    auto* toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    toolBar->setObjectName(QStringLiteral("Toolbar"));
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    addToolBar(Qt::TopToolBarArea, toolBar);

    shared_.setReporter(this);
    // A port that failed to open leaves every selector at once.
    shared_.midi.setPortListsChanged([this] { RefreshPortLists(); });
    autoEvent_ = new QTimer(this);
    autoEvent_->setObjectName(QStringLiteral("AutoEvent"));
    autoEvent_->setInterval(50);
    autoEvent_->setTimerType(Qt::PreciseTimer);
    connect(autoEvent_, &QTimer::timeout, this, [this] { shared_.autoSweep.AutoEvent_Timer(); });
    shared_.autoSweep.setTimerSwitch([this](bool running) {
        if (running)
            autoEvent_->start();
        else
            autoEvent_->stop();
    });
    // Sweeps of patch changes reach the patch panels through this window;
    // the sweep's warnings go to the status line.
    shared_.autoSweep.setPatchChange([this](int, int patchId, int value) {
        return RemotePatchChange(*this, QString::number(patchId), value);
    });
    shared_.autoSweep.setReporter(&shared_.reporter(), &shared_.Msgs);
    shared_.midi.setRemoteRelease([this](int code, int tag) { ReleaseRemoteHold(*this, code, tag); });
    windows_ = std::make_unique<WindowManager>(*this);
    menus_ = std::make_unique<MainMenus>(*this);
    panic_ = new PanicControl(*this);
    toolbar_ = std::make_unique<MainToolbar>(*this, *toolBar);
    helpView();
    // Opening or closing a panel may give the panel pointer something to do, or take it away.
    connect(this, &AOrvell::panelsChanged, this, &AOrvell::updatePanelPointerAvailability);
    setBackColor(SysColor::AppWorkspace);
    updatePanelCounter();
}

AOrvell::~AOrvell()
{
    shared_.midiSystem().setDeviceWatcher({});
    shared_.midi.setPortListsChanged({});
    shared_.midi.setRemoteRelease({});
    // The panels go after the menus and the toolbar; their leaving must not reach them.
    disconnect(this, &AOrvell::panelsChanged, this, &AOrvell::updatePanelPointerAvailability);
    shared_.autoSweep.setTimerSwitch({});
    shared_.autoSweep.setPatchChange({});
    // Closing panels and the MDI area signal back while this window is half
    // destroyed; nothing of that may reach it.
    disconnect(mdiArea_, nullptr, this, nullptr);
    for (QMdiSubWindow* window : mdiArea_->findChildren<QMdiSubWindow*>())
        disconnect(window, nullptr, this, nullptr);
    shared_.setReporter(nullptr);
    // Panels ask nothing once the window is going away.
    for (Panel* panel : panels())
        panel->IsChanged = false;
}

bool AOrvell::Load(const QStringList& commandWords, const QString& backendNotice)
{
    statusLine_->MsgLogBtn_Click();  // log everything start-up reports

    shared_.midi.InitMidiDevs();
    if (shared_.midi.NumInDevs == 0 || shared_.midi.NumOutDevs == 0) {
        const QString text = shared_.msg(MsgNoPorts);
        std::fprintf(stderr, "%s\n", qPrintable(text));
        dialogs_.MsgBox(text, MsgButtons::Ok, MsgIcon::Critical);
        return false;
    }
    // Devices that come back are opened again here, between user events.
    shared_.midiSystem().setDeviceWatcher([this] {
        QMetaObject::invokeMethod(this, [this] { shared_.midi.DevicesChanged(); }, Qt::QueuedConnection);
    });
    countJoysticks();
    if (builtInSynth_)
        synthControl_ = std::make_unique<SynthControl>(*this, *builtInSynth_);

    shared_.AppDir = QDir::currentPath() + u'/';
    processCommandLine(commandWords);

    shared_.flags.Initializing = false;
    statusLine_->clearField(1);
    statusLine_->MsgLogBtn_Click();
    menus_->MenuCycle = 0;

    if (!backendNotice.isEmpty()) {
        statusLine_->ShowStatusText(2, backendNotice);
        statusLine_->setKeep(true);
    }
    return true;
}

void AOrvell::processCommandLine(const QStringList& words)
{
    const std::vector<CollectedFile> files = collectCommandLineFiles(words);
    const bool hasSession =
        std::ranges::any_of(files, [](const CollectedFile& file) { return file.kind == FileKind::Session; });
    if (!hasSession)
        loadDefaultSession();
    if (files.empty())
        return;

    ParsingCmdLn = true;
    for (const CollectedFile& file : files) {
        shared_.flags.Initializing = true;
        if (file.kind != FileKind::Midi) {
            cmdLineFile_ = file.path;
            LoadSession_Click();
        } else if (auto* sequencer = qobject_cast<SequencerPanel*>(createPanel(PanelClass::Sequencer))) {
            // A named MIDI file plays at once.
            if (sequencer->LoadSeq(file.path))
                sequencer->PlayBtn_Click();
        }
    }
    cmdLineFile_.clear();
    ParsingCmdLn = false;
}

QString AOrvell::defaultSessionPath() const { return shared_.AppDir + QStringLiteral("Orvell.ini"); }

void AOrvell::loadDefaultSession()
{
    shared_.flags.Initializing = true;
    LoadSession_Click();
}

void AOrvell::ShowStatusText(int field, const QString& text) { statusLine_->ShowStatusText(field, text); }

void AOrvell::ShowStatusMsg(int field, int messageNumber)
{
    statusLine_->ShowStatusText(field, shared_.msg(messageNumber));
}

void AOrvell::ClearStatus() { statusLine_->ClearStatus(); }

void AOrvell::ShowHint(const QString& text)
{
    statusLine_->ShowHint(text);
    followHint(text);
}

void AOrvell::HoldStatus() { statusLine_->setKeep(true); }

void AOrvell::ShowMessage(const QString& text, const QString& title, MsgIcon icon)
{
    dialogs_.MsgBox(text, MsgButtons::Ok, icon, title);
}

void AOrvell::Exit_Click() { close(); }

QList<QMdiSubWindow*> AOrvell::panelWindows() const
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        if (qobject_cast<Panel*>(window->widget()))
            windows.append(window);
    }
    return windows;
}

QList<Panel*> AOrvell::panels() const
{
    QList<Panel*> list;
    for (QMdiSubWindow* window : panelWindows())
        list.append(static_cast<Panel*>(window->widget()));
    return list;
}

QList<Panel*> AOrvell::panelsOf(PanelClass id) const
{
    QList<Panel*> list;
    for (Panel* panel : panels()) {
        if (panel->panelClass() == id)
            list.append(panel);
    }
    return list;
}

Panel* AOrvell::activePanel() const
{
    QMdiSubWindow* window = mdiArea_->activeSubWindow();
    return window ? qobject_cast<Panel*>(window->widget()) : nullptr;
}

Panel* AOrvell::findPanel(PanelClass id, const QString& tag)
{
    for (Panel* panel : panels()) {
        if (panel->panelClass() == id && panel->Tag == tag)
            return panel;
    }
    return nullptr;
}

QString AOrvell::nextPanelTag()
{
    if (shared_.UniqFormCounter < std::numeric_limits<int>::max())
        return QString::number(++shared_.UniqFormCounter);
    // A damaged file can leave the counter at the end of its range: take the
    // lowest number no panel carries.
    QSet<QString> used;
    for (Panel* panel : panels())
        used.insert(panel->Tag);
    int tag = 1;
    while (used.contains(QString::number(tag)))
        ++tag;
    return QString::number(tag);
}

void AOrvell::countJoysticks()
{
    if (!joysticks_ || !joysticks_->available()) {
        ShowStatusMsg(0, MsgNoJoystickDriver);
        return;
    }
    joysticks_->update();
    if (joysticks_->count() == 0)
        ShowStatusMsg(0, MsgNoJoystick);
    menus_->setJoystickCount(joysticks_->count());
    // A stick plugged in later can have a panel of its own.
    joyWatch_ = new QTimer(this);
    joyWatch_->setObjectName(QStringLiteral("JoyWatch"));
    joyWatch_->setInterval(1000);
    connect(joyWatch_, &QTimer::timeout, this, [this] {
        joysticks_->update();
        menus_->setJoystickCount(joysticks_->count());
    });
    joyWatch_->start();
}

Panel* AOrvell::createPanel(PanelClass id, Placing placing)
{
    Panel* panel = makePanel(id, *this, patchClipboard_, joysticks_);
    if (!panel)
        return nullptr;
    panel->Tag = nextPanelTag();
    QMdiSubWindow* window = mdiArea_->addSubWindow(panel);
    window->setWindowIcon(panel->IDIconindx >= 0 ? QIcon(paletteIcon(panel->IDIconindx)) : windowIcon());
    // Once the window is really gone its class may have no visible panel left,
    // and the panel pointers forget it.
    connect(window, &QObject::destroyed, this, [this, id] {
        QTimer::singleShot(0, this, [this, id] {
            ErasePointers(*this);
            panelVisibilityChanged(id);
        });
    });
    if (placing == Placing::FromFile) {
        // The loader places, activates and marks the classes once at the end.
        window->move(0, 0);  // a moved window is not placed again by the MDI area
        window->show();
        return panel;
    }
    placePanel(*panel);
    window->show();
    mdiArea_->setActiveSubWindow(window);
    panelVisibilityChanged(id);
    return panel;
}

void AOrvell::placePanel(Panel& panel)
{
    QMdiSubWindow* window = panel.subWindow();
    if (!window)
        return;
    window->adjustSize();
    std::vector<QRect> occupied;
    for (QMdiSubWindow* other : mdiArea_->subWindowList()) {
        if (other != window && other->isVisible() && !isToolWindow(other))
            occupied.push_back(other->geometry());
    }
    if (auto spot = findPanelSpot(mdiArea_->viewport()->size(), window->size(), occupied))
        window->move(*spot);
}

void AOrvell::NewForm_Click()
{
    Panel* active = activePanel();
    if (!active)
        return;
    // An empty patch list is filled rather than joined by another.
    if (const auto* list = qobject_cast<PatchListPanel*>(active); list && list->isEmpty() && !Cloning) {
        LoadPatchLst_Click();
        return;
    }
    createPanel(active->panelClass());
}

void AOrvell::CloneForm_Click()
{
    Panel* active = activePanel();
    if (!active || active->panelClass() == PanelClass::Sequencer)
        return;
    Cloning = true;
    const QString fromTag = active->Tag;
    if (Panel* copy = createPanel(active->panelClass()))
        copy->Clone(fromTag);
    Cloning = false;
}

bool AOrvell::classShown(PanelClass id) const { return menus_->classChecked(id); }

void AOrvell::toolsToggle(PanelClass id)
{
    const QList<Panel*> list = panelsOf(id);
    if (classShown(id)) {
        for (Panel* panel : list) {
            if (QMdiSubWindow* window = panel->subWindow())
                window->hide();
        }
    } else if (list.isEmpty()) {
        if (createPanel(id))
            IsChanged = true;
    } else {
        for (Panel* panel : list)
            panel->showAndMark();
    }
    panelVisibilityChanged(id);
}

void AOrvell::panelVisibilityChanged(PanelClass id)
{
    bool shown = false;
    for (Panel* panel : panelsOf(id)) {
        // Not isVisible(): the backdrop may be hidden for a moment while a session loads.
        if (panel->subWindow() && !panel->subWindow()->isHidden())
            shown = true;
    }
    menus_->setClassChecked(id, shown);
    toolbar_->setClassPressed(id, shown);
    updatePanelCounter();
    emit panelsChanged();
}

void AOrvell::updatePanelCounter() { statusLine_->setPanelCounter(QString::number(panels().size())); }

void AOrvell::popupPanelMenu(QPoint globalPos) { menus_->popup(QStringLiteral("PanlMenu"), globalPos); }
void AOrvell::popupMatchIdMenu(QPoint globalPos) { menus_->popup(QStringLiteral("MatchID"), globalPos); }
void AOrvell::popupDupMenu(QPoint globalPos) { menus_->popup(QStringLiteral("DupMenu"), globalPos); }
void AOrvell::popupPatchMenu(QPoint globalPos) { menus_->popup(QStringLiteral("PatchMenu"), globalPos); }

void AOrvell::setBackColor(StoredColor color)
{
    BackColor = color;
    if (BackPictFile.isEmpty())
        mdiArea_->setBackground(toQColor(color));
}

bool AOrvell::setBackPicture(const QString& path, QString* error)
{
    if (path.isEmpty()) {
        BackPictFile.clear();
        mdiArea_->setBackground(toQColor(BackColor));
        return true;
    }
    QPixmap picture;
    if (!loadPicture(path, picture, error))
        return false;
    BackPictFile = path;
    mdiArea_->setBackground(QBrush(picture));
    return true;
}

bool AOrvell::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mdiArea_->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            IMousedDown = true;
            menus_->backdropPress(mouse->button(), mouse->position().toPoint());
        } else if (event->type() == QEvent::MouseButtonRelease && IMousedDown) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            IMousedDown = false;
            menus_->backdropRelease(mouse->button(), mouse->modifiers(), mouse->position().toPoint());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}


void AOrvell::closeEvent(QCloseEvent* event)
{
    if (queryUnload())
        event->accept();
    else
        event->ignore();
}

bool AOrvell::sessionChanged() const
{
    return IsChanged || (iconPalette_ && iconPalette_->IsChanged) ||
           std::ranges::any_of(panels(), [](const Panel* panel) { return panel->IsChanged; });
}

bool AOrvell::queryUnload()
{
    if (shared_.flags.RecorderRunning) {
        dialogs_.MsgBox(shared_.msg(MsgCantExitRecording), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    shared_.flags.ClosingDown = true;
    const QString savedSessionFile = SessionFile;
    bool close = true;
    if (sessionChanged()) {
        switch (dialogs_.MsgBox(shared_.msg(MsgSaveDefault), MsgButtons::YesNoCancel, MsgIcon::Question)) {
        case MsgAnswer::Yes:
            SessionFile.clear();
            // A default session that could not be written keeps the program
            // open, so the desktop is not lost.
            close = SaveSession_Click();
            break;
        case MsgAnswer::No:
            break;
        default:
            close = false;
            break;
        }
    }
    // The palette cannot be saved on its own: a change the user did not save
    // with the session stops the exit once.
    if (close && iconPalette_ && !iconPalette_->queryExit())
        close = false;
    if (!close) {
        shared_.flags.ClosingDown = false;
        SessionFile = savedSessionFile;
    }
    if (close) {
        // Each changed panel asks about itself; a Cancel keeps everything open.
        for (Panel* panel : panels()) {
            if (!panel->queryClose(CloseReason::Session)) {
                close = false;
                shared_.flags.ClosingDown = false;
                SessionFile = savedSessionFile;
                break;
            }
        }
        toAll_ = BigAnswer::None;
    }
    if (QToolButton* exit = toolbar_->button(QStringLiteral("ExitButton")))
        exit->setDown(false);
    return close;
}

void AOrvell::DumpMessages_Click()
{
    const QString path = MessageTable::filePath(shared_.AppDir, shared_.HelpDir);
    const QString title = QStringLiteral("Dump Messages");
    if (QFileInfo::exists(path) &&
        dialogs_.MsgBox(QDir::toNativeSeparators(path) + QStringLiteral(" already exists.\rReplace it?"),
                        MsgButtons::YesNo, MsgIcon::Question, title) != MsgAnswer::Yes)
        return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (auto error = shared_.Msgs.saveToFile(path)) {
        dialogs_.MsgBox(QStringLiteral("Error saving ") + QDir::toNativeSeparators(path) + u'\r' + error->text +
                            QStringLiteral(" (") + QString::number(error->number) + u')',
                        MsgButtons::Ok, MsgIcon::Exclamation, title);
        return;
    }
    dialogs_.MsgBox(shared_.msg(MsgSavedAs) + QDir::toNativeSeparators(path), MsgButtons::Ok, MsgIcon::Information,
                    title);
}

void AOrvell::LoadMsgFrmFile_Click()
{
    const QString path = MessageTable::readPath(shared_.AppDir, shared_.HelpDir);
    ShowStatusMsg(0, MsgMessagesFile);
    if (auto error = shared_.Msgs.loadFromFile(path)) {
        ShowStatusMsg(1, MsgFail);
        dialogs_.MsgBox(QStringLiteral("Error loading ") + QDir::toNativeSeparators(path) + u'\r' + error->text +
                            QStringLiteral(" (") + QString::number(error->number) + u')',
                        MsgButtons::Ok, MsgIcon::Exclamation, QStringLiteral("Load Messages from File"));
        return;
    }
    ShowStatusMsg(1, MsgLoaded);
}

}  // namespace orvell
