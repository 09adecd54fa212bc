#include "tools/HelpView.h"

#include "core/FileBytes.h"
#include "core/SectionFile.h"
#include "help/HelpFolder.h"
#include "panels/ColorConvert.h"
#include "panels/Dialogs.h"
#include "panels/PanelHost.h"
#include "panels/Shared.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QVBoxLayout>

namespace orvell {

namespace {

enum : int { MsgLocateHelpFiles = 224 };

// The longest topic is a few kilobytes; a file far beyond that is no topic.
constexpr qint64 MaxTopicBytes = 4 * 1024 * 1024;

QString errorInBrackets(const FileError& error)
{
    return error.text + QStringLiteral(" (") + QString::number(error.number) + u')';
}

}  // namespace

HelpView::HelpView(PanelHost& host, QWidget* parent) : QWidget(parent), host_(host)
{
    setObjectName(QStringLiteral("HelpView"));
    setWindowTitle(QStringLiteral("Help Viewer"));
    setAutoFillBackground(true);

    Label1 = new QLabel(QStringLiteral("Find - F3"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    FindHist = new QComboBox(this);
    FindHist->setObjectName(QStringLiteral("FindHist"));
    FindHist->setEditable(true);
    FindHist->setInsertPolicy(QComboBox::NoInsert);
    FindHist->setMinimumWidth(97);
    Label1->setBuddy(FindHist);
    AutoChk = new QCheckBox(QStringLiteral("Auto Sel"), this);
    AutoChk->setObjectName(QStringLiteral("AutoChk"));
    Label2 = new QLabel(QStringLiteral("Topic"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    TopicSel = new QComboBox(this);
    TopicSel->setObjectName(QStringLiteral("TopicSel"));
    TopicSel->setMinimumWidth(97);
    for (const HelpTopic& topic : helpTopics())
        TopicSel->addItem(QString::fromLatin1(topic.title));
    Label2->setBuddy(TopicSel);
    HelpText = new QPlainTextEdit(this);
    HelpText->setObjectName(QStringLiteral("HelpText"));
    HelpText->setReadOnly(true);
    HelpText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    HelpText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    HelpText->setContextMenuPolicy(Qt::CustomContextMenu);

    auto* row = new QHBoxLayout;
    row->addWidget(Label1);
    row->addWidget(FindHist, 1);
    row->addWidget(AutoChk);
    row->addWidget(Label2);
    row->addWidget(TopicSel, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(row);
    layout->addWidget(HelpText, 1);
    resize(420, 320);

    auto* findKey = new QShortcut(QKeySequence(Qt::Key_F3), this);
    findKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(findKey, &QShortcut::activated, this, &HelpView::FindText);
    // Enter in the search box searches too.
    FindHist->lineEdit()->installEventFilter(this);
    connect(TopicSel, &QComboBox::activated, this, [this](int index) { ShowHelp(index); });
    connect(HelpText, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        QMenu menu(this);
        menu.addAction(host_.shared().msg(MsgLocateHelpFiles), this, &HelpView::SetHelpDir);
        menu.exec(HelpText->mapToGlobal(at));
    });
    setBackColor(BackColor);
}

QMdiSubWindow* HelpView::subWindow() const { return qobject_cast<QMdiSubWindow*>(parentWidget()); }

bool HelpView::isShown() const
{
    // Not isVisible(): a session load hides the whole area for a while.
    const QWidget* frame = subWindow();
    return frame ? !frame->isHidden() : !isHidden();
}

void HelpView::setBackColor(StoredColor color)
{
    BackColor = color;
    QPalette colours = palette();
    colours.setColor(QPalette::Window, toQColor(color));
    setPalette(colours);
}

bool HelpView::autoSelect() const { return AutoChk->isChecked(); }
void HelpView::setAutoSelect(bool on) { AutoChk->setChecked(on); }

QString HelpView::helpFolderPath() const
{
    const Shared& shared = host_.shared();
    return helpFolder(shared.AppDir, shared.HelpDir, installedHelpFolder());
}

bool HelpView::LoadHelp(int Index) { return readTopic(Index, false); }

bool HelpView::readTopic(int Index, bool quietly)
{
    if (Index < 0 || Index >= HelpTopicCount)
        return false;
    const QString path = helpFolderPath() + QString::fromLatin1(helpTopics()[Index].file);
    FileError error;
    const std::optional<QByteArray> bytes = readFileBytes(path, MaxTopicBytes, error);
    missing_[Index] = !bytes;
    if (!bytes) {
        missingFile_ = QFileInfo(path).fileName();
        const QString text = QStringLiteral("Error loading ") + QDir::toNativeSeparators(path) + u' ' +
                             errorInBrackets(error);
        if (quietly)
            host_.ShowStatusText(1, text);
        else
            host_.dialogs().MsgBox(text, MsgButtons::Ok, MsgIcon::Exclamation, QStringLiteral("Load Help File"));
        return false;
    }
    texts_[Index] = helpTextFromBytes(*bytes);
    return true;
}

void HelpView::ShowHelp(int Index) { showTopic(Index, false); }

void HelpView::showTopic(int Index, bool automatic)
{
    if (Index < 0 || Index >= HelpTopicCount)
        return;
    if (texts_[Index].isEmpty() && !(automatic && missing_[Index]))
        readTopic(Index, automatic);
    shown_ = Index;
    search_.reset();
    setWindowTitle(QString::fromLatin1(helpTopics()[Index].title));
    HelpText->setPlainText(QString(texts_[Index]).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    TopicSel->setCurrentIndex(Index);
}

void HelpView::SetHelpDir()
{
    Shared& shared = host_.shared();
    FileRequest request;
    request.directory = shared.AppDir;
    request.title = shared.msg(MsgLocateHelpFiles);
    request.filter = QStringLiteral("Text Files (*.txt)|*.txt");
    request.fileName = missingFile_;
    const QString path = host_.dialogs().OpenFile(request);
    if (path.isEmpty())
        return;
    FileError error;
    if (!readFileBytes(path, MaxTopicBytes, error)) {
        host_.dialogs().MsgBox(QStringLiteral("Error locating ") + QDir::toNativeSeparators(path) + u' ' +
                                   errorInBrackets(error),
                               MsgButtons::Ok, MsgIcon::Exclamation, request.title);
        return;
    }
    shared.HelpDir = QFileInfo(path).absolutePath() + u'/';
    emit helpDirChanged();
    // Topics that could not be read are tried again in the new folder.
    missing_.fill(false);
    if (texts_[shown_].isEmpty())
        ShowHelp(shown_);
}

void HelpView::FindText()
{
    const QString what = FindHist->currentText();
    if (what.isEmpty())
        return;
    if (FindHist->findText(what, Qt::MatchFixedString | Qt::MatchCaseSensitive) < 0)
        FindHist->insertItem(0, what);
    const std::optional<qsizetype> found = search_.next(HelpText->toPlainText(), what);
    if (!found) {
        host_.dialogs().MsgBox(QStringLiteral("Text not found"), MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    QTextCursor cursor = HelpText->textCursor();
    cursor.setPosition(int(*found));
    cursor.setPosition(int(*found + what.size()), QTextCursor::KeepAnchor);
    HelpText->setTextCursor(cursor);
    HelpText->ensureCursorVisible();
}

void HelpView::ShowHelpTopicFor(int MsgNo)
{
    if (!isShown() || !AutoChk->isChecked())
        return;
    const std::optional<int> topic = helpTopicForMessage(MsgNo);
    if (!topic || *topic == shown_)
        return;
    showTopic(*topic, true);
}

void HelpView::SaveMe(SectionWriter& out)
{
    out.data(className());
    out.keyInt(QStringLiteral("HelpIdx"), shown_);
    out.keyBool(QStringLiteral("AutoSel"), AutoChk->isChecked());
}

void HelpView::LoadMe(SectionReader& in)
{
    while (in.peek() && in.peek()->kind != SectionLine::Kind::Header) {
        const SectionLine line = *in.next();
        if (line.kind != SectionLine::Kind::Key)
            continue;
        if (line.key == u"HelpIdx") {
            const auto index = parseSectionInt(line.value);
            if (!index || *index < 0 || *index >= HelpTopicCount)
                continue;
            // A hidden viewer reads the topic when it is next shown.
            if (isShown()) {
                showTopic(*index, true);
            } else {
                shown_ = *index;
                TopicSel->setCurrentIndex(*index);
            }
        } else if (line.key == u"AutoSel") {
            if (const auto on = parseSectionBool(line.value))
                AutoChk->setChecked(*on);
        }
    }
}

bool HelpView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FindHist->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            FindText();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void HelpView::closeEvent(QCloseEvent* event)
{
    // The window lives for the run; its close box hides it.
    event->ignore();
    if (QMdiSubWindow* frame = subWindow())
        frame->hide();
    else
        hide();
}

}  // namespace orvell
