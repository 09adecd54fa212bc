// The main window's file commands: sessions, the default session, panel files
// and the port configuration.

#include "app/AOrvell.h"

#include "app/MainMenus.h"
#include "app/MainToolbar.h"
#include "app/PortConfig.h"
#include "app/StatusLine.h"
#include "app/WindowManager.h"
#include "controllers/SlotPanel.h"
#include "core/FileBytes.h"
#include "panels/Dialogs.h"
#include "panels/Panel.h"
#include "panels/PanelFileRules.h"
#include "panels/SessionFile.h"
#include "panels/Shared.h"
#include "pointer/PanlPointer.h"
#include "tools/IconPalette.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>

namespace orvell {

namespace {

enum : int {
    MsgDone = 1,
    MsgFail = 3,
    MsgLoaded = 18,
    MsgSaved = 43,
    MsgDefaultNotFound = 76,
    MsgLoadSession = 107,
    MsgPanelNotLoaded = 108,
    MsgDefaultSession = 109,
    MsgSessionNotSaved = 115,
    MsgSaveSession = 116,
    MsgPanelNotSaved = 117,
    MsgTagNotUnique = 212,
    MsgPointerNeedsSession = 222,
};

// Whole files are read at once; nothing a user saves comes near this.
constexpr qint64 MaxSessionBytes = qint64(64) << 20;

const QString PanelFilter = QStringLiteral("ORV individual Panl Files (*.mpl)|*.mpl");
const QString LoadPanelTitle = QStringLiteral("Load Panel ");

bool isPanelFile(const QString& path)
{
    return QFileInfo(path).suffix().compare(QStringLiteral("mpl"), Qt::CaseInsensitive) == 0;
}

QString directoryOf(const QString& path) { return QFileInfo(path).absolutePath() + u'/'; }

// The panels a load added.
QList<Panel*> addedSince(const QList<Panel*>& before, QList<Panel*> now)
{
    now.removeIf([&](Panel* panel) { return before.contains(panel); });
    return now;
}

}  // namespace

std::optional<QByteArray> AOrvell::readLoadFile(const QString& path, const QString& title)
{
    FileError error;
    std::optional<QByteArray> bytes = readFileBytes(path, MaxSessionBytes, error);
    if (!bytes) {
        ShowStatusMsg(1, MsgFail);
        statusLine_->clearField(2);
        QString text = error.text + QStringLiteral(":\r") + QDir::toNativeSeparators(path);
        if (path.endsWith(QStringLiteral("Orvell.ini")))
            text += u'\r' + shared_.msg(MsgDefaultNotFound);
        dialogs_.MsgBox(text, MsgButtons::Ok, MsgIcon::Exclamation, title);
    }
    return bytes;
}

void AOrvell::loadSessionFile(const QString& path)
{
    shared_.flags.Initializing = true;
    const QFileInfo info(path);
    ShowStatusText(0, shared_.msg(MsgLoadSession) + info.fileName());

    const std::optional<QByteArray> bytes = readLoadFile(path, shared_.msg(MsgLoadSession));
    if (!bytes) {
        shared_.flags.Initializing = false;
        return;
    }
    if (isPanelFile(path)) {
        loadPanelBytes(path, *bytes);
        return;
    }

    if (!BackPictFile.isEmpty())
        setBackPicture({});
    if (info.suffix().compare(QStringLiteral("orv"), Qt::CaseInsensitive) == 0)
        SessionFile = path;
    const QList<Panel*> before = panels();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const QString portNote = readSession(*this, *bytes);
    QGuiApplication::restoreOverrideCursor();
    CheckAllPointers(*this);
    updatePanelPointerAvailability();

    ShowStatusMsg(1, MsgLoaded);
    statusLine_->clearField(2);
    if (!portNote.isEmpty()) {
        ShowStatusText(2, portNote);
        statusLine_->setKeep(true);
    }
    windows_->bringIntoView(addedSince(before, panels()));
    IsChanged = false;
    shared_.flags.Initializing = false;
}

void AOrvell::loadPanelBytes(const QString& path, const QByteArray& bytes)
{
    shared_.flags.Initializing = true;
    const QList<Panel*> before = panels();
    const bool ok = readPanelFile(*this, bytes);
    if (ok)
        IsChanged = true;
    else
        ShowStatusMsg(0, MsgPanelNotLoaded);

    Panel* loaded = activePanel();
    if (loaded && !before.contains(loaded)) {
        shared_.PanlDir = directoryOf(path);
        loaded->PanlFile = QFileInfo(path).fileName();
        QStringList otherTags;
        for (Panel* panel : panels()) {
            if (panel != loaded)
                otherTags << panel->Tag;
        }
        const LoadedTag checked = checkLoadedTag(loaded->Tag, shared_.UniqFormCounter, otherTags);
        shared_.UniqFormCounter = checked.counter;
        if (checked.renumbered) {
            dialogs_.MsgBox(loaded->caption() + shared_.msg(MsgTagNotUnique), MsgButtons::Ok, MsgIcon::Exclamation);
            loaded->Tag = checked.tag;
        }
    }
    CheckAllPointers(*this);
    updatePanelPointerAvailability();
    windows_->bringIntoView(addedSince(before, panels()));
    shared_.flags.Initializing = false;
    // A file that broke off keeps the "FAIL!" its reader showed.
    if (ok)
        ShowStatusMsg(1, MsgLoaded);
}

bool AOrvell::SaveSession_Click()
{
    if (SessionFile.isEmpty()) {
        SessionFile = defaultSessionPath();
        ShowStatusText(0, shared_.msg(MsgSaveSession) + shared_.msg(MsgDefaultSession));
    } else {
        ShowStatusText(0, shared_.msg(MsgSaveSession) + QFileInfo(SessionFile).fileName());
    }

    DropEmptyPointers(*this);
    FileError error;
    if (!writeFileBytes(SessionFile, writeSession(*this), error)) {
        ShowStatusMsg(1, MsgFail);
        dialogs_.MsgBox(error.text + u'\r' + shared_.msg(MsgSessionNotSaved), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    ShowStatusMsg(1, MsgSaved);
    IsChanged = false;
    for (Panel* panel : panels())
        panel->IsChanged = false;
    if (iconPalette_)
        iconPalette_->IsChanged = false;
    return true;
}

void AOrvell::SaveAs_Click()
{
    FileRequest request;
    request.title = shared_.msg(MsgSaveSession);
    request.directory = shared_.PanlDir;
    request.fileName = QFileInfo(SessionFile).fileName();
    request.filter = QStringLiteral("Orvell session Files (*.orv)|*.orv");
    request.defaultExtension = QStringLiteral("orv");
    request.confirmOverwrite = true;
    const QString path = dialogs_.SaveFile(request);
    if (path.isEmpty()) {
        ShowStatusMsg(0, MsgSessionNotSaved);
        return;
    }
    shared_.PanlDir = directoryOf(path);
    SessionFile = path;
    SaveSession_Click();
}

void AOrvell::LoadSession_Click()
{
    QString path;
    if (shared_.flags.Initializing) {
        path = ParsingCmdLn ? cmdLineFile_ : defaultSessionPath();
    } else {
        const bool panelFile = isPanelFile(lastFileName_);
        FileRequest request;
        request.title = panelFile ? LoadPanelTitle : shared_.msg(MsgLoadSession);
        request.directory = shared_.PanlDir;
        request.fileName = lastFileName_;
        request.filter = QStringLiteral("Orvell session Files (*.orv)|*.orv|") + PanelFilter +
                         QStringLiteral("|Default session file (Orvell.ini)|*.ini");
        request.filterIndex = panelFile ? 2 : 1;
        request.confirmOverwrite = false;
        path = dialogs_.OpenFile(request);
        if (path.isEmpty())
            return;
        shared_.PanlDir = directoryOf(path);
        lastFileName_ = QFileInfo(path).fileName();
    }
    loadSessionFile(path);
}

void AOrvell::LoadPanel_Click()
{
    FileRequest request;
    request.title = LoadPanelTitle;
    request.directory = shared_.PanlDir;
    request.filter = PanelFilter;
    request.filterIndex = 1;
    request.confirmOverwrite = false;
    const QString path = dialogs_.OpenFile(request);
    if (path.isEmpty())
        return;
    ShowStatusText(0, LoadPanelTitle + QFileInfo(path).fileName());
    if (const std::optional<QByteArray> bytes = readLoadFile(path, LoadPanelTitle))
        loadPanelBytes(path, *bytes);
}

void AOrvell::SavePanel_Click()
{
    if (Panel* panel = activePanel())
        SavePanel(*panel);
}

bool AOrvell::SavePanel(Panel& panel)
{
    if (panel.panelClass() == PanelClass::PanlPointer) {
        dialogs_.MsgBox(shared_.msg(MsgPointerNeedsSession), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    ShowStatusText(0, QStringLiteral("Save ") + panel.className());
    panel.highlightLabels(true);
    FileRequest request;
    request.title = QStringLiteral("Save Panel");
    request.directory = shared_.PanlDir;
    request.fileName = panel.PanlFile.isEmpty() ? defaultPanelFileName(panel.caption()) : panel.PanlFile;
    request.filter = PanelFilter;
    request.defaultExtension = QStringLiteral("mpl");
    request.confirmOverwrite = true;
    const QString path = dialogs_.SaveFile(request);
    panel.highlightLabels(false);
    if (path.isEmpty()) {
        ShowStatusMsg(0, MsgPanelNotSaved);
        return false;
    }
    shared_.PanlDir = directoryOf(path);
    panel.PanlFile = QFileInfo(path).fileName();

    FileError error;
    if (!writeFileBytes(path, writePanelFile(panel), error)) {
        ShowStatusMsg(1, MsgFail);
        dialogs_.MsgBox(error.text + u'\r' + panel.caption() + u' ' + shared_.msg(MsgPanelNotSaved), MsgButtons::Ok,
                        MsgIcon::Exclamation);
        return false;
    }
    ShowStatusMsg(1, MsgDone);
    panel.IsChanged = false;
    return true;
}

void AOrvell::updatePanelPointerAvailability()
{
    const auto open = [this](std::initializer_list<PanelClass> classes) {
        return std::ranges::any_of(classes, [this](PanelClass id) { return !panelsOf(id).isEmpty(); });
    };
    const bool patches = open({PanelClass::PatchList, PanelClass::PatchGroup});
    const bool buttons = open({PanelClass::Buttons});
    const bool sequencer = open({PanelClass::Sequencer});
    // An open pointer stays reachable from its menu item.
    bool available = open({PanelClass::PanlPointer});
    for (Panel* panel : panels()) {
        const auto* slotPanel = qobject_cast<const SlotPanel*>(panel);
        if (!slotPanel)
            continue;
        // Faders only ever step through patches.
        const bool fader = panel->panelClass() == PanelClass::HFaders || panel->panelClass() == PanelClass::VFaders;
        if ((patches && slotPanel->IsPatchController()) || (!fader && buttons && slotPanel->IsButtonsController()) ||
            (!fader && sequencer && slotPanel->IsSequenceController()))
            available = true;
    }
    menus_->action(QStringLiteral("PatchPanlPtr"))->setEnabled(available);
    toolbar_->setAvailable(QStringLiteral("PnlPtrBtn"), available);
}

void AOrvell::RefreshPortLists()
{
    for (Panel* panel : panels())
        panel->RefreshPortLists();
}

void AOrvell::MPortCfg_Click()
{
    PortConfig dialog(*this);
    if (dialog.exec() == QDialog::Accepted && dialog.changed())
        IsChanged = true;
}

}  // namespace orvell
