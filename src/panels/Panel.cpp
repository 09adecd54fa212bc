#include "panels/Panel.h"

#include "core/SectionFile.h"
#include "core/Twips.h"
#include "panels/ColorConvert.h"
#include "panels/CompactFont.h"
#include "panels/Dialogs.h"
#include "panels/PanelHost.h"
#include "panels/PictureFiles.h"
#include "panels/Shared.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

namespace orvell {

namespace {

enum : int {
    MsgHideHint = 21,
    MsgIdIconHint = 80,
    MsgChangedSuffix = 85,
    MsgLoadPanel = 120,
    MsgRestoreIcon = 134,
    MsgRightClickMenus = 140,
    MsgPanelQuote = 167,
    MsgCantClose = 171,
    MsgLoadImage = 181,
};

constexpr int IconPixels = 24;

}  // namespace

Panel::Panel(PanelClass id, PanelHost& host, QWidget* parent) : QWidget(parent), host_(host), class_(id)
{
    const PanelClassInfo& info = classInfo();
    setObjectName(QString::fromLatin1(info.name));
    setWindowTitle(QString::fromLatin1(info.caption));
    setFixedSize(twipsToPixels(info.widthTwips), twipsToPixels(info.heightTwips));
    setMouseTracking(true);
    setAutoFillBackground(true);
    setFont(compactFont(font()));

    idIcon_ = new QLabel(this);
    idIcon_->setObjectName(QStringLiteral("IDIcon"));
    idIcon_->setGeometry(2, 2, IconPixels + 4, IconPixels + 4);
    idIcon_->setAlignment(Qt::AlignCenter);
    idIcon_->installEventFilter(this);
    idIcon_->setAcceptDrops(true);
    setIDIcon(info.defaultIcon);

    hideButton_ = new QToolButton(this);
    hideButton_->setObjectName(QStringLiteral("HideButton"));
    hideButton_->setIcon(QIcon(QStringLiteral(":/toolbar/HideButton.svg")));
    hideButton_->setAutoRaise(true);
    hideButton_->setGeometry(width() - IconPixels - 4, 2, IconPixels + 2, IconPixels + 2);
    hideButton_->installEventFilter(this);
    connect(hideButton_, &QToolButton::clicked, this, &Panel::HideButton_Click);

    // Until the class's own controls exist, the panel shows what it is.
    caption_ = new QLabel(QString::fromLatin1(info.caption), this);
    caption_->setObjectName(QStringLiteral("DesignCaption"));
    caption_->setAlignment(Qt::AlignCenter);
    caption_->setGeometry(IconPixels + 8, 2, width() - 2 * IconPixels - 16, IconPixels + 4);
    caption_->setAttribute(Qt::WA_TransparentForMouseEvents);

    applyBackColor();
}

Panel::~Panel() = default;

QString Panel::caption() const { return windowTitle(); }

void Panel::setCaption(const QString& caption) { setWindowTitle(caption); }

QMdiSubWindow* Panel::subWindow() const { return qobject_cast<QMdiSubWindow*>(parentWidget()); }

void Panel::markChanged()
{
    if (!host_.shared().flags.Initializing)
        IsChanged = true;
}

void Panel::RenameMe_Click()
{
    const auto answer =
        host_.dialogs().InputBox(QStringLiteral("Enter a new name for ") + caption(), QString(), caption());
    if (!answer || answer->isEmpty())
        return;
    setCaption(*answer);
    markChanged();
}

void Panel::SetPanlColor_Click()
{
    const auto color = host_.dialogs().ChooseColor(toQColor(BackColor));
    if (!color)
        return;
    BackColor = fromQColor(*color);
    applyBackColor();
    markChanged();
}

void Panel::DefPanlColor_Click()
{
    BackColor = SysColor::ButtonFace;
    applyBackColor();
    markChanged();
}

void Panel::applyBackColor()
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, toQColor(BackColor));
    setPalette(palette);
    applyTextBackColor();
}

void Panel::SetPanlPict_Click()
{
    Shared& shared = host_.shared();
    const QString path = askPicturePath(shared, host_.dialogs());
    if (path.isEmpty())
        return;
    QString error;
    if (!loadBackPicture(path, &error)) {
        showPictureError(shared, host_.dialogs(), path, error, shared.msg(MsgLoadImage));
        return;
    }
    BackPictFile = path;
    markChanged();
}

bool Panel::loadBackPicture(const QString& path, QString* error)
{
    if (!loadPicture(path, backPicture_, error))
        return false;
    update();
    return true;
}

void Panel::ClearPanlPict_Click()
{
    BackPictFile.clear();
    backPicture_ = QPixmap();
    update();
    markChanged();
}

QList<QWidget*> Panel::textControls() const
{
    QList<QWidget*> controls;
    for (QLabel* label : findChildren<QLabel*>()) {
        if (label != idIcon_)
            controls.append(label);
    }
    return controls;
}

void Panel::OpaquePnlOn_Click()
{
    IsOpaque = !IsOpaque;
    applyOpaque();
    markChanged();
}

void Panel::applyOpaque()
{
    for (QWidget* control : textControls())
        control->setAutoFillBackground(IsOpaque);
    applyTextBackColor();
}

void Panel::PnlTextColor_Click()
{
    const StoredColor current = TextBackColor == 0 ? SysColor::ButtonFace : TextBackColor;
    const auto color = host_.dialogs().ChooseColor(toQColor(current));
    if (!color)
        return;
    TextBackColor = fromQColor(*color);
    applyTextBackColor();
    markChanged();
}

void Panel::DefPnlTextBack_Click()
{
    TextBackColor = SysColor::ButtonFace;
    applyTextBackColor();
    markChanged();
}

void Panel::applyTextBackColor()
{
    const QColor color = toQColor(TextBackColor == 0 ? SysColor::ButtonFace : TextBackColor);
    for (QWidget* control : textControls()) {
        QPalette palette = control->palette();
        palette.setColor(QPalette::Window, color);
        palette.setColor(QPalette::Base, color);
        control->setPalette(palette);
    }
}

bool Panel::canCustomizeControllers() const
{
    return class_ == PanelClass::Buttons || class_ == PanelClass::JstkCtrl || class_ == PanelClass::HFaders ||
           class_ == PanelClass::VFaders;
}

void Panel::HideButton_Click()
{
    if (QMdiSubWindow* window = subWindow())
        window->hide();
    else
        hide();
    host_.panelVisibilityChanged(class_);
}

void Panel::showAndMark()
{
    QMdiSubWindow* window = subWindow();
    QWidget* shown = window ? static_cast<QWidget*>(window) : this;
    if (shown->isMinimized())
        shown->showNormal();
    else
        shown->show();
    host_.panelVisibilityChanged(class_);
}

void Panel::setIDIcon(int index)
{
    // An index the palette has no picture for (a damaged file) would leave
    // the icon invisible, and its menu out of reach.
    QPixmap picture = host_.paletteIcon(index);
    if (picture.isNull()) {
        index = classInfo().defaultIcon;
        picture = host_.paletteIcon(index);
    }
    IDIconindx = index;
    idIcon_->setPixmap(picture);
    idIcon_->setVisible(!picture.isNull());
}

void Panel::paletteChanged(int slot)
{
    if (slot == IDIconindx)
        setIDIcon(slot);
}

std::optional<int> paletteIndexOf(const QMimeData* data)
{
    const QString type = QString::fromLatin1(PaletteIndexMime);
    if (!data || !data->hasFormat(type))
        return std::nullopt;
    bool ok = false;
    const int index = QString::fromLatin1(data->data(type)).trimmed().toInt(&ok);
    if (!ok || index < 0)
        return std::nullopt;
    return index;
}

void Panel::IDIcon_RightClick()
{
    const int standard = classInfo().defaultIcon;
    if (IDIconindx == standard)
        return;
    const QString question = caption() + QStringLiteral(": ") + host_.shared().msg(MsgRestoreIcon);
    if (host_.dialogs().MsgBox(question, MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes)
        return;
    setIDIcon(standard);
    markChanged();
}

void Panel::Clone(const QString& fromTag)
{
    Panel* source = host_.findPanel(class_, fromTag);
    if (!source || source == this)
        return;
    BackColor = source->BackColor;
    applyBackColor();
    if (!source->BackPictFile.isEmpty() && loadBackPicture(source->BackPictFile))
        BackPictFile = source->BackPictFile;
    setIDIcon(source->IDIconindx);
    IsOpaque = source->IsOpaque;
    TextBackColor = source->TextBackColor;
    applyOpaque();
    markChanged();
}

void Panel::SaveMe(SectionWriter& out)
{
    out.data(className());
    out.key(QStringLiteral("BackPictFile"), BackPictFile);
    out.keyInt(QStringLiteral("IDIcon"), IDIconindx);
    out.keyBool(QStringLiteral("IsOpaque"), IsOpaque);
    if (TextBackColor == 0)
        TextBackColor = SysColor::ButtonFace;
    out.keyColor(QStringLiteral("TextBackColor"), TextBackColor);
    saveOwnKeys(out);
}

void Panel::saveOwnKeys(SectionWriter&) {}

bool Panel::loadKey(const QString&, const QString&) { return false; }

QStringList Panel::LoadMe(SectionReader& in)
{
    QStringList problems;
    beginLoad();
    while (in.peek() && in.peek()->kind != SectionLine::Kind::Header) {
        const SectionLine line = *in.next();
        if (line.kind == SectionLine::Kind::Error) {
            problems << line.text;
            continue;
        }
        bool understood = true;
        if (line.key == u"BackPictFile") {
            BackPictFile.clear();
            backPicture_ = QPixmap();
            QString error;
            if (!line.value.isEmpty()) {
                if (loadBackPicture(line.value, &error))
                    BackPictFile = line.value;
                else
                    showPictureError(host_.shared(), host_.dialogs(), line.value, error, host_.shared().msg(MsgLoadPanel));
            }
        } else if (line.key == u"IDIcon") {
            const auto index = parseSectionInt(line.value);
            understood = index.has_value();
            if (index)
                setIDIcon(*index);
        } else if (line.key == u"IsOpaque") {
            const auto opaque = parseSectionBool(line.value);
            understood = opaque.has_value();
            if (opaque) {
                IsOpaque = *opaque;
                applyOpaque();
            }
        } else if (line.key == u"TextBackColor") {
            const auto color = parseSectionColor(line.value);
            understood = color.has_value();
            if (color) {
                TextBackColor = *color;
                applyTextBackColor();
            }
        } else {
            understood = loadKey(line.key, line.value);
        }
        if (!understood)
            problems << line.text;
    }
    endLoad();
    return problems;
}

void Panel::highlightLabels(bool on)
{
    if (on) {
        savedPalettes_.clear();
        for (QWidget* control : textControls()) {
            savedPalettes_.append(control->palette());
            QPalette palette = control->palette();
            palette.setColor(QPalette::Window, palette.color(QPalette::Highlight));
            palette.setColor(QPalette::WindowText, palette.color(QPalette::HighlightedText));
            control->setPalette(palette);
            control->setAutoFillBackground(true);
        }
        return;
    }
    const QList<QWidget*> controls = textControls();
    for (qsizetype i = 0; i < controls.size() && i < savedPalettes_.size(); ++i) {
        controls[i]->setPalette(savedPalettes_[i]);
        controls[i]->setAutoFillBackground(IsOpaque);
    }
    savedPalettes_.clear();
}

int Panel::targetingControls() const
{
    int count = 0;
    for (const PanelClassInfo& info : panelClasses()) {
        for (const Panel* panel : host_.panelsOf(info.id))
            count += panel->controlsTargeting(class_, Tag);
    }
    return count;
}

bool Panel::refusedWhileTargeted(CloseReason reason, int kindMessage)
{
    // When the desk closes, the controls pointing here go too.
    if (reason != CloseReason::OwnCloseBox)
        return false;
    const int count = targetingControls();
    if (count == 0)
        return false;
    const Shared& shared = host_.shared();
    host_.dialogs().MsgBox(shared.msg(MsgCantClose) + QString::number(count) + shared.msg(kindMessage),
                           MsgButtons::Ok, MsgIcon::Exclamation, caption());
    return true;
}

bool Panel::queryClose(CloseReason reason)
{
    if (!queryOwnClose(reason))
        return false;
    if (!IsChanged)
        return true;
    if (host_.toAllAnswer() == BigAnswer::NoToAll)
        return true;
    if (QMdiSubWindow* window = subWindow()) {
        if (window->isMinimized() || window->isHidden())
            window->showNormal();
        if (window->mdiArea())
            window->mdiArea()->setActiveSubWindow(window);
    }
    if (host_.toAllAnswer() == BigAnswer::YesToAll)
        return host_.SavePanel(*this);

    const Shared& shared = host_.shared();
    const QString question = shared.msg(MsgPanelQuote) + caption() + shared.msg(MsgChangedSuffix);
    highlightLabels(true);
    BigAnswer answer = BigAnswer::Cancel;
    if (reason == CloseReason::Session) {
        answer = host_.dialogs().BigMsgBox(question);
    } else {
        switch (host_.dialogs().MsgBox(question, MsgButtons::YesNoCancel, MsgIcon::Question)) {
        case MsgAnswer::Yes:
            answer = BigAnswer::Yes;
            break;
        case MsgAnswer::No:
            answer = BigAnswer::No;
            break;
        default:
            break;
        }
    }
    highlightLabels(false);

    switch (answer) {
    case BigAnswer::YesToAll:
        host_.setToAllAnswer(answer);
        [[fallthrough]];
    case BigAnswer::Yes:
        // A panel that could not be saved stays open rather than lose its change.
        return host_.SavePanel(*this);
    case BigAnswer::NoToAll:
        host_.setToAllAnswer(answer);
        return true;
    case BigAnswer::No:
        return true;
    default:
        host_.setToAllAnswer(BigAnswer::None);
        return false;
    }
}

bool Panel::closeForSession()
{
    if (!queryClose(CloseReason::Session))
        return false;
    closeApproved_ = true;
    if (QMdiSubWindow* window = subWindow())
        window->close();
    else
        close();
    return true;
}

void Panel::closeEvent(QCloseEvent* event)
{
    if (closeApproved_ || queryClose(CloseReason::OwnCloseBox)) {
        closeApproved_ = true;
        event->accept();
    } else {
        event->ignore();
    }
}

void Panel::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        host_.popupPanelMenu(event->globalPosition().toPoint());
}

void Panel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton)
        return;
    const QPoint at = event->globalPosition().toPoint();
    const Qt::KeyboardModifiers keys = event->modifiers();
    if (keys & Qt::ControlModifier)
        host_.popupDupMenu(at);
    else if (keys & Qt::ShiftModifier)
        host_.popupMatchIdMenu(at);
    else
        host_.popupPanelMenu(at);
}

void Panel::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    const Shared& shared = host_.shared();
    host_.ShowHint(shared.msg(classInfo().helpMessage) + QStringLiteral("s. ") + shared.msg(MsgRightClickMenus));
}

void Panel::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (backPicture_.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, backPicture_);
}

bool Panel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == idIcon_) {
        switch (event->type()) {
        case QEvent::Enter:
            host_.ShowHint(host_.shared().msg(MsgIdIconHint));
            break;
        case QEvent::MouseButtonPress:
            idIcon_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            return true;
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const auto index = paletteIndexOf(drop->mimeData());
            if (!index) {
                drop->ignore();
                return true;
            }
            drop->acceptProposedAction();
            if (event->type() == QEvent::Drop) {
                setIDIcon(*index);
                markChanged();
            }
            return true;
        }
        case QEvent::MouseButtonRelease: {
            idIcon_->setFrameStyle(QFrame::NoFrame);
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (!idIcon_->rect().contains(mouse->position().toPoint()))
                return true;
            if (mouse->button() == Qt::LeftButton)
                host_.popupMatchIdMenu(mouse->globalPosition().toPoint());
            else if (mouse->button() == Qt::RightButton)
                IDIcon_RightClick();
            return true;
        }
        default:
            break;
        }
    } else if (watched == hideButton_ && event->type() == QEvent::Enter) {
        host_.ShowHint(host_.shared().msg(MsgHideHint));
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace orvell
