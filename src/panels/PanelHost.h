#pragma once

#include "panels/PanelClasses.h"

#include <QList>
#include <QPixmap>
#include <QPoint>
#include <QString>

namespace orvell {

class Dialogs;
class Panel;
class Shared;

// Answers of the five-button box, also remembered as the To-All answer of an
// exit or Close All.
enum class BigAnswer { None = 0, Cancel = 2, NoToAll = 3, YesToAll = 4, Yes = 6, No = 7 };

// What a panel needs from the main window that hosts it.
class PanelHost {
public:
    virtual ~PanelHost() = default;

    virtual Shared& shared() = 0;
    virtual Dialogs& dialogs() = 0;
    virtual void ShowStatusText(int field, const QString& text) = 0;
    // A hover hint in field 2; ignored while a message is kept.
    virtual void ShowHint(const QString& text) = 0;

    // The panel of this class and tag, looked up now; null when it is gone.
    virtual Panel* findPanel(PanelClass id, const QString& tag) = 0;
    // Every loaded panel of the class, in load order.
    virtual QList<Panel*> panelsOf(PanelClass id) const = 0;

    virtual void popupPanelMenu(QPoint globalPos) = 0;
    virtual void popupMatchIdMenu(QPoint globalPos) = 0;
    virtual void popupDupMenu(QPoint globalPos) = 0;
    // The Patch Edit menu of the patch panels' lists.
    virtual void popupPatchMenu(QPoint globalPos) = 0;

    // A panel was shown or hidden: the Tools item and toolbar button follow.
    virtual void panelVisibilityChanged(PanelClass id) = 0;
    // Saves one panel to a panel file; false when it was not saved.
    virtual bool SavePanel(Panel& panel) = 0;
    // The picture of an icon palette slot.
    virtual QPixmap paletteIcon(int index) = 0;

    // The To-All answer of the exit or Close All in progress.
    virtual BigAnswer toAllAnswer() const = 0;
    virtual void setToAllAnswer(BigAnswer answer) = 0;
    // Starts or stops the event recorder, as its toolbar button does.
    virtual void RecordBtn_Click() {}
    // A panel's controls were pointed at other panels, or no longer are.
    virtual void remoteLinksChanged() {}
};

}  // namespace orvell
