#include "tools/IconPalette.h"

#include "core/SectionFile.h"
#include "core/Twips.h"
#include "panels/ColorConvert.h"
#include "panels/Dialogs.h"
#include "panels/Panel.h"
#include "panels/PanelHost.h"
#include "panels/PictureFiles.h"
#include "panels/Shared.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDrag>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QMouseEvent>

namespace orvell {

namespace {

enum : int {
    MsgDragDropHint = 92,
    MsgPaletteHint = 133,
    MsgRestoreIcon = 134,
    MsgCouldNotLoad = 168,
    MsgLoadImage = 181,
    MsgRestoredLater = 205,
    MsgSaveWithSession = 228,
};

constexpr int Columns = 4;
constexpr int ColumnTwips = 480;
constexpr int RowTwips = 420;
constexpr int SlotTwips = 372;
// What panels show: the size of their ID icons and button faces.
constexpr int PanelPicturePixels = 24;

const QString IconFilter = QStringLiteral(
    "Bitmap files (*.bmp)|*bmp|Icon files (*.ico)|*ico|Cursor files (*.cur)|*cur"
    "|Pictures (*.png;*.svg)|*.png;*.svg");

QPixmap stretched(const QPixmap& picture, int pixels, qreal ratio)
{
    const int side = qRound(pixels * ratio);
    QPixmap result = picture.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    result.setDevicePixelRatio(ratio);
    return result;
}

}  // namespace

IconPalette::IconPalette(PanelHost& host, QWidget* parent) : QWidget(parent), host_(host)
{
    setObjectName(QStringLiteral("IconPalette"));
    setWindowTitle(QStringLiteral("Icon Palette"));
    setAutoFillBackground(true);
    const int slotPixels = twipsToPixels(SlotTwips);
    for (int slot = 0; slot < SlotCount; ++slot) {
        auto* image = new QLabel(this);
        image->setObjectName(QStringLiteral("IDImage%1").arg(slot));
        image->setGeometry(twipsToPixels((slot % Columns) * ColumnTwips), twipsToPixels((slot / Columns) * RowTwips),
                           slotPixels, slotPixels);
        image->setScaledContents(true);
        image->setFocusPolicy(Qt::StrongFocus);
        image->setAccessibleName(QString::number(slot));
        image->installEventFilter(this);
        IDImage[slot] = image;
        setFactory(slot);
    }
    setFixedSize(twipsToPixels((Columns - 1) * ColumnTwips + SlotTwips),
                 twipsToPixels((SlotCount / Columns - 1) * RowTwips + SlotTwips));
    setBackColor(BackColor);
}

QPixmap IconPalette::factoryPicture(int slot, qreal pixelRatio)
{
    if (slot < 0 || slot >= SlotCount)
        return {};
    // Drawing the picture costs more than making a panel; each is drawn once.
    static std::array<QPixmap, SlotCount> drawn;
    QPixmap& cached = drawn[slot];
    if (cached.isNull() || cached.devicePixelRatio() != pixelRatio) {
        const QString path = QStringLiteral(":/palette/slot%1.svg").arg(slot, 2, 10, QChar(u'0'));
        cached = QIcon(path).pixmap(QSize(PanelPicturePixels, PanelPicturePixels), pixelRatio);
    }
    return cached;
}

QPixmap IconPalette::picture(int slot) const
{
    if (slot < 0 || slot >= SlotCount)
        return {};
    if (loaded_[slot].isNull())
        return factoryPicture(slot, devicePixelRatioF());
    return stretched(loaded_[slot], PanelPicturePixels, devicePixelRatioF());
}

QMdiSubWindow* IconPalette::subWindow() const { return qobject_cast<QMdiSubWindow*>(parentWidget()); }

void IconPalette::setBackColor(StoredColor color)
{
    BackColor = color;
    QPalette colours = palette();
    colours.setColor(QPalette::Window, toQColor(color));
    setPalette(colours);
}

void IconPalette::markChanged()
{
    if (host_.shared().flags.Initializing)
        return;
    IsChanged = true;
    exitWarned_ = false;
}

void IconPalette::setFactory(int slot)
{
    loaded_[slot] = QPixmap();
    showSlot(slot);
}

void IconPalette::showSlot(int slot)
{
    const int pixels = twipsToPixels(SlotTwips);
    const qreal ratio = devicePixelRatioF();
    if (loaded_[slot].isNull()) {
        const QString path = QStringLiteral(":/palette/slot%1.svg").arg(slot, 2, 10, QChar(u'0'));
        IDImage[slot]->setPixmap(QIcon(path).pixmap(QSize(pixels, pixels), ratio));
    } else {
        IDImage[slot]->setPixmap(stretched(loaded_[slot], pixels, ratio));
    }
}

bool IconPalette::loadSlot(int slot, const QString& path, QString* error)
{
    if (!IconFileTable::replaceable(slot))
        return false;
    QPixmap picture;
    if (!loadPicture(path, picture, error))
        return false;
    loaded_[slot] = picture;
    files_.set(slot, path);
    showSlot(slot);
    emit pictureChanged(slot);
    return true;
}

void IconPalette::rebuild()
{
    const QString store = StoreIcons();
    for (int slot = 0; slot < SlotCount; ++slot) {
        const bool wasLoaded = !loaded_[slot].isNull();
        files_.clear(slot);
        setFactory(slot);
        if (wasLoaded)
            emit pictureChanged(slot);
    }
    RestoreIcons(store);
}

void IconPalette::RestoreIcons(const QString& IconStore)
{
    for (const auto& [slot, path] : IconFileTable::unpack(IconStore))
        loadSlot(slot, path);
}

int IconPalette::filterIndexFor(const QString& fileName) const
{
    const QString extension = QFileInfo(fileName).suffix().toLower();
    if (extension == u"ico")
        return 2;
    if (extension == u"cur")
        return 3;
    if (extension == u"png" || extension == u"svg")
        return 4;
    return 1;
}

void IconPalette::IDImage_Click(int slot)
{
    if (!IconFileTable::replaceable(slot))
        return;
    Shared& shared = host_.shared();
    Dialogs& dialogs = host_.dialogs();
    FileRequest request;
    request.title = shared.msg(MsgLoadImage);
    request.directory = shared.IconDir;
    request.fileName = lastIconName_;
    request.filter = IconFilter;
    request.filterIndex = filterIndexFor(lastIconName_);
    const QString path = dialogs.OpenFile(request);
    if (path.isEmpty()) {
        if (files_.file(slot).isEmpty())
            return;
        if (dialogs.MsgBox(shared.msg(MsgRestoreIcon), MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes)
            return;
        files_.clear(slot);
        markChanged();
        dialogs.MsgBox(shared.msg(MsgRestoredLater), MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    const QFileInfo info(path);
    shared.IconDir = info.absolutePath() + u'/';
    lastIconName_ = info.fileName();
    if (!loadSlot(slot, path)) {
        dialogs.MsgBox(shared.msg(MsgCouldNotLoad) + path, MsgButtons::Ok, MsgIcon::Exclamation,
                       shared.msg(MsgLoadImage));
        return;
    }
    markChanged();
}

bool IconPalette::queryExit()
{
    if (!IsChanged || exitWarned_)
        return true;
    // Told once; a second exit leaves the change behind as the user chose.
    exitWarned_ = true;
    host_.dialogs().MsgBox(host_.shared().msg(MsgSaveWithSession), MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
}

void IconPalette::SaveMe(SectionWriter& out)
{
    out.data(className());
    if (TextBackColor == 0)
        TextBackColor = SysColor::ButtonFace;
    out.keyColor(QStringLiteral("TextBackColor"), TextBackColor);
    for (int slot = 0; slot < IconFileTable::Replaceable; ++slot) {
        const QString path = files_.file(slot);
        if (!path.isEmpty())
            out.key(QStringLiteral("Iconfile"), QString::number(slot) + QStringLiteral(", ") + path);
    }
}

void IconPalette::LoadMe(SectionReader& in)
{
    Shared& shared = host_.shared();
    while (in.peek() && in.peek()->kind != SectionLine::Kind::Header) {
        const SectionLine line = *in.next();
        if (line.kind != SectionLine::Kind::Key)
            continue;
        if (line.key == u"TextBackColor") {
            if (const auto colour = parseSectionColor(line.value))
                TextBackColor = *colour;
        } else if (line.key == u"Iconfile") {
            const auto entry = IconFileTable::parseEntry(line.value);
            if (entry && !loadSlot(entry->first, entry->second))
                host_.ShowStatusText(1, shared.msg(MsgCouldNotLoad) + entry->second);
        }
    }
    IsChanged = false;
}

int IconPalette::slotOf(const QObject* watched) const
{
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (IDImage[slot] == watched)
            return slot;
    }
    return -1;
}

QMimeData* IconPalette::dragData(int slot) const
{
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(PaletteIndexMime), QByteArray::number(slot));
    data->setImageData(picture(slot).toImage());
    return data;
}

void IconPalette::startDrag(int slot)
{
    auto* drag = new QDrag(IDImage[slot]);
    drag->setMimeData(dragData(slot));
    drag->setPixmap(picture(slot));
    drag->exec(Qt::CopyAction);
}

void IconPalette::moveFocus(int slot, int step)
{
    const int next = slot + step;
    if (next >= 0 && next < SlotCount)
        IDImage[next]->setFocus(Qt::TabFocusReason);
}

bool IconPalette::eventFilter(QObject* watched, QEvent* event)
{
    const int slot = slotOf(watched);
    if (slot < 0)
        return QWidget::eventFilter(watched, event);
    QLabel* image = IDImage[slot];
    switch (event->type()) {
    case QEvent::Enter:
        host_.ShowHint(QString::number(slot) + QStringLiteral(": ") + host_.shared().msg(MsgDragDropHint));
        emit helpTopicFor(MsgDragDropHint);
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        image->setFrameStyle(QFrame::Box | QFrame::Plain);
        pressed_ = slot;
        pressAt_ = mouse->position().toPoint();
        return true;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (pressed_ == slot && (mouse->buttons() & Qt::LeftButton) &&
            (mouse->position().toPoint() - pressAt_).manhattanLength() >= QApplication::startDragDistance()) {
            pressed_ = -1;
            image->setFrameStyle(QFrame::NoFrame);
            startDrag(slot);
        }
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        image->setFrameStyle(QFrame::NoFrame);
        const bool clicked = pressed_ == slot && image->rect().contains(mouse->position().toPoint());
        pressed_ = -1;
        if (clicked && mouse->button() == Qt::RightButton)
            IDImage_Click(slot);
        return true;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            IDImage_Click(slot);
            return true;
        }
        const int step = key == Qt::Key_Left ? -1 : key == Qt::Key_Right ? 1 : key == Qt::Key_Up ? -Columns
                                                                             : key == Qt::Key_Down ? Columns : 0;
        if (step != 0) {
            moveFocus(slot, step);
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
        image->setFrameStyle(QFrame::Box | QFrame::Plain);
        break;
    case QEvent::FocusOut:
        image->setFrameStyle(QFrame::NoFrame);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void IconPalette::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    host_.ShowHint(host_.shared().msg(MsgPaletteHint));
    emit helpTopicFor(MsgPaletteHint);
}

void IconPalette::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (hidden_)
        rebuild();
    hidden_ = false;
}

void IconPalette::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    hidden_ = true;
}

void IconPalette::closeEvent(QCloseEvent* event)
{
    // The window lives for the run; its close box hides it.
    event->ignore();
    if (QMdiSubWindow* frame = subWindow())
        frame->hide();
    else
        hide();
}

}  // namespace orvell
