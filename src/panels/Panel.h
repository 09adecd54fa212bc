#pragma once

#include "core/StoredColor.h"
#include "panels/PanelClasses.h"

#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QMimeData;
class QMdiSubWindow;
class QToolButton;

namespace orvell {

class PanelHost;
class SectionReader;
class SectionWriter;

// A palette picture being dragged carries its slot number as decimal text
// under this type; the icon palette starts such drags, ID icons and buttons take them.
inline constexpr char PaletteIndexMime[] = "application/x-orvell-palette-index";
// The slot a drag carries; nullopt for anything else.
std::optional<int> paletteIndexOf(const QMimeData* data);

// Panels with four controller slots (faders, buttons, joystick) expose their
// slot selectors, so the Duplicate commands can copy one slot's channel, port
// or controller type to the others.
class SlotSelectors {
public:
    virtual ~SlotSelectors() = default;
    int CIndx = 0;     // current slot
    int DupIndx = -1;  // slot being duplicated, -1 when idle
    virtual QComboBox* Channel() = 0;
    virtual QComboBox* Port() = 0;
    virtual QComboBox* Control() = 0;
    virtual void Channel_Click() = 0;
    virtual void Port_Click() = 0;
    virtual void Control_Click() = 0;
    virtual int channelOfSlot(int slot) const = 0;  // 1-16
    virtual int portOfSlot(int slot) const = 0;     // the caption of the slot's port label
    virtual int CurCtrl(int slot) const = 0;        // controller code
    virtual void OptDsply() {}
};

// Why a panel is asked to close: its own close box asks Yes/No/Cancel; the
// exit and Close All ask with the five-button box and remember To-All answers.
enum class CloseReason { OwnCloseBox, Session };

// What every panel shares: tag, name, colours, picture, ID icon, hide button,
// the change flag and the common keys of its data section. Each panel class
// derives from it and adds its controls.
class Panel : public QWidget {
    Q_OBJECT

public:
    Panel(PanelClass id, PanelHost& host, QWidget* parent = nullptr);
    ~Panel() override;

    PanelClass panelClass() const { return class_; }
    QString className() const { return QString::fromLatin1(panelClassInfo(class_).name); }
    const PanelClassInfo& classInfo() const { return panelClassInfo(class_); }

    QString caption() const;
    void setCaption(const QString& caption);
    // The MDI window holding the panel; null until the host adds it.
    QMdiSubWindow* subWindow() const;

    QString Tag;
    int IDIconindx = -1;
    QString BackPictFile;
    bool IsOpaque = false;
    StoredColor TextBackColor = 0;  // 0 = never set
    StoredColor BackColor = SysColor::ButtonFace;
    bool IsChanged = false;
    QString PanlFile;  // name of the panel file last saved to or loaded from

    // Marks the panel changed unless a file is being loaded.
    void markChanged();

    // Panel Menu commands.
    void RenameMe_Click();
    void SetPanlColor_Click();
    void DefPanlColor_Click();
    void SetPanlPict_Click();
    void ClearPanlPict_Click();
    void OpaquePnlOn_Click();
    void PnlTextColor_Click();
    void DefPnlTextBack_Click();
    virtual bool canCustomizeControllers() const;
    virtual void SetUpCtrlEdit() {}
    // Null for panels without controller slots.
    virtual SlotSelectors* slotSelectors() { return nullptr; }
    // Rebuilds the panel's output port selectors after the enabled ports changed.
    virtual void RefreshPortLists() {}
    // How many of this panel's remote controls act on the panel of that class
    // and tag; such a panel may not close.
    virtual int controlsTargeting(PanelClass targetClass, const QString& targetTag) const
    {
        (void)targetClass;
        (void)targetTag;
        return 0;
    }

    void HideButton_Click();
    // Shows the panel, restores it when minimised, and marks its class shown.
    void showAndMark();

    void setIDIcon(int index);
    // The picture of a palette slot changed: whatever shows it is redrawn.
    virtual void paletteChanged(int slot);
    // Right click on the ID icon: offer the class default back.
    void IDIcon_RightClick();

    // Loads a background picture; false (and nothing changed) when it cannot be read.
    bool loadBackPicture(const QString& path, QString* error = nullptr);
    void applyBackColor();
    void applyOpaque();
    void applyTextBackColor();

    // Copies the settings of the panel with tag `fromTag` into this one.
    virtual void Clone(const QString& fromTag);

    // The data section: "[<class> Data]", the common keys, then the class's own.
    virtual void SaveMe(SectionWriter& out);
    // Reads keys up to the next header and leaves it unread. Common keys are
    // handled here, others by loadKey. Returns the lines that were not
    // understood, for the caller to report.
    QStringList LoadMe(SectionReader& in);

    // The panel's own question before it closes; false keeps it open.
    bool queryClose(CloseReason reason);
    // Closing the panel with its own close box is refused while other panels'
    // remote controls act on it: message 171, the count, then the message
    // naming the kind of control. True when refused.
    bool refusedWhileTargeted(CloseReason reason, int kindMessage);
    // How many remote controls of the open panels act on this one.
    int targetingControls() const;
    // Questions of the panel's class, asked ahead of the common one; false keeps it open.
    virtual bool queryOwnClose(CloseReason reason)
    {
        (void)reason;
        return true;
    }
    // Closes the panel as part of an exit or Close All: asks with the
    // five-button box, honouring a To-All answer. False when it stays open.
    bool closeForSession();

protected:
    // Called before the keys of a data section are read, and after the last one.
    virtual void beginLoad() {}
    virtual void endLoad() {}
    // A class-specific key of the data section; false when it is unknown.
    virtual bool loadKey(const QString& key, const QString& value);
    virtual void saveOwnKeys(SectionWriter& out);
    // The text labels switched by opaque text and the text back colour.
    virtual QList<QWidget*> textControls() const;

    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    PanelHost& host_;

public:
    // Shows the labels highlighted while a question or a dialog is about this panel.
    void highlightLabels(bool on);

private:

    PanelClass class_;
    bool closeApproved_ = false;
    QLabel* caption_ = nullptr;
    QLabel* idIcon_ = nullptr;
    QToolButton* hideButton_ = nullptr;
    QPixmap backPicture_;
    QList<QPalette> savedPalettes_;
};

}  // namespace orvell
