#include "panels/HoverHints.h"

#include <QEvent>
#include <QWidget>

namespace orvell {

HoverHints::HoverHints(std::function<void(const QString&)> show, QObject* parent)
    : QObject(parent), show_(std::move(show))
{
}

void HoverHints::add(QWidget* widget, const QString& hint)
{
    hints_.insert(widget, hint);
    widget->installEventFilter(this);
    connect(widget, &QObject::destroyed, this, [this](QObject* gone) { hints_.remove(gone); });
}

bool HoverHints::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter && show_) {
        if (const auto found = hints_.constFind(watched); found != hints_.constEnd())
            show_(*found);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace orvell
