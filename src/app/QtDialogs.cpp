#include "app/QtDialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>

#include <cstdio>

namespace orvell {

QString displayText(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

namespace {

QString windowTitle(const QString& title) { return title.isEmpty() ? QStringLiteral("Orvell") : title; }

}  // namespace

MsgAnswer QtDialogs::MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title)
{
    // With no screen nobody could answer; the text goes to standard error and
    // the box takes its most careful answer.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(windowTitle(title)), qPrintable(displayText(text)));
        switch (buttons) {
        case MsgButtons::Ok:
            return MsgAnswer::Ok;
        case MsgButtons::YesNo:
            return MsgAnswer::No;
        default:
            return MsgAnswer::Cancel;
        }
    }
    QMessageBox box(parent_);
    box.setWindowTitle(windowTitle(title));
    box.setText(displayText(text));
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    default:
        return MsgAnswer::Cancel;
    }
}

std::optional<QString> QtDialogs::InputBox(const QString& prompt, const QString& title, const QString& initial)
{
    bool ok = false;
    QString answer =
        QInputDialog::getText(parent_, windowTitle(title), displayText(prompt), QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

QString QtDialogs::OpenFile(const FileRequest& request)
{
    const QString start = request.fileName.isEmpty() ? request.directory : request.directory + request.fileName;
    return QFileDialog::getOpenFileName(parent_, request.title, start, request.filter);
}

QString QtDialogs::SaveFile(const FileRequest& request)
{
    const QString start = request.fileName.isEmpty() ? request.directory : request.directory + request.fileName;
    return QFileDialog::getSaveFileName(parent_, request.title, start, request.filter);
}

std::optional<QColor> QtDialogs::ChooseColor(const QColor& initial)
{
    const QColor color = QColorDialog::getColor(initial, parent_);
    if (!color.isValid())
        return std::nullopt;
    return color;
}

}  // namespace orvell
