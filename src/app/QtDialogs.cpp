#include "app/QtDialogs.h"

#include "app/BigMsgBox.h"
#include "help/MessageTable.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>

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

// With no screen nobody could answer a box; the question goes to standard
// error and the box takes its most careful answer.
bool noScreen() { return QGuiApplication::platformName() == QLatin1String("offscreen"); }

void printUnanswered(const QString& title, const QString& text)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(windowTitle(title)), qPrintable(displayText(text)));
}

// Old filters name patterns the way the old dialogs took them: "*bmp" for
// "*.bmp", "*.*" for every file. Qt matches literally.
QString qtPattern(QString pattern)
{
    if (pattern == QLatin1String("*.*"))
        return QStringLiteral("*");
    if (pattern.size() > 1 && pattern[0] == u'*' && pattern[1] != u'.' && pattern[1] != u'*')
        pattern.insert(1, u'.');
    return pattern;
}

}  // namespace

QStringList qtFileFilters(const QString& filter)
{
    // Qt reads the patterns from the last bracket of a name filter, so the
    // description's own bracket gives way to the real patterns.
    static const QRegularExpression trailingBracket(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QStringList filters;
    if (filter.isEmpty())
        return filters;
    const QStringList pieces = filter.split(u'|');
    for (qsizetype i = 0; i < pieces.size(); i += 2) {
        if (i + 1 >= pieces.size()) {
            // A description without patterns stays as it was written.
            if (!pieces[i].trimmed().isEmpty())
                filters << pieces[i].trimmed();
            break;
        }
        QStringList patterns;
        for (const QString& pattern : pieces[i + 1].split(u';', Qt::SkipEmptyParts)) {
            if (!pattern.trimmed().isEmpty())
                patterns << qtPattern(pattern.trimmed());
        }
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        QString description = pieces[i];
        description.remove(trailingBracket);
        description = description.trimmed();
        const QString joined = patterns.join(u' ');
        filters << (description.isEmpty() ? joined : description + QLatin1String(" (") + joined + u')');
    }
    return filters;
}

QString qtFileFilter(const QString& filter) { return qtFileFilters(filter).join(QLatin1String(";;")); }

void applyFileRequest(QFileDialog& dialog, const FileRequest& request, bool save)
{
    dialog.setWindowTitle(request.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = qtFileFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const bool inRange = request.filterIndex >= 1 && request.filterIndex <= filters.size();
        dialog.selectNameFilter(filters[inRange ? request.filterIndex - 1 : 0]);
    }
    QString suffix = request.defaultExtension;
    while (suffix.startsWith(u'*') || suffix.startsWith(u'.'))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.directory.isEmpty())
        dialog.setDirectory(request.directory);
    // A relative name is taken inside the directory; a full path moves there.
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
}

MsgAnswer QtDialogs::MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title)
{
    if (noScreen()) {
        printUnanswered(title, text);
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

BigAnswer QtDialogs::BigMsgBox(const QString& text)
{
    if (noScreen()) {
        printUnanswered({}, text);
        return BigAnswer::Cancel;
    }
    static const MessageTable builtIn;
    return orvell::BigMsgBox::ask(parent_, text, messages_ ? *messages_ : builtIn, hint_);
}

std::optional<QString> QtDialogs::InputBox(const QString& prompt, const QString& title, const QString& initial)
{
    if (noScreen()) {
        printUnanswered(title, prompt);
        return std::nullopt;
    }
    bool ok = false;
    QString answer =
        QInputDialog::getText(parent_, windowTitle(title), displayText(prompt), QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

QString QtDialogs::askFile(const FileRequest& request, bool save)
{
    if (noScreen()) {
        printUnanswered(request.title, save ? QStringLiteral("save dialog cancelled")
                                            : QStringLiteral("open dialog cancelled"));
        return {};
    }
    QFileDialog dialog(parent_);
    applyFileRequest(dialog, request, save);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.front();
}

QString QtDialogs::OpenFile(const FileRequest& request) { return askFile(request, false); }

QString QtDialogs::SaveFile(const FileRequest& request) { return askFile(request, true); }

std::optional<QColor> QtDialogs::ChooseColor(const QColor& initial)
{
    if (noScreen()) {
        printUnanswered({}, QStringLiteral("colour dialog cancelled"));
        return std::nullopt;
    }
    const QColor color = QColorDialog::getColor(initial, parent_);
    if (!color.isValid())
        return std::nullopt;
    return color;
}

}  // namespace orvell
