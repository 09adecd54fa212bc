#pragma once

#include "core/StoredColor.h"
#include "panels/SessionHost.h"
#include "tools/IconFileTable.h"

#include <QPixmap>
#include <QPoint>
#include <QWidget>

#include <array>

class QLabel;
class QMimeData;

namespace orvell {

class PanelHost;

// The "Icon Palette": 40 pictures that panels take as ID icons and Buttons
// panels as button faces, by dragging them out. Slots 0 to 31 can show a
// picture from a file instead of their own; the choice is kept with the
// session, as the palette cannot be saved on its own. One exists for the run;
// closing it only hides it.
class IconPalette : public QWidget, public SessionWindow {
    Q_OBJECT

public:
    static constexpr int SlotCount = IconFileTable::SlotCount;

    explicit IconPalette(PanelHost& host, QWidget* parent = nullptr);

    // A slot's own picture at the size panels show it.
    static QPixmap factoryPicture(int slot, qreal pixelRatio);
    // What a panel shows for the slot: the loaded picture or the slot's own;
    // null outside the palette.
    QPixmap picture(int slot) const;
    const IconFileTable& IconFiles() const { return files_; }
    // What dragging the slot carries: its number and its picture.
    QMimeData* dragData(int slot) const;

    // Right click (or Enter) on a slot: load a picture from a file, or offer
    // the slot's own picture back when the dialog is left without one.
    void IDImage_Click(int slot);
    // False, with the reason, when the file is no picture; the slot then keeps what it shows.
    bool loadSlot(int slot, const QString& path, QString* error = nullptr);
    // The slots' own pictures again, then the files of the table, as when the
    // window is built: a slot whose file was given up shows its own picture.
    void rebuild();

    QString StoreIcons() const { return files_.StoreIcons(); }
    void RestoreIcons(const QString& IconStore);

    // At exit, a changed palette that was not saved with the session: message
    // 228 and the exit is refused, once per change.
    bool queryExit();
    void markChanged();
    bool IsChanged = false;
    StoredColor TextBackColor = 0;  // 0 = never set

    // SessionWindow
    QString className() const override { return QStringLiteral("IconPalette"); }
    QString caption() const override { return windowTitle(); }
    QMdiSubWindow* subWindow() const override;
    StoredColor backColor() const override { return BackColor; }
    void setBackColor(StoredColor color) override;
    void SaveMe(SectionWriter& out) override;
    void LoadMe(SectionReader& in) override;

signals:
    void pictureChanged(int slot);
    // A hint was shown: the help viewer may follow it.
    void helpTopicFor(int messageNumber);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    int slotOf(const QObject* watched) const;
    void showSlot(int slot);
    void setFactory(int slot);
    void startDrag(int slot);
    void moveFocus(int slot, int step);
    int filterIndexFor(const QString& fileName) const;

    PanelHost& host_;
    std::array<QLabel*, SlotCount> IDImage{};
    std::array<QPixmap, SlotCount> loaded_;  // null for a slot showing its own picture
    IconFileTable files_;
    StoredColor BackColor = SysColor::ButtonFace;
    QString lastIconName_;
    QPoint pressAt_;
    int pressed_ = -1;
    bool exitWarned_ = false;
    bool hidden_ = false;  // shown again, the window is rebuilt
};

}  // namespace orvell
