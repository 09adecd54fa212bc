#pragma once

#include "app/Dialogs.h"

class QWidget;

namespace orvell {

class QtDialogs final : public Dialogs {
public:
    void setParent(QWidget* parent) { parent_ = parent; }

    MsgAnswer MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override;
    std::optional<QString> InputBox(const QString& prompt, const QString& title, const QString& initial) override;
    QString OpenFile(const FileRequest& request) override;
    QString SaveFile(const FileRequest& request) override;
    std::optional<QColor> ChooseColor(const QColor& initial) override;

private:
    QWidget* parent_ = nullptr;
};

// Line breaks of message texts are carriage returns; Qt wants line feeds.
QString displayText(const QString& text);

}  // namespace orvell
