// The main window's single tool windows: the icon palette and the help viewer.

#include "app/AOrvell.h"
#include "app/MainMenus.h"
#include "app/MainToolbar.h"
#include "app/StatusLine.h"
#include "help/HelpTopics.h"
#include "panels/Panel.h"
#include "panels/Shared.h"
#include "tools/HelpView.h"
#include "tools/IconPalette.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>

#include <functional>

namespace orvell {

namespace {

// Calls back whenever the watched window is shown or hidden, whoever did it.
class VisibilityWatch : public QObject {
public:
    VisibilityWatch(QObject* parent, std::function<void()> changed) : QObject(parent), changed_(std::move(changed)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
            changed_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> changed_;
};

}  // namespace

QMdiSubWindow* AOrvell::addToolWindow(QWidget* tool, const QString& buttonName)
{
    QMdiSubWindow* frame = mdiArea_->addSubWindow(
        tool, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                  Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    frame->hide();
    frame->installEventFilter(new VisibilityWatch(frame, [this, frame, buttonName] {
        // The toolbar goes first when the window closes down.
        if (QToolButton* button = toolbar_ ? toolbar_->button(buttonName) : nullptr)
            button->setChecked(frame->isVisible());
    }));
    return frame;
}

IconPalette& AOrvell::iconPalette()
{
    if (!iconPalette_) {
        iconPalette_ = new IconPalette(*this);
        QMdiSubWindow* frame = addToolWindow(iconPalette_, QStringLiteral("IconBtn"));
        frame->adjustSize();
        frame->move(std::max(0, mdiArea_->viewport()->width() - frame->width()), 0);
        connect(iconPalette_, &IconPalette::pictureChanged, this, [this](int slot) {
            for (Panel* panel : panels())
                panel->paletteChanged(slot);
        });
        connect(iconPalette_, &IconPalette::helpTopicFor, this, &AOrvell::ShowHelpTopicFor);
    }
    return *iconPalette_;
}

HelpView& AOrvell::helpView()
{
    if (!helpView_) {
        helpView_ = new HelpView(*this);
        addToolWindow(helpView_, QStringLiteral("HelpBtn"));
        connect(helpView_, &HelpView::helpDirChanged, this, [this] { IsChanged = true; });
        connect(menus_.get(), &MainMenus::helpTopicFor, this, &AOrvell::ShowHelpTopicFor);
        connect(toolbar_.get(), &MainToolbar::helpTopicFor, this, &AOrvell::ShowHelpTopicFor);
    }
    return *helpView_;
}

void AOrvell::showToolWindow(QWidget& tool)
{
    QMdiSubWindow* frame = qobject_cast<QMdiSubWindow*>(tool.parentWidget());
    if (frame->isMinimized())
        frame->showNormal();
    else
        frame->show();
    mdiArea_->setActiveSubWindow(frame);
}

void AOrvell::SetIDIcon_Click() { showToolWindow(iconPalette()); }

void AOrvell::hideIconPalette()
{
    if (iconPalette_)
        iconPalette_->subWindow()->hide();
}

void AOrvell::IconBtn_Click()
{
    IconPalette& palette = iconPalette();
    if (palette.subWindow()->isVisible())
        palette.subWindow()->hide();
    else
        showToolWindow(palette);
}

void AOrvell::HelpBtn_Click()
{
    HelpView& view = helpView();
    if (view.subWindow()->isVisible()) {
        view.subWindow()->hide();
        return;
    }
    view.ShowHelp(view.topicIndex());
    showToolWindow(view);
}

void AOrvell::ShowHelpTopicFor(int MsgNo)
{
    if (helpView_)
        helpView_->ShowHelpTopicFor(MsgNo);
}

void AOrvell::followHint(const QString& text)
{
    if (const std::optional<int> message = hintMessageNumber(shared_.Msgs, text))
        ShowHelpTopicFor(*message);
}

bool AOrvell::isToolWindow(const QMdiSubWindow* frame) const
{
    return frame && ((iconPalette_ && frame == iconPalette_->subWindow()) ||
                     (helpView_ && frame == helpView_->subWindow()));
}

QPixmap AOrvell::paletteIcon(int index)
{
    if (iconPalette_)
        return iconPalette_->picture(index);
    return IconPalette::factoryPicture(index, devicePixelRatioF());
}

QList<SessionWindow*> AOrvell::sessionWindows()
{
    QList<SessionWindow*> windows{&helpView()};
    if (iconPalette_)
        windows.append(iconPalette_);
    return windows;
}

SessionWindow* AOrvell::sessionWindow(const QString& className)
{
    if (className == u"HelpView")
        return &helpView();
    if (className == u"IconPalette")
        return &iconPalette();
    return nullptr;
}

}  // namespace orvell
