#include "app/AOrvell.h"

#include "app/Dialogs.h"
#include "app/StatusLine.h"
#include "core/CommandLine.h"
#include "core/Shared.h"
#include "core/Twips.h"

#include <QCloseEvent>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QIcon>
#include <QMdiArea>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <cstdio>

// The pictures live in the widgets library; a static library has to pull its
// resources in by hand.
static void initResources() { Q_INIT_RESOURCE(orvell); }

namespace orvell {

namespace {

enum : int {
    MsgFail = 3,
    MsgLoaded = 18,
    MsgNoPorts = 71,
    MsgSaveDefault = 77,
    MsgExitsProgram = 103,
    MsgCantExitRecording = 114,
    MsgSessionNotSaved = 115,
    MsgCouldNotLoad = 168,
    MsgSavedAs = 225,
    MsgMessagesFile = 226,
};

// Design geometry of the window, in twips.
constexpr int DesignLeft = 1860;
constexpr int DesignTop = 1680;
constexpr int DesignWidth = 7068;
constexpr int DesignHeight = 4956;
constexpr int ToolBarHeight = 330;

// Shows the hint of a control in status field 2 while the mouse is over it.
class HintFilter : public QObject {
public:
    HintFilter(StatusLine& status, QString hint, QObject* parent)
        : QObject(parent), status_(status), hint_(std::move(hint))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Enter)
            status_.ShowHint(hint_);
        return QObject::eventFilter(watched, event);
    }

private:
    StatusLine& status_;
    QString hint_;
};

}  // namespace

AOrvell::AOrvell(Shared& shared, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), shared_(shared), dialogs_(dialogs)
{
    initResources();
    shared_.flags.Initializing = true;
    setObjectName(QStringLiteral("AOrvell"));
    setWindowTitle(QStringLiteral("Orvell"));
    setWindowIcon(QIcon(QStringLiteral(":/toolbar/AppIcon.svg")));
    move(twipsToPixels(DesignLeft), twipsToPixels(DesignTop));
    resize(twipsToPixels(DesignWidth), twipsToPixels(DesignHeight));

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("Backdrop"));
    setCentralWidget(mdiArea_);

    statusLine_ = new StatusLine(shared_.Msgs, this);
    statusBar_ = new QToolBar(QStringLiteral("Statusbar"), this);
    statusBar_->setObjectName(QStringLiteral("Statusbar"));
    statusBar_->setMovable(false);
    statusBar_->setFloatable(false);
    statusBar_->setContentsMargins(0, 0, 0, 0);
    statusBar_->addWidget(statusLine_);
    addToolBar(Qt::BottomToolBarArea, statusBar_);

    toolBar_ = new QToolBar(QStringLiteral("Toolbar"), this);
    toolBar_->setObjectName(QStringLiteral("Toolbar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setFixedHeight(twipsToPixels(ToolBarHeight) + 4);
    auto* spacer = new QWidget(toolBar_);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolBar_->addWidget(spacer);
    exitButton_ = new QToolButton(toolBar_);
    exitButton_->setObjectName(QStringLiteral("ExitButton"));
    exitButton_->setText(tr("Exit"));
    exitButton_->setIcon(QIcon(QStringLiteral(":/toolbar/ExitButton.svg")));
    exitButton_->setIconSize(QSize(twipsToPixels(330), twipsToPixels(315)));
    exitButton_->installEventFilter(new HintFilter(*statusLine_, shared_.msg(MsgExitsProgram), exitButton_));
    connect(exitButton_, &QToolButton::clicked, this, &AOrvell::Exit_Click);
    toolBar_->addWidget(exitButton_);
    addToolBar(Qt::TopToolBarArea, toolBar_);

    buildMenus();
    shared_.setReporter(this);
}

AOrvell::~AOrvell() { shared_.setReporter(nullptr); }

void AOrvell::buildMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("File"));
    QAction* exit = file->addAction(tr("E&xit"), this, &AOrvell::Exit_Click);
    exit->setObjectName(QStringLiteral("Exit"));

    QMenu* setup = menuBar()->addMenu(tr("&Setup"));
    setup->setObjectName(QStringLiteral("Setup"));
    QAction* dump = setup->addAction(QStringLiteral("Dump Help Mesgs"), this, &AOrvell::DumpMessages_Click);
    dump->setObjectName(QStringLiteral("DumpMessages"));
    QAction* load = setup->addAction(QStringLiteral("Load Help Mesgs"), this, &AOrvell::LoadMsgFrmFile_Click);
    load->setObjectName(QStringLiteral("LoadMsgFrmFile"));

    // Opening a menu ends a kept message, so hints show again.
    for (QMenu* menu : {file, setup})
        connect(menu, &QMenu::aboutToShow, this, [this] { statusLine_->setKeep(false); });
}

bool AOrvell::Load(const QStringList& commandWords, const QString& backendNotice)
{
    statusLine_->MsgLogBtn_Click();  // log everything start-up reports

    shared_.midi.InitMidiDevs();
    if (shared_.midi.NumInDevs == 0 || shared_.midi.NumOutDevs == 0) {
        const QString text = shared_.msg(MsgNoPorts);
        std::fprintf(stderr, "%s\n", qPrintable(text));
        dialogs_.MsgBox(text, MsgButtons::Ok, MsgIcon::Critical);
        return false;
    }

    shared_.AppDir = QDir::currentPath() + u'/';
    processCommandLine(commandWords);

    shared_.flags.Initializing = false;
    statusLine_->clearField(1);
    statusLine_->MsgLogBtn_Click();
    MenuCycle = 0;

    if (!backendNotice.isEmpty()) {
        statusLine_->ShowStatusText(2, backendNotice);
        statusLine_->setKeep(true);
    }
    return true;
}

void AOrvell::processCommandLine(const QStringList& words)
{
    const std::vector<CollectedFile> files = collectCommandLineFiles(words);
    const bool hasSession =
        std::ranges::any_of(files, [](const CollectedFile& file) { return file.kind == FileKind::Session; });
    if (!hasSession)
        loadDefaultSession();
    if (files.empty())
        return;

    ParsingCmdLn = true;
    for (const CollectedFile& file : files) {
        shared_.flags.Initializing = true;
        loadSessionFile(file.path);
    }
    ParsingCmdLn = false;
}

QString AOrvell::defaultSessionPath() const { return shared_.AppDir + QStringLiteral("Orvell.ini"); }

void AOrvell::loadDefaultSession()
{
    // A missing default session is the normal first start.
    if (QFileInfo::exists(defaultSessionPath()))
        loadSessionFile(defaultSessionPath());
}

void AOrvell::loadSessionFile(const QString& path)
{
    // Sessions, panels and MIDI files are not read by this version yet; say so
    // rather than pretend.
    ShowStatusText(0, shared_.msg(MsgCouldNotLoad) + QDir::toNativeSeparators(path));
    ShowStatusMsg(1, MsgFail);
}

bool AOrvell::SaveSession_Click()
{
    ShowStatusMsg(0, MsgSessionNotSaved);
    ShowStatusMsg(1, MsgFail);
    return false;
}

void AOrvell::ShowStatusText(int field, const QString& text) { statusLine_->ShowStatusText(field, text); }

void AOrvell::ShowStatusMsg(int field, int messageNumber)
{
    statusLine_->ShowStatusText(field, shared_.msg(messageNumber));
}

void AOrvell::ClearStatus() { statusLine_->ClearStatus(); }

void AOrvell::ShowMessage(const QString& text, const QString& title, MsgIcon icon)
{
    dialogs_.MsgBox(text, MsgButtons::Ok, icon, title);
}

void AOrvell::Exit_Click() { close(); }

void AOrvell::closeEvent(QCloseEvent* event)
{
    if (queryUnload())
        event->accept();
    else
        event->ignore();
}

bool AOrvell::sessionChanged() const { return IsChanged; }

bool AOrvell::queryUnload()
{
    if (shared_.flags.RecorderRunning) {
        dialogs_.MsgBox(shared_.msg(MsgCantExitRecording), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    shared_.flags.ClosingDown = true;
    const QString savedSessionFile = SessionFile;
    bool close = true;
    if (sessionChanged()) {
        switch (dialogs_.MsgBox(shared_.msg(MsgSaveDefault), MsgButtons::YesNoCancel, MsgIcon::Question)) {
        case MsgAnswer::Yes:
            SessionFile.clear();
            // A default session that could not be written keeps the program
            // open, so the desktop is not lost.
            close = SaveSession_Click();
            break;
        case MsgAnswer::No:
            break;
        default:
            close = false;
            break;
        }
    }
    if (!close) {
        shared_.flags.ClosingDown = false;
        SessionFile = savedSessionFile;
    }
    exitButton_->setDown(false);
    return close;
}

void AOrvell::DumpMessages_Click()
{
    const QString path = MessageTable::filePath(shared_.AppDir, shared_.HelpDir);
    const QString title = QStringLiteral("Dump Messages");
    if (QFileInfo::exists(path) &&
        dialogs_.MsgBox(QDir::toNativeSeparators(path) + QStringLiteral(" already exists.\rReplace it?"),
                        MsgButtons::YesNo, MsgIcon::Question, title) != MsgAnswer::Yes)
        return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (auto error = shared_.Msgs.saveToFile(path)) {
        dialogs_.MsgBox(QStringLiteral("Error saving ") + QDir::toNativeSeparators(path) + u'\r' + error->text +
                            QStringLiteral(" (") + QString::number(error->number) + u')',
                        MsgButtons::Ok, MsgIcon::Exclamation, title);
        return;
    }
    dialogs_.MsgBox(shared_.msg(MsgSavedAs) + QDir::toNativeSeparators(path), MsgButtons::Ok, MsgIcon::Information,
                    title);
}

void AOrvell::LoadMsgFrmFile_Click()
{
    const QString path = MessageTable::filePath(shared_.AppDir, shared_.HelpDir);
    ShowStatusMsg(0, MsgMessagesFile);
    if (auto error = shared_.Msgs.loadFromFile(path)) {
        ShowStatusMsg(1, MsgFail);
        dialogs_.MsgBox(QStringLiteral("Error loading ") + QDir::toNativeSeparators(path) + u'\r' + error->text +
                            QStringLiteral(" (") + QString::number(error->number) + u')',
                        MsgButtons::Ok, MsgIcon::Exclamation, QStringLiteral("Load Messages from File"));
        return;
    }
    ShowStatusMsg(1, MsgLoaded);
}

}  // namespace orvell
