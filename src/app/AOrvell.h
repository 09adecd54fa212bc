#pragma once

#include "core/Reporter.h"
#include "core/StoredColor.h"
#include "panels/PanelHost.h"
#include "panels/SessionHost.h"
#include "patches/PatchClipboard.h"

#include <QMainWindow>
#include <QPixmap>
#include <QStringList>

#include <memory>
#include <optional>

class QMdiArea;
class QMdiSubWindow;
class QTimer;
class QToolBar;

namespace orvell {

class BuiltInSynth;
class Dialogs;
class HelpView;
class IconPalette;
class JoystickSystem;
class MainMenus;
class MainToolbar;
class PanicControl;
class Panel;
class Shared;
class StatusLine;
class SynthControl;
class SysXDlg;
class RecorderControl;
class WindowManager;

// The main window: hosts the panels, the bars and the status line, runs
// start-up and the exit sequence. Menus and toolbar (MainMenus, MainToolbar)
// and the Windows commands (WindowManager) live in classes of their own.
class AOrvell : public QMainWindow, public Reporter, public PanelHost, public SessionHost {
    Q_OBJECT

public:
    // The window's caption, and its name in session files whatever the title shows.
    static constexpr QLatin1StringView Caption{"Orvell"};

    AOrvell(Shared& shared, Dialogs& dialogs, QWidget* parent = nullptr);
    ~AOrvell() override;

    // The start-up steps after the window exists. False when the program must
    // end (no MIDI ports); the message has been shown.
    bool Load(const QStringList& commandWords, const QString& backendNotice = {});
    // The joysticks the joystick panels read, set before Load; none without it.
    void setJoystickSystem(JoystickSystem* joysticks) { joysticks_ = joysticks; }
    // The synth that plays the mapper when nothing else listens, set before
    // Load; without it the mapper only goes to the MIDI system.
    void setBuiltInSynth(BuiltInSynth* synth) { builtInSynth_ = synth; }
    SynthControl* synthControl() { return synthControl_.get(); }
    PanicControl& panic() { return *panic_; }

    // Reporter
    void ShowStatusText(int field, const QString& text) override;
    void ShowMessage(const QString& text, const QString& title, MsgIcon icon) override;
    void HoldStatus() override;

    void ShowStatusMsg(int field, int messageNumber);
    void ClearStatus();

    // PanelHost
    Shared& shared() override { return shared_; }
    // Patch entries copied from one patch panel, to be pasted into another.
    PatchClipboard& patchClipboard() { return patchClipboard_; }
    Dialogs& dialogs() override { return dialogs_; }
    void ShowHint(const QString& text) override;
    Panel* findPanel(PanelClass id, const QString& tag) override;
    void popupPanelMenu(QPoint globalPos) override;
    void popupMatchIdMenu(QPoint globalPos) override;
    void popupDupMenu(QPoint globalPos) override;
    void popupPatchMenu(QPoint globalPos) override;
    void panelVisibilityChanged(PanelClass id) override;
    bool SavePanel(Panel& panel) override;
    QPixmap paletteIcon(int index) override;
    BigAnswer toAllAnswer() const override { return toAll_; }
    void setToAllAnswer(BigAnswer answer) override { toAll_ = answer; }

    // Panels.
    // Every loaded panel, in the order they were created or loaded.
    QList<Panel*> panels() const override;
    QList<Panel*> panelsOf(PanelClass id) const override;
    // The active MDI child when it is a panel.
    Panel* activePanel() const;
    // A new panel with the next tag, placed by the quarter-step scan, shown and active.
    // A panel whose place comes from a file is left where it starts, and the
    // loader activates the last one it made.
    enum class Placing { Scan, FromFile };
    Panel* createPanel(PanelClass id, Placing placing = Placing::Scan);
    void placePanel(Panel& panel);
    void NewForm_Click();
    void CloneForm_Click();
    // The Tools menu toggle of a class: hide its panels, or show them (creating one when there is none).
    void toolsToggle(PanelClass id);
    bool classShown(PanelClass id) const;  // the Tools item is checked
    // Shows panel-count text in status field 3: all panels, visible and hidden.
    void updatePanelCounter();

    // File commands whose work arrives with sessions and panel files.
    void LoadSession_Click();
    void LoadPanel_Click();
    bool SaveSession_Click();  // saves to SessionFile, or the default session when it is ""
    void SaveAs_Click();
    void SavePanel_Click();
    void Exit_Click();
    // "Configure MIDI Ports": which ports the panels offer.
    void MPortCfg_Click();
    // Refills the port selectors of every panel from the enabled ports.
    void RefreshPortLists() override;

    // SessionHost: the main window's block and the steps of a load (MainWindowSection.cpp).
    void writeMainBlock(SectionWriter& out) override;
    std::unique_ptr<MainBlockReader> readMainBlock() override;
    void writeSingleWindows(SectionWriter& out) override;
    std::unique_ptr<WindowBlockReader> readSingleWindow(const QString& className) override;
    Panel* createPanelFromFile(PanelClass id) override;
    void beginSessionLoad() override;
    void endSessionLoad() override;
    void loadFinished(Panel* last) override;
    // The panel pointer is offered only while some panel's controls drive an open panel.
    void updatePanelPointerAvailability();
    void remoteLinksChanged() override { updatePanelPointerAvailability(); }

    // Patch lists and the patch clipboard, on the active patch panel (AOrvellPatches.cpp).
    void LoadPatchLst_Click();
    void CopyPatch();
    void CutPatch();
    void PastePtchBefore();
    void PastePtchAfter();
    void PastePatch(bool AddAfter);

    // The record button: the left button starts or stops, any other sets the tempo.
    void RecordBtn_Click() override;
    void RecordBtn_MouseDown(Qt::MouseButton button);
    RecorderControl& recorderControl();

    // Shows or hides the one "Sys Ex Messages" window, made at its first showing.
    void SysXBtn_Click();
    SysXDlg& sysExWindow();
    // The Sys Ex window shows the table again after it was replaced.
    void sysExTableReplaced();

    // The icon palette and the help viewer, made at their first use (AOrvellTools.cpp).
    IconPalette& iconPalette();
    HelpView& helpView();
    void SetIDIcon_Click();
    void hideIconPalette();
    void IconBtn_Click();
    void HelpBtn_Click();
    // The help viewer follows a hint or a menu with this message number.
    void ShowHelpTopicFor(int MsgNo);
    QList<SessionWindow*> sessionWindows() override;
    SessionWindow* sessionWindow(const QString& className) override;

    void DumpMessages_Click();
    void LoadMsgFrmFile_Click();

    StatusLine& statusLine() { return *statusLine_; }
    QMdiArea& mdiArea() { return *mdiArea_; }
    QToolBar& statusBarStrip() { return *statusBar_; }
    MainMenus& menus() { return *menus_; }
    MainToolbar& toolbar() { return *toolbar_; }
    WindowManager& windows() { return *windows_; }
    QString defaultSessionPath() const;

    // Backdrop colour and picture of the MDI area.
    void setBackColor(StoredColor color);
    StoredColor backColor() const { return BackColor; }
    bool setBackPicture(const QString& path, QString* error = nullptr);

    bool IsChanged = false;
    bool Cloning = false;
    bool IMousedDown = false;
    bool ParsingCmdLn = false;
    QString BackPictFile;
    StoredColor BackColor = SysColor::AppWorkspace;
    QString SessionFile;  // "" = the default session

signals:
    // After any change of the set of panels or of their visibility.
    void panelsChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool queryUnload();
    bool sessionChanged() const;
    void processCommandLine(const QStringList& words);
    // Reads a session file into the desktop, reporting a file that cannot be read.
    void loadSessionFile(const QString& path);
    // Adds the panel(s) of a panel file and checks the loaded panel's tag.
    void loadPanelBytes(const QString& path, const QByteArray& bytes);
    // A file's bytes, or nullopt after the failure was shown under `title`.
    std::optional<QByteArray> readLoadFile(const QString& path, const QString& title);
    void loadDefaultSession();
    // Start-up's word on the joysticks, and the watch for ones plugged in later.
    void countJoysticks();
    QList<QMdiSubWindow*> panelWindows() const;
    QMdiSubWindow* addToolWindow(QWidget* tool, const QString& buttonName);
    void showToolWindow(QWidget& tool);
    bool isToolWindow(const QMdiSubWindow* frame) const;
    void followHint(const QString& text);
    QString nextPanelTag();

    Shared& shared_;
    Dialogs& dialogs_;
    QMdiArea* mdiArea_ = nullptr;
    StatusLine* statusLine_ = nullptr;
    QToolBar* statusBar_ = nullptr;
    std::unique_ptr<MainMenus> menus_;
    std::unique_ptr<MainToolbar> toolbar_;
    std::unique_ptr<WindowManager> windows_;
    BigAnswer toAll_ = BigAnswer::None;
    QString cmdLineFile_;   // the command-line file being loaded
    QString lastFileName_;  // name part of the file last chosen to load
    PatchClipboard patchClipboard_;
    bool backdropWasShown_ = true;  // during a session load
    QTimer* autoEvent_ = nullptr;  // drives the automatic sweeps while any runs
    SysXDlg* sysXDlg_ = nullptr;
    IconPalette* iconPalette_ = nullptr;
    HelpView* helpView_ = nullptr;
    std::unique_ptr<RecorderControl> recorder_;
    JoystickSystem* joysticks_ = nullptr;
    QTimer* joyWatch_ = nullptr;  // notices joysticks plugged in or pulled out
    BuiltInSynth* builtInSynth_ = nullptr;
    std::unique_ptr<SynthControl> synthControl_;
    PanicControl* panic_ = nullptr;
};

}  // namespace orvell
