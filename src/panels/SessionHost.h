#pragma once

#include "core/StoredColor.h"
#include "panels/PanelClasses.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

class QMdiSubWindow;

namespace orvell {

class Dialogs;
class Panel;
class SectionReader;
class SectionWriter;
class Shared;
struct SectionLine;

// The block of one single window while a session is read.
class WindowBlockReader {
public:
    virtual ~WindowBlockReader() = default;
    virtual void headerKey(const SectionLine& line) = 0;
    // The header block ended; the saved window state is applied last.
    virtual void headerDone() = 0;
    // The data section, up to the next header.
    virtual void data(SectionReader& in) = 0;
    // The whole file has been read.
    virtual void done() = 0;
};

// The main window's own block.
class MainBlockReader : public WindowBlockReader {
public:
    // The file's UniqFormCounter, when it gave a usable one.
    virtual std::optional<int> fileCounter() const = 0;
};

// A single window kept with the session (help viewer, icon palette): a
// header block and a data section like a panel's, but never created by a file.
class SessionWindow {
public:
    virtual ~SessionWindow() = default;
    virtual QString className() const = 0;
    virtual QString caption() const = 0;
    virtual QMdiSubWindow* subWindow() const = 0;
    // Whether Height= and Width= are written and read.
    virtual bool keepsSize() const { return false; }
    virtual StoredColor backColor() const = 0;
    virtual void setBackColor(StoredColor color) = 0;
    // "[<class> Data]" and the window's keys.
    virtual void SaveMe(SectionWriter& out) = 0;
    // Reads keys up to the next header and leaves it unread.
    virtual void LoadMe(SectionReader& in) = 0;
};

// What session and panel files need of the desktop they are read into.
class SessionHost {
public:
    virtual ~SessionHost() = default;

    virtual Shared& shared() = 0;
    virtual Dialogs& dialogs() = 0;
    virtual void ShowStatusText(int field, const QString& text) = 0;

    // Every loaded panel, in creation order.
    virtual QList<Panel*> panels() const = 0;
    // A new panel with the next tag, left for the file to place.
    virtual Panel* createPanelFromFile(PanelClass id) = 0;
    // The port configuration changed: every selector offers the new ports.
    virtual void RefreshPortLists() = 0;

    virtual void writeMainBlock(SectionWriter& out) = 0;
    // The single windows written after the main window, in this order.
    virtual QList<SessionWindow*> sessionWindows() { return {}; }
    // The single window of this class a file's block goes to, made when it
    // does not exist yet; null for one the desktop does not have.
    virtual SessionWindow* sessionWindow(const QString& className)
    {
        (void)className;
        return nullptr;
    }
    virtual std::unique_ptr<MainBlockReader> readMainBlock() = 0;
    // The other single windows' blocks, after the main window's; a desktop
    // without such a window skips its block.
    virtual void writeSingleWindows(SectionWriter& out) { (void)out; }
    virtual std::unique_ptr<WindowBlockReader> readSingleWindow(const QString& className)
    {
        (void)className;
        return nullptr;
    }

    // Around a whole session: the file places the windows, not the area.
    virtual void beginSessionLoad() = 0;
    virtual void endSessionLoad() = 0;
    // After any load: the last panel read becomes active and the Tools menu
    // follows the panels shown.
    virtual void loadFinished(Panel* last) = 0;
};

}  // namespace orvell
