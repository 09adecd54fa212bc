#include "panels/Shared.h"

#include "core/Clock.h"
#include "midi/MidiSystem.h"

#include <QDir>

#include <cstdio>

namespace orvell {

void ReporterProxy::ShowStatusText(int field, const QString& text)
{
    if (target_)
        target_->ShowStatusText(field, text);
}

void ReporterProxy::ShowMessage(const QString& text, const QString& title, MsgIcon icon)
{
    if (target_) {
        target_->ShowMessage(text, title, icon);
        return;
    }
    QString line = text;
    line.replace(u'\r', u'\n');
    std::fprintf(stderr, "%s\n", qPrintable(line));
}

void ReporterProxy::HoldStatus()
{
    if (target_)
        target_->HoldStatus();
}

Shared::Shared(std::unique_ptr<MidiSystem> system, std::unique_ptr<Scheduler> scheduler)
    : AppDir(QDir::currentPath() + u'/'),
      system_(std::move(system)),
      scheduler_(std::move(scheduler)),
      midi(*system_, Msgs, reporter_, *scheduler_, flags)
{
}

Shared::~Shared() = default;

}  // namespace orvell
